#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "analysis_helpers.h"
#include "layout_traits.h"

namespace {

constexpr float kNaNf = std::numeric_limits<float>::quiet_NaN();
constexpr float kInff = std::numeric_limits<float>::infinity();

TEST(SelectBand, HalfOpenBandsWithNaNBrightest) {
  struct Case {
    double brightness;
    int32_t band;
  };
  const Case cases[] = {{-1.0, 0},     {0.0, 0},  {0.1998, 0}, {std::nextafter(0.2, 0.0), 0},
                        {0.2, 1},      {0.3996, 1}, {0.4, 2},  {0.5994, 2},
                        {0.6, 3},      {0.7992, 3}, {0.8, 4},  {0.999, 4},
                        {1e300, 4},    {std::numeric_limits<double>::infinity(), 4},
                        {std::numeric_limits<double>::quiet_NaN(), 4},
                        {-std::numeric_limits<double>::infinity(), 0}};
  for (const Case& c : cases) EXPECT_EQ(SelectBand(c.brightness), c.band) << c.brightness;
}

TEST(ChannelLimits, RaiseNegativeAndLimitToUnitKeepNaNAndSignedZero) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  constexpr double kInf = std::numeric_limits<double>::infinity();
  struct Case {
    double in, raised, limited;
  };
  const Case cases[] = {{-1.0, 0.0, 0.0}, {-0.0, -0.0, -0.0}, {0.0, 0.0, 0.0},   {0.5, 0.5, 0.5},
                        {1.0, 1.0, 1.0},  {1.5, 1.5, 1.0},    {kInf, kInf, 1.0}, {-kInf, 0.0, 0.0},
                        {kNaN, kNaN, kNaN}};
  for (const Case& c : cases) {
    const double raised = RaiseNegative(c.in);
    const double limited = VuyaFloatLayout::LimitToUnit(c.in);
    if (std::isnan(c.raised)) {
      EXPECT_TRUE(std::isnan(raised) && std::isnan(limited)) << c.in;
      continue;
    }
    EXPECT_EQ(raised, c.raised) << c.in;
    EXPECT_EQ(std::signbit(raised), std::signbit(c.raised)) << c.in;
    EXPECT_EQ(limited, c.limited) << c.in;
    EXPECT_EQ(std::signbit(limited), std::signbit(c.limited)) << c.in;
  }
}

// Spreads a channel sum over red, green and blue.
template <class Channel>
void SplitSum(int32_t sum, int32_t limit, Channel& red, Channel& green, Channel& blue) {
  red = static_cast<Channel>(std::min(sum, limit));
  green = static_cast<Channel>(std::min(sum - red, limit));
  blue = static_cast<Channel>(sum - red - green);
}

struct BoundaryCase {
  int32_t sum;
  int band;
};

TEST(IntegerAnalysers, EightBitSumBoundaries) {
  const BoundaryCase cases[] = {{0, 0}, {1, 0}, {153, 0}, {154, 1}, {306, 1}, {307, 2},
                                {459, 2}, {460, 3}, {612, 3}, {613, 4}, {765, 4}};
  for (const BoundaryCase& c : cases) {
    Argb8Pixel argb{77, 0, 0, 0};
    SplitSum(c.sum, 255, argb.red, argb.green, argb.blue);
    const PassResult a = AnalysePixels<Argb8Pixel>(AnalyserOf(PixelLayout::kArgb8), {argb});
    EXPECT_EQ(a.OnlyBand(), c.band) << "argb sum " << c.sum;
    EXPECT_EQ(a.sums[c.band][0] + a.sums[c.band][1] + a.sums[c.band][2], c.sum);
    // Same colour in memory order blue, green, red, alpha.
    const Bgra8Pixel bgra{argb.blue, argb.green, argb.red, 77};
    const PassResult b = AnalysePixels<Bgra8Pixel>(AnalyserOf(PixelLayout::kBgra8), {bgra});
    EXPECT_EQ(b.OnlyBand(), c.band) << "bgra sum " << c.sum;
    for (int ch = 0; ch < kChannelCount; ++ch) EXPECT_EQ(a.sums[c.band][ch], b.sums[c.band][ch]);
    // And in memory order red, green, blue, alpha.
    const Rgba8Pixel rgba{argb.red, argb.green, argb.blue, 77};
    const PassResult r = AnalysePixels<Rgba8Pixel>(AnalyserOf(PixelLayout::kRgba8), {rgba});
    EXPECT_EQ(r.OnlyBand(), c.band) << "rgba sum " << c.sum;
    for (int ch = 0; ch < kChannelCount; ++ch) EXPECT_EQ(a.sums[c.band][ch], r.sums[c.band][ch]);
  }
}

