#include "pixel_packing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace conformance {
namespace {

using minihost::PackRow;
using minihost::PixelBytes;
using minihost::PixelLayout;
using minihost::ToChannel16;
using minihost::ToChannel8;
using minihost::UnpackRow;

// Values every layout must carry back unchanged (within `tolerance`): the
// exact steps of the integer layouts, anything for the float layouts.
struct RoundTripCase {
  PixelLayout layout;
  double step;  // 0: arbitrary floats
  float tolerance;
};

std::vector<float> Samples(double step) {
  std::vector<float> values;
  if (step > 0) {
    for (double v = 0; v <= 1.0; v += step * 7) values.push_back(static_cast<float>(v));
    values.push_back(1.0f);
  } else {
    values = {0.0f, 1e-6f, 0.1f, 0.333f, 0.5f, 0.9999f, 1.0f, 1.7f, -0.25f};
  }
  return values;
}

class RoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(RoundTrip, PixelsComeBackFromTheHostLayout) {
  const RoundTripCase c = GetParam();
  const std::vector<float> values = Samples(c.step);
  // Each channel of each pixel gets a different value so that a swapped
  // channel shows.
  std::vector<float> rgba;
  for (std::size_t i = 0; i < values.size(); ++i)
    for (std::size_t k = 0; k < 4; ++k) rgba.push_back(values[(i + k * 3) % values.size()]);
  const std::size_t width = values.size();
  std::vector<unsigned char> row(width * PixelBytes(c.layout));
  std::vector<float> back(rgba.size(), -99.0f);
  PackRow(c.layout, rgba.data(), row.data(), width);
  UnpackRow(c.layout, row.data(), back.data(), width);
  for (std::size_t i = 0; i < rgba.size(); ++i) EXPECT_NEAR(back[i], rgba[i], c.tolerance) << "sample " << i;
}

INSTANTIATE_TEST_SUITE_P(Layouts, RoundTrip,
                         testing::Values(RoundTripCase{PixelLayout::kArgb8, 1 / 255.0, 0.0f},
                                         RoundTripCase{PixelLayout::kBgra8, 1 / 255.0, 0.0f},
                                         RoundTripCase{PixelLayout::kArgb16, 1 / 32768.0, 0.0f},
                                         RoundTripCase{PixelLayout::kArgbFloat, 0, 0.0f},
                                         RoundTripCase{PixelLayout::kBgraFloat, 0, 0.0f},
                                         // The BT.601 pair of matrices is inverse to about 1e-3.
                                         RoundTripCase{PixelLayout::kVuyaFloat, 0, 2e-3f}));

// Where each channel lands in memory.
struct ByteOrderCase {
  PixelLayout layout;
  std::vector<unsigned char> bytes;  // for red 1, green 0.5, blue 0, alpha 1
};

class ByteOrder : public testing::TestWithParam<ByteOrderCase> {};

TEST_P(ByteOrder, ChannelsSitWhereTheHostExpectsThem) {
  const float rgba[4] = {1.0f, 0.5f, 0.0f, 1.0f};
  const ByteOrderCase& c = GetParam();
  std::vector<unsigned char> row(PixelBytes(c.layout));
  PackRow(c.layout, rgba, row.data(), 1);
  EXPECT_EQ(row, c.bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, ByteOrder,
    testing::Values(ByteOrderCase{PixelLayout::kArgb8, {255, 255, 128, 0}},
                    ByteOrderCase{PixelLayout::kBgra8, {0, 128, 255, 255}},
                    // alpha, red, green, blue as little-endian 16-bit words
                    ByteOrderCase{PixelLayout::kArgb16, {0x00, 0x80, 0x00, 0x80, 0x00, 0x40, 0x00, 0x00}}));

TEST(FloatLayouts, ChannelOrderInMemory) {
  const float rgba[4] = {0.25f, 0.5f, 0.75f, 1.0f};
  float argb[4], bgra[4];
  PackRow(PixelLayout::kArgbFloat, rgba, argb, 1);
  PackRow(PixelLayout::kBgraFloat, rgba, bgra, 1);
  EXPECT_EQ(std::vector<float>(argb, argb + 4), (std::vector<float>{1.0f, 0.25f, 0.5f, 0.75f}));
  EXPECT_EQ(std::vector<float>(bgra, bgra + 4), (std::vector<float>{0.75f, 0.5f, 0.25f, 1.0f}));
}

TEST(Vuya, FullRangeBt601) {
  // Pure colours put Y at the luma weights and U, V at the stated scales.
  const struct {
    float r, g, b, y, u, v;
  } cases[] = {
      {1, 1, 1, 1.0f, 0.0f, 0.0f},
      {1, 0, 0, 0.299f, -0.299f * 0.565f, 0.701f * 0.713f},
      {0, 1, 0, 0.587f, -0.587f * 0.565f, -0.587f * 0.713f},
      {0, 0, 1, 0.114f, 0.886f * 0.565f, -0.114f * 0.713f},
  };
  for (const auto& c : cases) {
    const float rgba[4] = {c.r, c.g, c.b, 0.5f};
    float vuya[4];
    PackRow(PixelLayout::kVuyaFloat, rgba, vuya, 1);
    EXPECT_NEAR(vuya[0], c.v, 1e-6);
    EXPECT_NEAR(vuya[1], c.u, 1e-6);
    EXPECT_NEAR(vuya[2], c.y, 1e-6);
    EXPECT_EQ(vuya[3], 0.5f);
  }
}

TEST(IntegerChannels, ClampRoundAndTakeNanAsZero) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const struct {
    float in;
    int eight, sixteen;
  } cases[] = {{nan, 0, 0},          {-inf, 0, 0},           {-0.5f, 0, 0},         {inf, 255, 32768},
               {1e30f, 255, 32768},  {1.5f, 255, 32768},     {0.5f, 128, 16384},    {0.6f / 255, 1, 77},
               {0.4f / 255, 0, 51},  {1.0f, 255, 32768}};
  for (const auto& c : cases) {
    EXPECT_EQ(ToChannel8(c.in), c.eight) << c.in;
    EXPECT_EQ(ToChannel16(c.in), c.sixteen) << c.in;
  }
}

}  // namespace
}  // namespace conformance
