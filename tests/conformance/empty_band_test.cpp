// A band that no pixel falls in averages to NaN; its swatch is painted
// black in the float formats, as in the integer ones, never as NaN.
#include <cstring>
#include <utility>

#include "render_fixture.h"

namespace {

using namespace render_test;

class EmptyBandTest : public RenderTest {};

TEST_F(EmptyBandTest, FloatFormatsPaintAnEmptyBandBlackWithTheirAlphaRule) {
  struct Case {
    const char* name;
    Application application;
    PixelLayout layout;
    bool keeps_input_alpha;
  };
  const Case cases[] = {
      {"After Effects 32-bit", Application::kAfterEffects, PixelLayout::kArgbFloat, false},
      {"Premiere VUYA 32f", Application::kPremiere, PixelLayout::kVuyaFloat, true},
      {"Premiere BGRA 32f", Application::kPremiere, PixelLayout::kBgraFloat, false},
  };
  // Mid grey only: band 2 holds every pixel. (9, 35) lies in cell 0 of a
  // 50 x 40 frame, the darkest band's swatch.
  constexpr int32_t kX = 9, kY = 35;
  constexpr float kInputAlpha = 0.25f;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Host host(LoadedEffect(), Options(c.application));
    World input = reference::MakeFlatWorld(c.layout, 50, 40, {0.5, 0.5, 0.5});
    std::memcpy(input.PixelAddress(kX, kY) + (c.layout == PixelLayout::kArgbFloat ? 0 : 12), &kInputAlpha, 4);
    World output(c.layout, 50, 40);
    ASSERT_EQ(
        c.application == Application::kAfterEffects ? host.SmartRender(input, output) : host.Render(input, output),
        PF_Err_NONE);

    float expected[4] = {0.0f, 0.0f, 0.0f, 1.0f};  // black, opaque alpha last (BGRA, VUYA)
    if (c.layout == PixelLayout::kArgbFloat) std::swap(expected[0], expected[3]);
    if (c.keeps_input_alpha) expected[3] = kInputAlpha;
    EXPECT_EQ(std::memcmp(output.PixelAddress(kX, kY), expected, sizeof expected), 0);
  }
}

}  // namespace