TEST(IntegerAnalysers, SixteenBitSumBoundaries) {
  const BoundaryCase cases[] = {{0, 0},       {19691, 0}, {19692, 1}, {39383, 1}, {39384, 2},
                                {59075, 2},   {59076, 3}, {78767, 3}, {78768, 4}, {98304, 4},
                                {196605, 4}};
  for (const BoundaryCase& c : cases) {
    Argb16Pixel pixel{32768, 0, 0, 0};
    SplitSum(c.sum, 65535, pixel.red, pixel.green, pixel.blue);
    const PassResult r = AnalysePixels<Argb16Pixel>(AnalyserOf(PixelLayout::kArgb16), {pixel});
    EXPECT_EQ(r.OnlyBand(), c.band) << "sum " << c.sum;
    EXPECT_EQ(r.sums[c.band][0], pixel.red);
    EXPECT_EQ(r.sums[c.band][1], pixel.green);
    EXPECT_EQ(r.sums[c.band][2], pixel.blue);
  }
}

// Every possible channel sum lands where the brightness formula puts it,
// however the analysers find the band.
TEST(IntegerAnalysers, EveryChannelSumTakesTheBandOfItsBrightness) {
  struct Depth {
    const char* name;
    int32_t largest_sum;
    double unit;
  };
  const Depth depths[] = {{"8-bit", 765, 0.003921568627451}, {"16-bit", 196605, 3.05e-5}};
  for (const Depth& depth : depths) {
    std::vector<Argb8Pixel> argb8;
    std::vector<Bgra8Pixel> bgra8;
    std::vector<Argb16Pixel> argb16;
    std::vector<int32_t> expected_counts(kBandCount);
    for (int32_t sum = 0; sum <= depth.largest_sum; ++sum) {
      ++expected_counts[SelectBand((static_cast<double>(sum) * 0.333) * depth.unit)];
      if (depth.largest_sum == 765) {
        Argb8Pixel pixel{0, 0, 0, 0};
        SplitSum(sum, 255, pixel.red, pixel.green, pixel.blue);
        argb8.push_back(pixel);
        bgra8.push_back({pixel.blue, pixel.green, pixel.red, 0});
      } else {
        Argb16Pixel pixel{0, 0, 0, 0};
        SplitSum(sum, 65535, pixel.red, pixel.green, pixel.blue);
        argb16.push_back(pixel);
      }
    }
    std::vector<PassResult> results;
    if (depth.largest_sum == 765) {
      results.push_back(AnalysePixels<Argb8Pixel>(AnalyserOf(PixelLayout::kArgb8), argb8));
      results.push_back(AnalysePixels<Bgra8Pixel>(AnalyserOf(PixelLayout::kBgra8), bgra8));
    } else {
      results.push_back(AnalysePixels<Argb16Pixel>(AnalyserOf(PixelLayout::kArgb16), argb16));
    }
    // Counts of consecutive sums pin every band edge; the colour sums check
    // that each pixel went with its own band.
    for (const PassResult& r : results) {
      int32_t first_sum = 0;
      for (int band = 0; band < kBandCount; ++band) {
        EXPECT_EQ(r.counts[band], expected_counts[band]) << depth.name << " band " << band;
        const int64_t last_sum = first_sum + int64_t{expected_counts[band]} - 1;
        const double expected_total = (first_sum + last_sum) * double(expected_counts[band]) / 2;
        EXPECT_EQ(r.sums[band][0] + r.sums[band][1] + r.sums[band][2], expected_total) << depth.name << " " << band;
        first_sum += expected_counts[band];
      }
    }
  }
}

template <class Pixel>
Pixel PixelOfBytes(const uint8_t (&bytes)[sizeof(Pixel)]) {
  Pixel pixel;
  std::memcpy(&pixel, bytes, sizeof pixel);
  return pixel;
}

