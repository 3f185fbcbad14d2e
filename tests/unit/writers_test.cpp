#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "clamps.h"
#include "layout_table.h"
#include "pixel_refcon.h"
#include "swatch_layout.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// A float whose NaN payload must survive a copy.
float PayloadNaN(uint32_t low_bits) {
  const uint32_t bits = 0x7fc00000u | (low_bits & 0x3fffffu);
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

// Channels as the layout names them, read by memory position.
template <class Pixel>
Pixel Sample8(int i) {
  return {uint8_t(i), uint8_t(i * 3), uint8_t(i * 7), uint8_t(i * 11)};
}

struct Argb8Writer {
  using Pixel = Argb8Pixel;
  static constexpr PixelLayout kLayout = PixelLayout::kArgb8;
  static Pixel Sample(int i) { return Sample8<Pixel>(i); }
  static Pixel Swatch(const double* rgb, const double*, const Pixel&) {
    return {255, uint8_t(rgb[0]), uint8_t(rgb[1]), uint8_t(rgb[2])};
  }
};

struct Bgra8Writer {
  using Pixel = Bgra8Pixel;
  static constexpr PixelLayout kLayout = PixelLayout::kBgra8;
  static Pixel Sample(int i) { return Sample8<Pixel>(i); }
  static Pixel Swatch(const double* rgb, const double*, const Pixel&) {
    return {uint8_t(rgb[2]), uint8_t(rgb[1]), uint8_t(rgb[0]), 255};
  }
};

struct Rgba8Writer {
  using Pixel = Rgba8Pixel;
  static constexpr PixelLayout kLayout = PixelLayout::kRgba8;
  static Pixel Sample(int i) { return Sample8<Pixel>(i); }
  static Pixel Swatch(const double* rgb, const double*, const Pixel&) {
    return {uint8_t(rgb[0]), uint8_t(rgb[1]), uint8_t(rgb[2]), 255};
  }
};

struct Argb16Writer {
  using Pixel = Argb16Pixel;
  static constexpr PixelLayout kLayout = PixelLayout::kArgb16;
  static Pixel Sample(int i) { return {uint16_t(i * 101), uint16_t(i * 307), uint16_t(i * 709), uint16_t(i * 1103)}; }
  static Pixel Swatch(const double* rgb, const double*, const Pixel&) {
    return {32768, uint16_t(rgb[0]), uint16_t(rgb[1]), uint16_t(rgb[2])};
  }
};

template <class Pixel>
Pixel FloatSample(int i) {
  return {PayloadNaN(i), i * 0.01f, -i * 0.5f, i % 3 ? 1e30f : -0.0f};
}

struct ArgbFloatWriter {
  using Pixel = ArgbFloatPixel;
  static constexpr PixelLayout kLayout = PixelLayout::kArgbFloat;
  static Pixel Sample(int i) { return FloatSample<Pixel>(i); }
  static Pixel Swatch(const double* rgb, const double*, const Pixel&) {
    return {1.0f, float(rgb[0]), float(rgb[1]), float(rgb[2])};
  }
};

struct BgraFloatWriter {
  using Pixel = BgraFloatPixel;
  static constexpr PixelLayout kLayout = PixelLayout::kBgraFloat;
  static Pixel Sample(int i) { return FloatSample<Pixel>(i); }
  static Pixel Swatch(const double* rgb, const double*, const Pixel&) {
    return {float(rgb[2]), float(rgb[1]), float(rgb[0]), 1.0f};
  }
};

// yuv holds luma, red difference (V), blue difference (U).
struct VuyaFloatWriter {
  using Pixel = VuyaFloatPixel;
  static constexpr PixelLayout kLayout = PixelLayout::kVuyaFloat;
  static Pixel Sample(int i) { return FloatSample<Pixel>(i); }
  static Pixel Swatch(const double*, const double* yuv, const Pixel& in) {
    return {float(yuv[1]), float(yuv[2]), float(yuv[0]), in.alpha};
  }
};

template <class Pixel>
bool SameBytes(const Pixel& a, const Pixel& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// Distinct, in-range values for every band and channel of both models.
BandPalette DistinctPalette() {
  BandPalette palette;
  for (int band = 0; band < kBandCount; ++band) {
    for (int ch = 0; ch < kChannelCount; ++ch) {
      palette.rgb[band][ch] = 10.0 * band + 3.0 * ch + 1.0;
      palette.yuv[band][ch] = 0.1 * band - 0.03 * ch;
    }
  }
  return palette;
}

constexpr int32_t kWidth = 40;
constexpr int32_t kHeight = 30;

template <class Case>
class WriterTest : public ::testing::Test {
 protected:
  using Pixel = typename Case::Pixel;

  WriterTest() : palette_(DistinctPalette()) {
    refcon_.frame_width = kWidth;
    refcon_.frame_height = kHeight;
    refcon_.palette = &palette_;
    for (int i = 0; i < kWidth * kHeight; ++i) input_.push_back(Case::Sample(i));
  }

  std::vector<Pixel> DrawSeparately(PixelRefcon& refcon) {
    std::vector<Pixel> in = input_;
    std::vector<Pixel> out(in.size());
    std::memset(out.data(), 0xA5, out.size() * sizeof(Pixel));  // sentinel: untouched pixels show
    Draw(refcon, in, out);
    EXPECT_TRUE(std::memcmp(in.data(), input_.data(), in.size() * sizeof(Pixel)) == 0) << "input changed";
    return out;
  }

  void Draw(PixelRefcon& refcon, std::vector<Pixel>& in, std::vector<Pixel>& out) {
    for (int32_t y = 0; y < kHeight; ++y)
      for (int32_t x = 0; x < kWidth; ++x)
        EXPECT_EQ(LayoutOf(Case::kLayout).draw(&refcon, x, y, &in[y * kWidth + x], &out[y * kWidth + x]), 0);
  }

  BandPalette palette_;
  PixelRefcon refcon_{};
  std::vector<Pixel> input_;
};

using WriterCases =
    ::testing::Types<Argb8Writer, Bgra8Writer, Rgba8Writer, Argb16Writer, ArgbFloatWriter, BgraFloatWriter, VuyaFloatWriter>;
TYPED_TEST_SUITE(WriterTest, WriterCases);

TYPED_TEST(WriterTest, PaintsCellsFromTheirBandAndCopiesTheRest) {
  const auto out = this->DrawSeparately(this->refcon_);
  int painted = 0;
  for (int32_t y = 0; y < kHeight; ++y) {
    for (int32_t x = 0; x < kWidth; ++x) {
      const size_t i = y * kWidth + x;
      const int cell = SwatchCellAt(this->refcon_, x, y);
      if (cell < 0) {
        ASSERT_TRUE(SameBytes(out[i], this->input_[i])) << x << "," << y;
      } else {
        ++painted;
        const auto expected = TypeParam::Swatch(this->palette_.rgb[cell], this->palette_.yuv[cell], this->input_[i]);
        ASSERT_TRUE(SameBytes(out[i], expected)) << x << "," << y << " cell " << cell;
      }
    }
  }
  EXPECT_EQ(painted, 32 * 5);  // columns 4..35, rows 24..28
}

TYPED_TEST(WriterTest, InPlaceGivesTheSameFrame) {
  const auto separate = this->DrawSeparately(this->refcon_);
  auto frame = this->input_;
  this->Draw(this->refcon_, frame, frame);
  EXPECT_TRUE(std::memcmp(frame.data(), separate.data(), frame.size() * sizeof(frame[0])) == 0);
}

// The pipelines prepare whole-pixel bounds and swatch pixels; frames must not
// change with them, whether the strip is there, missing or spans every row.
TYPED_TEST(WriterTest, PreparedBoundsAndSwatchesDrawTheSameFrame) {
  BandPalette prepared_palette = this->palette_;
  prepared_palette.rgb[1][0] = kNaN;
  prepared_palette.rgb[2][1] = -7.5;
  prepared_palette.rgb[3][2] = 70000.25;
  BandPalette palette = prepared_palette;
  PrepareSwatchPixels(prepared_palette);
  for (double height : {double(kHeight), 1.0, 0.0, -4.0, 26.0}) {
    PixelRefcon exact = this->refcon_;
    exact.frame_height = height;
    exact.palette = &palette;
    PixelRefcon prepared = exact;
    prepared.palette = &prepared_palette;
    PrepareSwatchBounds(prepared);
    const auto expected = this->DrawSeparately(exact);
    const auto drawn = this->DrawSeparately(prepared);
    EXPECT_TRUE(std::memcmp(drawn.data(), expected.data(), drawn.size() * sizeof(drawn[0])) == 0) << height;
  }
}

TYPED_TEST(WriterTest, WithoutPaletteOrOutsideAnyCellEverythingPassesThrough) {
  PixelRefcon no_palette = this->refcon_;
  no_palette.palette = nullptr;
  PixelRefcon no_strip = this->refcon_;
  no_strip.frame_height = 1;
  for (PixelRefcon* refcon : {&no_palette, &no_strip}) {
    const auto out = this->DrawSeparately(*refcon);
    EXPECT_TRUE(std::memcmp(out.data(), this->input_.data(), out.size() * sizeof(out[0])) == 0);
  }
}

// Paints one swatch pixel of band 2 after the pipeline's clamp, every band
// value set to value.
template <class Pixel>
Pixel PaintBandValue(PixelLayout layout, double value, RgbClamp clamp) {
  BandStats stats;
  for (int band = 0; band < kBandCount; ++band)
    for (int ch = 0; ch < kChannelCount; ++ch) stats.rgb_sums[band][ch] = stats.yuv_sums[band][ch] = value;
  ApplyClamp(stats, clamp);
  const BandPalette palette = CopyPalette(stats);
  PixelRefcon refcon{};
  refcon.frame_width = 100;
  refcon.frame_height = 100;
  refcon.palette = &palette;
  Pixel in{}, out{};
  std::memset(&in, 0x5A, sizeof in);
  LayoutOf(layout).draw(&refcon, 50, 85, &in, &out);
  return out;
}

TEST(IntegerWriters, TruncateAfterTheClampAndKeepLowBitsWithout) {
  struct Case {
    double value;
    RgbClamp clamp;
    uint8_t eight;
    uint16_t sixteen;
  };
  const Case cases[] = {
      {254.9, RgbClamp::k8, 254, 254},    {0.99, RgbClamp::k8, 0, 0},
      {300.0, RgbClamp::k8, 255, 255},    {-4.0, RgbClamp::k8, 0, 0},
      {kNaN, RgbClamp::k8, 0, 0},         {kInf, RgbClamp::k8, 255, 255},
      {40000.0, RgbClamp::k16, 0, 32768}, {-5.0, RgbClamp::k16, 0, 0},
      {kNaN, RgbClamp::k16, 0, 0},        {32767.9, RgbClamp::k16, 255, 32767},
      // Without a clamp: truncation toward zero, then the low bits; values
      // beyond 32 bits store 0.
      {300.0, RgbClamp::kNone, 44, 300},  {-5.0, RgbClamp::kNone, 251, 65531},
      {-0.9, RgbClamp::kNone, 0, 0},      {70000.5, RgbClamp::kNone, 112, 4464},
      {1e10, RgbClamp::kNone, 0, 0},      {-1e10, RgbClamp::kNone, 0, 0},
      {kInf, RgbClamp::kNone, 0, 0},      {2147483647.5, RgbClamp::kNone, 255, 65535},
  };
  for (const Case& c : cases) {
    const Argb8Pixel argb = PaintBandValue<Argb8Pixel>(PixelLayout::kArgb8, c.value, c.clamp);
    const Bgra8Pixel bgra = PaintBandValue<Bgra8Pixel>(PixelLayout::kBgra8, c.value, c.clamp);
    const Argb16Pixel deep = PaintBandValue<Argb16Pixel>(PixelLayout::kArgb16, c.value, c.clamp);
    const Argb8Pixel expected_argb{255, c.eight, c.eight, c.eight};
    const Bgra8Pixel expected_bgra{c.eight, c.eight, c.eight, 255};
    const Argb16Pixel expected_deep{32768, c.sixteen, c.sixteen, c.sixteen};
    EXPECT_TRUE(SameBytes(argb, expected_argb)) << c.value << " -> " << int(argb.red);
    EXPECT_TRUE(SameBytes(bgra, expected_bgra)) << c.value << " -> " << int(bgra.red);
    EXPECT_TRUE(SameBytes(deep, expected_deep)) << c.value << " -> " << deep.red;
  }
}

// Only the BGRA clamp limits; a band with no pixels (NaN) paints black in
// every float writer, opaque or, in VUYA, with the input's alpha.
TEST(FloatWriters, OnlyTheBgraClampLimitsAndNaNPaintsBlack) {
  struct Case {
    double value;
    double argb, bgra, vuya;
  };
  const Case cases[] = {
      {1.7, 1.7, 1.0, 1.7},   {-0.25, -0.25, 0.0, -0.25}, {0.5, 0.5, 0.5, 0.5},     {kNaN, 0.0, 0.0, 0.0},
      {-kNaN, 0.0, 0.0, 0.0}, {kInf, kInf, 1.0, kInf},    {1e300, kInf, 1.0, kInf},
  };
  auto expect = [](float actual, double expected, double value, const char* writer) {
    // Bit for bit: a NaN or a negative zero would show.
    const float wanted = static_cast<float>(expected);
    EXPECT_EQ(std::memcmp(&actual, &wanted, sizeof actual), 0) << writer << " " << value << " -> " << actual;
  };
  for (const Case& c : cases) {
    const ArgbFloatPixel argb = PaintBandValue<ArgbFloatPixel>(PixelLayout::kArgbFloat, c.value, RgbClamp::kNone);
    const BgraFloatPixel bgra = PaintBandValue<BgraFloatPixel>(PixelLayout::kBgraFloat, c.value, RgbClamp::kUnit);
    const VuyaFloatPixel vuya = PaintBandValue<VuyaFloatPixel>(PixelLayout::kVuyaFloat, c.value, RgbClamp::kNone);
    for (float channel : {argb.red, argb.green, argb.blue}) expect(channel, c.argb, c.value, "argb");
    for (float channel : {bgra.blue, bgra.green, bgra.red}) expect(channel, c.bgra, c.value, "bgra");
    for (float channel : {vuya.v, vuya.u, vuya.y}) expect(channel, c.vuya, c.value, "vuya");
    EXPECT_EQ(argb.alpha, 1.0f);
    EXPECT_EQ(bgra.alpha, 1.0f);
    float input_alpha;
    std::memset(&input_alpha, 0x5A, sizeof input_alpha);
    expect(vuya.alpha, input_alpha, c.value, "vuya alpha");
  }
}

}  // namespace
