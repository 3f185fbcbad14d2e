// MeasureFrame against the analysers run as a render runs them: the same
// bands, sums and counts for every layout, padded rows included, and with
// transparent pixels left out only when asked.
#include "frame_measure.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "analysis_helpers.h"

namespace {

constexpr int kWidth = 7, kHeight = 5, kPadPixels = 3;

// Channel values of all kinds, an alpha of 0 in about a third of the pixels.
template <class Channel>
std::vector<std::array<Channel, 4>> MakePixels(int alpha_at, std::mt19937& random) {
  std::vector<std::array<Channel, 4>> pixels(kWidth * kHeight);
  for (auto& pixel : pixels) {
    for (auto& channel : pixel) {
      if constexpr (std::is_floating_point_v<Channel>) {
        channel = std::uniform_real_distribution<Channel>(-0.3f, 1.4f)(random);
      } else {
        channel = static_cast<Channel>(random());
      }
    }
    if (random() % 3 == 0) pixel[alpha_at] = 0;
  }
  if constexpr (std::is_floating_point_v<Channel>) pixels[4][(alpha_at + 1) % 4] = NAN;
  return pixels;
}

template <class Pixel, class Channel, class Fn>
void ExpectSameAsAnalyser(Fn analyser, PixelLayout layout, int alpha_at) {
  std::mt19937 random(7);
  const auto pixels = MakePixels<Channel>(alpha_at, random);
  // The frame in padded rows, the padding filled with a pixel that would count.
  const std::size_t stride = kWidth + kPadPixels;
  std::vector<std::array<Channel, 4>> rows(stride * kHeight, std::array<Channel, 4>{1, 1, 1, 1});
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) rows[y * stride + x] = pixels[y * kWidth + x];
  const FrameView view{rows.data(), kWidth, kHeight, static_cast<std::ptrdiff_t>(stride * sizeof rows[0])};

  for (const bool skip : {false, true}) {
    std::vector<Pixel> analysed;
    for (const auto& channels : pixels) {
      if (skip && channels[alpha_at] == 0) continue;
      Pixel pixel;
      std::memcpy(&pixel, channels.data(), sizeof pixel);
      analysed.push_back(pixel);
    }
    const PassResult expected = AnalysePixels<Pixel>(analyser, analysed);
    const FrameBands measured = MeasureFrame(layout, view, skip);
    for (int band = 0; band < kBandCount; ++band) {
      EXPECT_EQ(measured.counts[band], expected.counts[band]) << "band " << band << " skip " << skip;
      for (int c = 0; c < kChannelCount; ++c) {
        const double want = expected.sums[band][c], got = measured.sums[band][c];
        EXPECT_TRUE(want == got || (std::isnan(want) && std::isnan(got)))
            << "band " << band << " channel " << c << " skip " << skip << ": " << got << " vs " << want;
      }
    }
  }
}

TEST(FrameMeasure, EightBitLayoutsMatchTheirAnalysers) {
  ExpectSameAsAnalyser<Argb8Pixel, uint8_t>(AnalyserOf(PixelLayout::kArgb8), PixelLayout::kArgb8, 0);
  ExpectSameAsAnalyser<Bgra8Pixel, uint8_t>(AnalyserOf(PixelLayout::kBgra8), PixelLayout::kBgra8, 3);
}

TEST(FrameMeasure, SixteenBitLayoutMatchesItsAnalyser) {
  ExpectSameAsAnalyser<Argb16Pixel, uint16_t>(AnalyserOf(PixelLayout::kArgb16), PixelLayout::kArgb16, 0);
}

TEST(FrameMeasure, FloatLayoutsMatchTheirAnalysers) {
  ExpectSameAsAnalyser<ArgbFloatPixel, float>(AnalyserOf(PixelLayout::kArgbFloat), PixelLayout::kArgbFloat, 0);
  ExpectSameAsAnalyser<BgraFloatPixel, float>(AnalyserOf(PixelLayout::kBgraFloat), PixelLayout::kBgraFloat, 3);
  ExpectSameAsAnalyser<VuyaFloatPixel, float>(AnalyserOf(PixelLayout::kVuyaFloat), PixelLayout::kVuyaFloat, 3);
}

TEST(FrameMeasure, BandsOfFramesAddAndAverageByTheirCounts) {
  FrameBands total, more;
  total.counts[1] = 3'000'000'000;  // beyond a 32-bit count
  total.sums[1][0] = 1'500'000'000.0;
  more.counts[1] = 1'000'000'000;
  more.sums[1][0] = 2'500'000'000.0;
  AddFrameBands(total, more);
  EXPECT_EQ(total.counts[1], 4'000'000'000);
  NormaliseSums(total.sums, total.counts, 2.0);
  EXPECT_DOUBLE_EQ(total.sums[1][0], 2.0);  // (1.5e9 + 2.5e9) / 4e9, times the gain
  EXPECT_TRUE(std::isnan(total.sums[0][0])) << "a band with no pixels averages to NaN";
}

}  // namespace