TEST(IntegerAnalysers, ChannelsComeFromTheirLayoutsPositions) {
  // The same four bytes in each layout.
  const uint8_t bytes[4] = {10, 20, 30, 255};
  const PassResult bgra = AnalysePixels<Bgra8Pixel>(AnalyserOf(PixelLayout::kBgra8), {PixelOfBytes<Bgra8Pixel>(bytes)});
  const PassResult argb = AnalysePixels<Argb8Pixel>(AnalyserOf(PixelLayout::kArgb8), {PixelOfBytes<Argb8Pixel>(bytes)});
  const int bgra_band = bgra.OnlyBand();
  const int argb_band = argb.OnlyBand();
  ASSERT_EQ(bgra_band, 0);  // 30 + 20 + 10
  ASSERT_EQ(argb_band, 1);  // 20 + 30 + 255
  EXPECT_EQ(bgra.sums[0][0], 30);
  EXPECT_EQ(bgra.sums[0][1], 20);
  EXPECT_EQ(bgra.sums[0][2], 10);
  EXPECT_EQ(argb.sums[1][0], 20);
  EXPECT_EQ(argb.sums[1][1], 30);
  EXPECT_EQ(argb.sums[1][2], 255);
  const PassResult rgba = AnalysePixels<Rgba8Pixel>(AnalyserOf(PixelLayout::kRgba8), {PixelOfBytes<Rgba8Pixel>(bytes)});
  ASSERT_EQ(rgba.OnlyBand(), 0);  // 10 + 20 + 30
  EXPECT_EQ(rgba.sums[0][0], 10);
  EXPECT_EQ(rgba.sums[0][1], 20);
  EXPECT_EQ(rgba.sums[0][2], 30);
}

struct FloatCase {
  float red, green, blue;
  int band;
  double added[3];
};

TEST(FloatAnalysers, RgbBandsAndAbsoluteSums) {
  const FloatCase cases[] = {
      {0.2f, 0.2f, 0.2f, 0, {0.2f, 0.2f, 0.2f}},
      {0.6f, 0.6f, 0.6f, 2, {0.6f, 0.6f, 0.6f}},
      {1.0f, 1.0f, 1.0f, 4, {1.0, 1.0, 1.0}},
      // A negative channel is black for the brightness but adds its size.
      {-1.0f, 0.9f, 0.9f, 2, {1.0, 0.9f, 0.9f}},
      {-0.5f, -0.5f, -0.5f, 0, {0.5, 0.5, 0.5}},
      // Brightness is not limited: 3 x 0.9 is past 0.8.
      {2.0f, 0.0f, 0.0f, 3, {2.0, 0.0, 0.0}},
      {kInff, 0.0f, 0.0f, 4, {INFINITY, 0.0, 0.0}},
  };
  for (const FloatCase& c : cases) {
    const ArgbFloatPixel argb{1.0f, c.red, c.green, c.blue};
    const BgraFloatPixel bgra{c.blue, c.green, c.red, 1.0f};
    const PassResult results[] = {AnalysePixels<ArgbFloatPixel>(AnalyserOf(PixelLayout::kArgbFloat), {argb}),
                                  AnalysePixels<BgraFloatPixel>(AnalyserOf(PixelLayout::kBgraFloat), {bgra})};
    for (const PassResult& r : results) {
      ASSERT_EQ(r.OnlyBand(), c.band) << c.red << " " << c.green << " " << c.blue;
      for (int ch = 0; ch < kChannelCount; ++ch) EXPECT_EQ(r.sums[c.band][ch], c.added[ch]);
    }
  }
}

TEST(FloatAnalysers, NaNChannelCountsInTheBrightestBandAndPoisonsItsSums) {
  const ArgbFloatPixel argb{1.0f, 0.1f, kNaNf, 0.1f};
  const PassResult r =
      AnalysePixels<ArgbFloatPixel>(AnalyserOf(PixelLayout::kArgbFloat), {argb, {1.0f, 1.0f, 1.0f, 1.0f}});
  EXPECT_EQ(r.counts[4], 2);
  EXPECT_TRUE(std::isnan(r.sums[4][1]));
  EXPECT_FLOAT_EQ(r.sums[4][0], 1.1f);
}

struct VuyaCase {
  float v, u, y;
  int band;
  double luma, red_difference, blue_difference, tolerance;
};

