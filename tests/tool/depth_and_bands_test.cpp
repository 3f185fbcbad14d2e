// Which world a file renders in, what that loses, and the band counts the
// palette report takes from the effect's own rule.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "depth_choice.h"
#include "swatch_readback.h"

namespace huewright {
namespace {

TEST(Depth, FollowsTheInputUnlessAsked) {
  const SampleFacts eight{true, 8}, ten{true, 10}, sixteen{true, 16}, half{false, 16}, single{false, 32};
  const struct {
    bool premiere;
    std::optional<PixelLayout> asked;
    SampleFacts samples;
    PixelLayout expected;
    bool loses;
  } cases[] = {
      {false, {}, eight, PixelLayout::kArgb8, false},
      {false, {}, ten, PixelLayout::kArgb16, false},
      {false, {}, sixteen, PixelLayout::kArgb16, false},
      {false, {}, half, PixelLayout::kArgbFloat, false},
      {false, {}, single, PixelLayout::kArgbFloat, false},
      {true, {}, eight, PixelLayout::kBgra8, false},
      {true, {}, sixteen, PixelLayout::kBgra8, true},
      {true, {}, half, PixelLayout::kBgraFloat, false},
      {false, PixelLayout::kArgb8, half, PixelLayout::kArgb8, true},
      {false, PixelLayout::kArgb16, single, PixelLayout::kArgb16, true},
      {false, PixelLayout::kArgb8, sixteen, PixelLayout::kArgb8, true},
      {false, PixelLayout::kArgb16, eight, PixelLayout::kArgb16, false},
      {true, PixelLayout::kVuyaFloat, half, PixelLayout::kVuyaFloat, false},
  };
  for (const auto& c : cases) {
    const PixelLayout chosen = ChooseLayout(c.premiere, c.asked, c.samples);
    EXPECT_EQ(chosen, c.expected) << LayoutDescription(c.expected);
    EXPECT_EQ(!PrecisionLoss(chosen, c.samples).empty(), c.loses) << LayoutDescription(chosen);
  }
}

// A NaN brightness falls in the brightest band, as in the effect.
TEST(Bands, CountedByTheEffectsRule) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const struct {
    float grey;
    int band;
  } cases[] = {{0.0f, 0}, {0.25f, 1}, {0.5f, 2}, {0.7f, 3}, {0.95f, 4}, {nan, 4}, {-1.0f, 0}};
  for (PixelLayout layout : {PixelLayout::kArgbFloat, PixelLayout::kBgraFloat}) {
    minihost::World world(layout, std::size(cases), 1);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
      const float rgba[4] = {cases[i].grey, cases[i].grey, cases[i].grey, 1.0f};
      PackRow(layout, rgba, world.PixelAddress(static_cast<A_long>(i), 0), 1);
    }
    int64_t expected[kBands]{};
    for (const auto& c : cases) ++expected[c.band];
    const FrameBands measured = MeasureWorld(world, false);
    for (int band = 0; band < kBands; ++band)
      EXPECT_EQ(measured.counts[band], expected[band]) << LayoutDescription(layout) << " band " << band;
  }
}

}  // namespace
}  // namespace huewright
