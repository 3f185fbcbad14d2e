// The scalar reference against the documented values it must give: the
// model every measurement path is held to has to be right itself, roundings
// to float included (a compiler once dropped them from this very code).
#include "scalar_reference.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

namespace {

using scalar_reference::Layout;
using scalar_reference::Measure;

struct Documented {
  const char* name;
  Measure got;
  int band;
  double brightness;  // NaN: not checked
  double added[3];
  double tolerance;  // of the added values
};

TEST(ScalarReference, DocumentedEdgeCases) {
  const double kUnchecked = std::numeric_limits<double>::quiet_NaN();
  const Documented cases[] = {
      {"8-bit grey 51", scalar_reference::EightBit(51, 51, 51), 0, 0.1998, {51, 51, 51}, 0},
      {"8-bit 52, 51, 51", scalar_reference::EightBit(52, 51, 51), 1, kUnchecked, {52, 51, 51}, 0},
      {"8-bit mid grey", scalar_reference::EightBit(128, 128, 128), 2, kUnchecked, {128, 128, 128}, 0},
      {"8-bit white", scalar_reference::EightBit(255, 255, 255), 4, 0.999, {255, 255, 255}, 0},
      {"16-bit sum 19691", scalar_reference::SixteenBit(19691, 0, 0), 0, kUnchecked, {19691, 0, 0}, 0},
      {"16-bit sum 19692", scalar_reference::SixteenBit(19692, 0, 0), 1, kUnchecked, {19692, 0, 0}, 0},
      {"16-bit full scale", scalar_reference::SixteenBit(32768, 32768, 32768), 4, 0.998424576, {32768, 32768, 32768},
       0},
      {"float grey 0.2", scalar_reference::FloatRgb(0.2f, 0.2f, 0.2f), 0, 0.1998, {0.2f, 0.2f, 0.2f}, 0},
      {"float grey 0.6", scalar_reference::FloatRgb(0.6f, 0.6f, 0.6f), 2, 0.5994, {0.6f, 0.6f, 0.6f}, 0},
      {"float negative red", scalar_reference::FloatRgb(-1.0f, 0.9f, 0.9f), 2, 0.5994, {1.0, 0.9f, 0.9f}, 0},
      {"VUYA grey", scalar_reference::Vuya(0.0f, 0.0f, 0.5f), 2, kUnchecked, {0.5, 0.0, 0.0}, 0},
      {"VUYA luma above 1", scalar_reference::Vuya(0.0f, 0.0f, 1.2f), 4, kUnchecked, {1.0, 0.0, 0.0}, 0},
      {"VUYA red limited", scalar_reference::Vuya(0.5f, 0.0f, 0.5f), 2, kUnchecked, {0.43994, 0.39932, 0.03393},
       1e-5},
  };
  for (const Documented& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.got.band, c.band);
    if (!std::isnan(c.brightness)) {
      EXPECT_NEAR(c.got.brightness, c.brightness, 1e-7);
    }
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(c.got.added[i], c.added[i], c.tolerance) << "value " << i;
  }
}

TEST(ScalarReference, BandsAreHalfOpenAndNaNIsBrightest) {
  const double kNaN = std::numeric_limits<double>::quiet_NaN();
  const double kInf = std::numeric_limits<double>::infinity();
  const double below_02 = std::nextafter(0.2, 0.0);
  const struct {
    double brightness;
    int band;
  } cases[] = {{-kInf, 0}, {-1.0, 0}, {below_02, 0}, {0.2, 1}, {0.4, 2}, {0.6, 3}, {0.8, 4}, {kInf, 4}, {kNaN, 4}};
  for (const auto& c : cases) EXPECT_EQ(scalar_reference::BandOf(c.brightness), c.band) << c.brightness;
}

// Every VUYA value reaches the sums rounded to float, over a grid of inputs
// that go through every limit.
TEST(ScalarReference, VuyaAddsSinglePrecisionValues) {
  for (float v = -0.6f; v <= 0.6f; v += 0.1f)
    for (float u = -0.6f; u <= 0.6f; u += 0.1f)
      for (float y = -0.2f; y <= 1.2f; y += 0.1f) {
        const Measure m = scalar_reference::Vuya(v, u, y);
        for (double value : m.added)
          ASSERT_EQ(value, static_cast<double>(static_cast<float>(value))) << v << " " << u << " " << y;
      }
}

// Channels by memory position: the same four bytes are three colours.
TEST(ScalarReference, LayoutsReadTheirOwnChannelPositions) {
  const uint8_t bytes[4] = {10, 20, 30, 255};
  const struct {
    Layout layout;
    double red, green, blue;
  } cases[] = {{Layout::kArgb8, 20, 30, 255}, {Layout::kBgra8, 30, 20, 10}, {Layout::kRgba8, 10, 20, 30}};
  for (const auto& c : cases) {
    const Measure m = scalar_reference::MeasurePixel(c.layout, bytes);
    EXPECT_EQ(m.added[0], c.red);
    EXPECT_EQ(m.added[1], c.green);
    EXPECT_EQ(m.added[2], c.blue);
  }
  const float bgra[4] = {0.9f, 0.9f, -1.0f, 1.0f};  // blue, green, red, alpha
  const Measure m = scalar_reference::MeasurePixel(Layout::kBgraFloat, bgra);
  EXPECT_EQ(m.band, 2);
  EXPECT_EQ(m.added[0], 1.0);
  const float vuya[4] = {0.0f, 0.0f, 0.5f, 0.25f};
  EXPECT_EQ(scalar_reference::MeasurePixel(Layout::kVuyaFloat, vuya).added[0], 0.5);
}

// Rows are taken from the top as rowbytes leads, also upward in memory.
TEST(ScalarReference, FrameRowsFollowRowbytes) {
  // Two rows of three ARGB float pixels: a dark row and a bright one.
  const float frame[2][3][4] = {{{1, 0.1f, 0.1f, 0.1f}, {1, 0.1f, 0.2f, 0.1f}, {1, -0.1f, 0, 0}},
                                {{1, 0.9f, 0.9f, 0.9f}, {1, 1, 1, 1}, {1, 0.9f, 1, 0.9f}}};
  const auto stride = static_cast<std::ptrdiff_t>(sizeof frame[0]);
  const scalar_reference::Bands down = scalar_reference::MeasureFrame(Layout::kArgbFloat, frame, 3, 2, stride);
  EXPECT_EQ(down.counts[0], 3);
  EXPECT_EQ(down.counts[4], 3);
  EXPECT_EQ(down.sums[0][0], (0.1f + double(0.1f)) + 0.1f);
  // Starting at the bright row and going up: the same pixels.
  const scalar_reference::Bands up = scalar_reference::MeasureFrame(Layout::kArgbFloat, frame[1], 3, 2, -stride);
  for (int band = 0; band < scalar_reference::kBands; ++band) {
    EXPECT_EQ(up.counts[band], down.counts[band]);
    for (int c = 0; c < 3; ++c) EXPECT_EQ(up.sums[band][c], down.sums[band][c]);
  }
}

}  // namespace