TEST(VuyaAnalyser, ConvertsLimitsAndRecomputes) {
  const VuyaCase cases[] = {
      {0.0f, 0.0f, 0.5f, 2, 0.5, 0.0, 0.0, 0.0},
      // The colour is limited to 1.0 before the luma is recomputed.
      {0.0f, 0.0f, 1.2f, 4, 1.0, 0.0, 0.0, 1e-7},
      // Red 1.2015 is limited to 1.0, so the luma drops below the input's.
      {0.5f, 0.0f, 0.5f, 2, 0.43994, 0.39932, 0.03393, 1e-5},
      {0.0f, 0.0f, -0.3f, 0, 0.0, 0.0, 0.0, 0.0},
  };
  for (const VuyaCase& c : cases) {
    const VuyaFloatPixel vuya{c.v, c.u, c.y, 0.25f};
    const PassResult r = AnalysePixels<VuyaFloatPixel>(AnalyserOf(PixelLayout::kVuyaFloat), {vuya});
    ASSERT_EQ(r.OnlyBand(), c.band) << c.v << " " << c.u << " " << c.y;
    EXPECT_NEAR(r.sums[c.band][0], c.luma, c.tolerance);
    EXPECT_NEAR(r.sums[c.band][1], c.red_difference, c.tolerance);
    EXPECT_NEAR(r.sums[c.band][2], c.blue_difference, c.tolerance);
  }
}

// (0, 0, 1) is white, whose luma in doubles is 0.99999999999999989: the sum
// must get it rounded to the float 1.0 (a compiler once dropped that rounding).
TEST(VuyaAnalyser, AddsSinglePrecisionValues) {
  for (const VuyaFloatPixel vuya : {VuyaFloatPixel{0.5f, 0.0f, 0.5f, 1.0f}, VuyaFloatPixel{0.0f, 0.0f, 1.0f, 1.0f}}) {
    const PassResult r = AnalysePixels<VuyaFloatPixel>(AnalyserOf(PixelLayout::kVuyaFloat), {vuya});
    const int band = r.OnlyBand();
    ASSERT_GE(band, 0);
    for (int ch = 0; ch < kChannelCount; ++ch) {
      const double value = r.sums[band][ch];
      EXPECT_EQ(value, static_cast<double>(static_cast<float>(value))) << vuya.u << " channel " << ch;
    }
  }
}

