// Helpers shared by the render tests: the effect's analysis switch is
// process-wide, so every test puts it into a known state first.
#ifndef HUEWRIGHT_TESTS_RENDER_FIXTURE_H
#define HUEWRIGHT_TESTS_RENDER_FIXTURE_H

#include <gtest/gtest.h>

#include "effect_fixture.h"
#include "minihost.h"
#include "reference_swatches.h"

namespace render_test {

inline const minihost::EffectLibrary& LoadedEffect() { return conformance::Effect(); }

using minihost::Application;
using minihost::Host;
using minihost::HostOptions;
using minihost::PixelLayout;
using minihost::World;

// One layout rendered from one test frame.
struct LayoutCase {
  const char* name;
  PixelLayout layout;
  const TestFrame& (*frame)();
};

// Every render test starts with the analysis switch on.
class RenderTest : public ::testing::Test {
 protected:
  void SetUp() override;
};

inline HostOptions Options(Application application, int threads = 1, PF_Quality quality = PF_Quality_HI) {
  HostOptions options;
  options.application = application;
  options.iterate_threads = threads;
  options.quality = quality;
  return options;
}

// Whether the effect analyses frames now: two flat 8-bit frames of different
// greys in the same band; an analysed second frame paints its own grey.
inline bool AnalysisIsOn(const minihost::EffectLibrary& effect) {
  Host host(effect, Options(Application::kAfterEffects));
  const double greys[] = {200.0 / 255.0, 190.0 / 255.0};
  uint8_t painted = 0;
  for (double grey : greys) {
    World input = reference::MakeFlatWorld(PixelLayout::kArgb8, 20, 20, {grey, grey, grey});
    World output(PixelLayout::kArgb8, 20, 20);
    if (host.SmartRender(input, output) != PF_Err_NONE) return false;
    painted = output.At<PF_Pixel8>(13, 17).red;  // inside cell 3
  }
  return painted == 190;
}

// Puts the analysis switch on, whatever earlier tests left.
inline void EnsureAnalysisOn(const minihost::EffectLibrary& effect) {
  if (AnalysisIsOn(effect)) return;
  Host host(effect, Options(Application::kAfterEffects));
  ASSERT_EQ(host.UserChangedParam(), PF_Err_NONE);
  ASSERT_TRUE(AnalysisIsOn(effect));
}

inline void RenderTest::SetUp() { EnsureAnalysisOn(LoadedEffect()); }

}  // namespace render_test

#endif