bool SameBytes(const VuyaFloatPixel& a, const VuyaFloatPixel& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(VuyaAnalyser, CopiesEveryPixelBitForBitWhateverTheSwitch) {
  VuyaFloatPixel in{0.5f, -0.1f, 0.7f, 0.0f};
  const uint32_t payload = 0x7fc01234;
  std::memcpy(&in.alpha, &payload, sizeof payload);  // alpha holds a NaN with a payload
  for (bool enabled : {true, false}) {
    for (bool with_accumulator : {true, false}) {
      BandAccumulator accumulator(enabled, 1);
      PixelRefcon refcon{};
      refcon.accumulator = with_accumulator ? &accumulator : nullptr;
      VuyaFloatPixel out{9.0f, 9.0f, 9.0f, 9.0f};
      EXPECT_EQ(AnalyserOf(PixelLayout::kVuyaFloat)(&refcon, 0, 0, &in, &out), 0);
      EXPECT_TRUE(SameBytes(in, out));
      VuyaFloatPixel in_place = in;
      AnalyserOf(PixelLayout::kVuyaFloat)(&refcon, 0, 0, &in_place, &in_place);
      EXPECT_TRUE(SameBytes(in, in_place));
    }
  }
}

TEST(Analysers, RgbAnalysersLeaveTheOutputAlone) {
  PixelRefcon refcon{};
  BandAccumulator accumulator(true, 1);
  refcon.accumulator = &accumulator;
  Argb8Pixel in8{1, 2, 3, 4}, out8{9, 9, 9, 9};
  Bgra8Pixel bgra_in8{1, 2, 3, 4}, bgra_out8{9, 9, 9, 9};
  EXPECT_EQ(AnalyserOf(PixelLayout::kArgb8)(&refcon, 0, 0, &in8, &out8), 0);
  EXPECT_EQ(AnalyserOf(PixelLayout::kBgra8)(&refcon, 0, 0, &bgra_in8, &bgra_out8), 0);
  EXPECT_EQ(out8.alpha + out8.red + out8.green + out8.blue, 36);
  EXPECT_EQ(bgra_out8.alpha + bgra_out8.red + bgra_out8.green + bgra_out8.blue, 36);
  Argb16Pixel in16{1, 2, 3, 4}, out16{9, 9, 9, 9};
  EXPECT_EQ(AnalyserOf(PixelLayout::kArgb16)(&refcon, 0, 0, &in16, &out16), 0);
  EXPECT_EQ(out16.alpha + out16.red + out16.green + out16.blue, 36);
  ArgbFloatPixel inf{1, 2, 3, 4}, outf{9, 9, 9, 9};
  BgraFloatPixel bgra_inf{1, 2, 3, 4}, bgra_outf{9, 9, 9, 9};
  EXPECT_EQ(AnalyserOf(PixelLayout::kArgbFloat)(&refcon, 0, 0, &inf, &outf), 0);
  EXPECT_EQ(AnalyserOf(PixelLayout::kBgraFloat)(&refcon, 0, 0, &bgra_inf, &bgra_outf), 0);
  EXPECT_EQ(outf.alpha + outf.red + outf.green + outf.blue, 36.0f);
  EXPECT_EQ(bgra_outf.alpha + bgra_outf.red + bgra_outf.green + bgra_outf.blue, 36.0f);
}

TEST(Analysers, DisabledOrMissingAccumulatorAddsNothing) {
  const PassResult disabled = AnalysePixels<Argb8Pixel>(AnalyserOf(PixelLayout::kArgb8), {{255, 255, 255, 255}}, false);
  const PassResult disabled_vuya =
      AnalysePixels<VuyaFloatPixel>(AnalyserOf(PixelLayout::kVuyaFloat), {{0, 0, 0.5f, 1}}, false);
  for (int band = 0; band < kBandCount; ++band) {
    EXPECT_EQ(disabled.counts[band], 0);
    EXPECT_EQ(disabled_vuya.counts[band], 0);
  }
  PixelRefcon no_accumulator{};
  Argb16Pixel pixel{1, 2, 3, 4};
  EXPECT_EQ(AnalyserOf(PixelLayout::kArgb16)(&no_accumulator, 0, 0, &pixel, &pixel), 0);
  EXPECT_EQ(AnalyserOf(PixelLayout::kArgb16)(nullptr, 0, 0, &pixel, &pixel), 0);
}

TEST(Analysers, CountsOfAPassAddUpToThePixelsVisited) {
  std::vector<Argb16Pixel> frame;
  for (int i = 0; i < 1000; ++i) {
    const auto v = static_cast<uint16_t>(i * 65);
    frame.push_back({32768, v, v, static_cast<uint16_t>(v / 2)});
  }
  const PassResult r = AnalysePixels<Argb16Pixel>(AnalyserOf(PixelLayout::kArgb16), frame);
  int32_t total = 0;
  int bands_used = 0;
  for (int32_t count : r.counts) {
    total += count;
    bands_used += count > 0;
  }
  EXPECT_EQ(total, 1000);
  EXPECT_EQ(bands_used, 5);
}


// The float measurements written out one scalar operation at a time, as the
// effect documents them; the analysers (packed or not, pixel by pixel or row
// by row) must give exactly these bits, NaN payloads and signed zeros
// included.
struct Measured {
  int band;
  double values[kChannelCount];
};

double Raised(double value) { return 0.0 > value ? 0.0 : value; }
float Limited(double value) { return static_cast<float>(value < 0.0 ? 0.0 : value > 1.0 ? 1.0 : value); }

Measured MeasureRgb(float red, float green, float blue) {
  const double brightness = ((Raised(green) + Raised(red)) + Raised(blue)) * 0.333;
  return {SelectBand(brightness), {std::fabs(double(red)), std::fabs(double(green)), std::fabs(double(blue))}};
}

Measured MeasureVuya(float v, float u, float y) {
  const float red = Limited(double(v) * 1.403 + double(y));
  const float green = Limited((double(y) - double(u) * 0.344) - double(v) * 0.714);
  const float blue = Limited(double(u) * 1.77 + double(y));
  const double brightness = ((double(green) + double(red)) + double(blue)) * 0.333;
  const float luma = static_cast<float>((double(red) * 0.299 + double(green) * 0.587) + double(blue) * 0.114);
  const float red_difference = static_cast<float>(double(red - luma) * 0.713);
  const float blue_difference = static_cast<float>(double(blue - luma) * 0.565);
  return {SelectBand(brightness), {luma, red_difference, blue_difference}};
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }
// Which of two NaNs an addition passes on is the compiler's choice of
// operand order, so paths compiled apart agree on NaN but not its payload.
bool SameValue(double a, double b) { return SameBits(a, b) || (std::isnan(a) && std::isnan(b)); }

// Channel values where rounding, limiting and comparisons turn: thresholds,
// both zeros, subnormals, huge values, infinities and NaNs with payloads.
std::vector<float> EdgeValues() {
  std::vector<float> values = {0.0f, -0.0f, 1.0f, -1.0f, 0.2f, 0.6f, 0.60000002f, 0.19999999f, 1.0000001f, 0.5f,
                               1.2f, -0.3f, 1e-40f, -1e-40f, 3.4e38f, -3.4e38f, kInff, -kInff, kNaNf};
  for (uint32_t bits : {0x7fc01234u, 0xffc00001u}) {
    float payload_nan;
    std::memcpy(&payload_nan, &bits, sizeof bits);
    values.push_back(payload_nan);
  }
  return values;
}

// One layout of the edge value test: its pixel of three channel values in
// the layout's memory order, and the documented measurement.
struct EdgeLayout {
  PixelLayout layout;
  bool has_row_walk;
  Measured (*measure)(float, float, float);
};

template <class Pixel>
void ExpectDocumentedBitsOnEdgeValues(const EdgeLayout& layout, Pixel (*pixel_of)(float, float, float)) {
  const LayoutInfo& info = LayoutOf(layout.layout);
  const PixelFunction pixel_fn = info.analyse;
  const std::vector<float> values = EdgeValues();
  std::vector<Pixel> pixels;
  for (float a : values)
    for (float b : values)
      for (float c : values) {
        pixels.push_back(pixel_of(a, b, c));
        const Measured expected = layout.measure(a, b, c);
        const PassResult got = AnalysePixels<Pixel>(pixel_fn, {pixels.back()});
        ASSERT_EQ(got.OnlyBand(), expected.band) << info.name << " " << a << " " << b << " " << c;
        for (int ch = 0; ch < kChannelCount; ++ch)
          ASSERT_TRUE(SameValue(got.sums[expected.band][ch], 0.0 + expected.values[ch]))
              << info.name << " " << a << " " << b << " " << c << " channel " << ch << ": "
              << got.sums[expected.band][ch] << " vs " << expected.values[ch];
      }
  if (!layout.has_row_walk) return;
  // Rows of 1 to 7 pixels (the row walks take pixels by four where the
  // processor has AVX, then by two, then a last one alone) add exactly
  // what the pixel function adds.
  for (std::size_t first = 0; first + 7 <= pixels.size(); first += 7)
    for (int32_t width = 1; width <= 7; ++width) {
      std::vector<Pixel> row(pixels.begin() + first, pixels.begin() + first + width), out(row.size());
      BandAccumulator accumulator(true, 1);
      PixelRefcon refcon{};
      refcon.accumulator = &accumulator;
      info.analyse_row(&refcon, 0, row.data(), out.data(), width);
      PassResult walked;
      accumulator.MergeInto(walked.sums, walked.counts);
      const PassResult called = AnalysePixels<Pixel>(pixel_fn, row);
      for (int band = 0; band < kBandCount; ++band) {
        ASSERT_EQ(walked.counts[band], called.counts[band]) << info.name << " row at " << first;
        for (int ch = 0; ch < kChannelCount; ++ch)
          ASSERT_TRUE(SameValue(walked.sums[band][ch], called.sums[band][ch]))
              << info.name << " row at " << first << " width " << width << ": " << walked.sums[band][ch] << " vs "
              << called.sums[band][ch];
      }
    }
}

TEST(FloatAnalysers, EveryPathGivesTheDocumentedBitsOnEdgeValues) {
  ExpectDocumentedBitsOnEdgeValues<ArgbFloatPixel>({PixelLayout::kArgbFloat, true, MeasureRgb},
                                                   [](float r, float g, float b) {
                                                     return ArgbFloatPixel{1.0f, r, g, b};
                                                   });
  ExpectDocumentedBitsOnEdgeValues<BgraFloatPixel>({PixelLayout::kBgraFloat, true, MeasureRgb},
                                                   [](float r, float g, float b) {
                                                     return BgraFloatPixel{b, g, r, 1.0f};
                                                   });
  ExpectDocumentedBitsOnEdgeValues<VuyaFloatPixel>({PixelLayout::kVuyaFloat, true, MeasureVuya},
                                                   [](float v, float u, float y) {
                                                     return VuyaFloatPixel{v, u, y, 0.5f};
                                                   });
}

#if defined(__SSE2__)
TEST(FloatAnalysers, PackedBandSelectionMatchesSelectBand) {
  constexpr double kInf = std::numeric_limits<double>::infinity(), kNaN = std::numeric_limits<double>::quiet_NaN();
  for (double brightness : {-1.0, -0.0, 0.0, 0.19999999999999998, 0.2, 0.39999999999999997, 0.4, 0.6, 0.8,
                            0.7999999999999999, 1e300, -kInf, kInf, kNaN, -kNaN})
    EXPECT_EQ(SelectBandPacked(_mm_set_sd(brightness)), SelectBand(brightness)) << brightness;
}
#endif

}  // namespace
