// After Effects frames through the smart render, against the independent
// reference of reference_swatches.h.
#include <cmath>
#include <cstring>
#include <thread>

#include "render_fixture.h"

namespace {

using namespace render_test;
using reference::CheckSwatches;
using reference::Palette;

const LayoutCase kDepths[] = {
    {"8-bit", PixelLayout::kArgb8, MountainFrame},
    {"16-bit", PixelLayout::kArgb16, MountainFrame},
    {"float", PixelLayout::kArgbFloat, CarrotsFrame},
    {"float from 8-bit", PixelLayout::kArgbFloat, MountainFrame},
};

class SmartRenderTest : public RenderTest {
 protected:
  Host MakeHost(int threads = 1) { return Host(LoadedEffect(), Options(Application::kAfterEffects, threads)); }
};

TEST_F(SmartRenderTest, PaintsEachDepthsOwnBandAveragesTimesTheGain) {
  for (const LayoutCase& depth : kDepths)
    for (double gain : {1.0, 3.0, 0.001}) {
      SCOPED_TRACE(std::string(depth.name) + " gain " + std::to_string(gain));
      Host host = MakeHost();
      host.Params().gain = gain;
      World input = reference::MakeWorld(depth.layout, depth.frame());
      World output(depth.layout, input.Width(), input.Height());
      ASSERT_EQ(host.SmartRender(input, output), PF_Err_NONE);
      EXPECT_EQ(CheckSwatches(input, output, reference::Scaled(reference::Analyse(input), gain)), "");
      EXPECT_EQ(host.VerifyReport(), "");
    }
}

TEST_F(SmartRenderTest, MakesTheHostCallsOfOneFrameInOrder) {
  struct Expectation {
    PixelLayout layout;
    const char* new_world;
    const char* iterate;
  };
  const Expectation cases[] = {{PixelLayout::kArgb8, "new_world", "iterate8"},
                               {PixelLayout::kArgb16, "PF_NewWorld", "iterate16"},
                               {PixelLayout::kArgbFloat, "PF_NewWorld", "iterateFloat"}};
  for (const Expectation& c : cases) {
    SCOPED_TRACE(c.iterate);
    Host host = MakeHost();
    World input = reference::MakeWorld(c.layout, MountainFrame());
    World output(c.layout, 60, 50);
    ASSERT_EQ(host.SmartRender(input, output), PF_Err_NONE);
    const auto created = host.Log().Named(c.new_world);
    ASSERT_EQ(created.size(), 1u);
    EXPECT_EQ(created[0].values[0], 60);  // the drawing world has the output's size
    EXPECT_EQ(created[0].values[1], 50);
    EXPECT_EQ(created[0].values[2], c.layout == PixelLayout::kArgb8 ? PF_NewWorldFlag_CLEAR_PIXELS : 3);
    const auto passes = host.Log().Named(c.iterate);
    ASSERT_EQ(passes.size(), 2u);
    for (const auto& pass : passes) EXPECT_EQ(pass.values[1], 50);  // progress runs over the output's rows
    EXPECT_EQ(host.Log().Count("copy"), 1u);
    EXPECT_EQ(host.Log().Count("PF_DisposeWorld"), 1u);
    EXPECT_EQ(host.Log().Count("checkout_param"), 3u);
    EXPECT_EQ(host.Log().Count("checkin_param"), 3u);
    EXPECT_EQ(host.VerifyReport(), "");
  }
}

TEST_F(SmartRenderTest, CheckboxOffCopiesTheInputYetKeepsThePaletteCurrent) {
  for (const LayoutCase& depth : kDepths) {
    SCOPED_TRACE(depth.name);
    Host host = MakeHost();
    host.Params().checkbox = 0;
    World input = reference::MakeWorld(depth.layout, depth.frame());
    World output(depth.layout, input.Width(), input.Height());
    ASSERT_EQ(host.SmartRender(input, output), PF_Err_NONE);
    EXPECT_TRUE(output.SamePixels(input));
    EXPECT_EQ(host.Log().Count("copy"), 1u);

    // Frozen now: the next frame paints what the unpainted frame measured.
    ASSERT_EQ(host.UserChangedParam(), PF_Err_NONE);
    host.Params().checkbox = 1;
    World other = reference::MakeFlatWorld(depth.layout, input.Width(), input.Height(), {0.5, 0.1, 0.9});
    World painted(depth.layout, input.Width(), input.Height());
    ASSERT_EQ(host.SmartRender(other, painted), PF_Err_NONE);
    EXPECT_EQ(CheckSwatches(other, painted, reference::Analyse(input)), "");
    ASSERT_EQ(host.UserChangedParam(), PF_Err_NONE);
  }
}

TEST_F(SmartRenderTest, FrozenPaletteIgnoresNewFramesAndGainUntilAnalysisReturns) {
  Host host = MakeHost();
  World first = reference::MakeWorld(PixelLayout::kArgb16, MountainFrame());
  World second = reference::MakeFlatWorld(PixelLayout::kArgb16, first.Width(), first.Height(), {0.9, 0.9, 0.9});
  World output(PixelLayout::kArgb16, first.Width(), first.Height());
  host.Params().gain = 2.0;
  ASSERT_EQ(host.SmartRender(first, output), PF_Err_NONE);
  const Palette frozen = reference::Scaled(reference::Analyse(first), 2.0);

  ASSERT_EQ(host.UserChangedParam(), PF_Err_NONE);
  for (double gain : {0.5, 3.0}) {
    host.Params().gain = gain;
    ASSERT_EQ(host.SmartRender(second, output), PF_Err_NONE);
    EXPECT_EQ(CheckSwatches(second, output, frozen), "");
  }
  ASSERT_EQ(host.UserChangedParam(), PF_Err_NONE);
  ASSERT_EQ(host.SmartRender(second, output), PF_Err_NONE);
  EXPECT_EQ(CheckSwatches(second, output, reference::Scaled(reference::Analyse(second), 3.0)), "");
}

TEST_F(SmartRenderTest, EmptyBandsPaintAsTheirLayoutTreatsNaN) {
  for (PixelLayout layout : {PixelLayout::kArgb8, PixelLayout::kArgb16, PixelLayout::kArgbFloat}) {
    Host host = MakeHost();
    World input = reference::MakeFlatWorld(layout, 50, 40, {0.5, 0.5, 0.5});
    World output(layout, 50, 40);
    ASSERT_EQ(host.SmartRender(input, output), PF_Err_NONE);
    const Palette palette = reference::Analyse(input);
    ASSERT_TRUE(std::isnan(palette.average[0][0]));  // only band 2 holds pixels
    EXPECT_EQ(CheckSwatches(input, output, palette), "");
  }
}

TEST_F(SmartRenderTest, SwatchesFollowTheInputSizeAndTheDrawingWorldTheOutputSize) {
  Host host = MakeHost();
  World input = reference::MakeWorld(PixelLayout::kArgb8, MountainFrame());  // 120 x 80
  World output(PixelLayout::kArgb8, 100, 60);
  ASSERT_EQ(host.SmartRender(input, output), PF_Err_NONE);
  EXPECT_EQ(CheckSwatches(input, output, reference::Analyse(input), 120, 80), "");
  EXPECT_EQ(host.VerifyReport(), "");
}

TEST_F(SmartRenderTest, OneAndFourIterationThreadsGiveTheSameFrame) {
  for (const LayoutCase& depth : kDepths) {
    SCOPED_TRACE(depth.name);
    World input = reference::MakeWorld(depth.layout, depth.frame());
    World single(depth.layout, input.Width(), input.Height());
    World spread(depth.layout, input.Width(), input.Height());
    Host one = MakeHost(1), four = MakeHost(4);
    ASSERT_EQ(one.SmartRender(input, single), PF_Err_NONE);
    ASSERT_EQ(four.SmartRender(input, spread), PF_Err_NONE);
    EXPECT_TRUE(single.SamePixels(spread));
  }
}

TEST_F(SmartRenderTest, FailedCheckoutOfTheGainStopsYetChecksEveryParameterIn) {
  Host host = MakeHost();
  host.FailCall({"checkout_param", 1, 2, PF_Err_INVALID_INDEX});
  host.FailCall({"checkin_param", 1, std::nullopt, PF_Err_INTERNAL_STRUCT_DAMAGED});
  World input = reference::MakeWorld(PixelLayout::kArgb8, MountainFrame());
  World output(PixelLayout::kArgb8, input.Width(), input.Height());
  output.FillBytes(7);
  EXPECT_EQ(host.SmartRender(input, output), PF_Err_INVALID_INDEX);
  const auto checkouts = host.Log().Named("checkout_param");
  ASSERT_EQ(checkouts.size(), 2u);  // parameter 3 is never checked out
  EXPECT_EQ(host.Log().Count("checkin_param"), 3u);
  EXPECT_EQ(host.Log().Count("AcquireSuite"), 0u);
  World untouched(PixelLayout::kArgb8, input.Width(), input.Height());
  untouched.FillBytes(7);
  EXPECT_TRUE(output.SamePixels(untouched));
}

TEST_F(SmartRenderTest, RefusedWorldSuiteReportsAndLeavesThePaletteAlone) {
  Host host = MakeHost();
  World earlier = reference::MakeWorld(PixelLayout::kArgb8, MountainFrame());
  World output(PixelLayout::kArgb8, earlier.Width(), earlier.Height());
  ASSERT_EQ(host.SmartRender(earlier, output), PF_Err_NONE);

  host.RefuseSuite({kPFWorldSuite, 2});
  World other = reference::MakeFlatWorld(PixelLayout::kArgb8, earlier.Width(), earlier.Height(), {0.9, 0.2, 0.2});
  EXPECT_EQ(host.SmartRender(other, output), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_STREQ(host.OutData().return_msg, "Couldn't load suite.");
  EXPECT_TRUE(host.OutData().out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE);
  EXPECT_EQ(host.Log().Count("iterate8"), 2u);  // from the first frame only
  EXPECT_EQ(host.VerifyReport(), "");

  // The palette is still the earlier frame's.
  host.ClearFaults();
  ASSERT_EQ(host.UserChangedParam(), PF_Err_NONE);
  ASSERT_EQ(host.SmartRender(other, output), PF_Err_NONE);
  EXPECT_EQ(CheckSwatches(other, output, reference::Analyse(earlier)), "");
  ASSERT_EQ(host.UserChangedParam(), PF_Err_NONE);
}

TEST_F(SmartRenderTest, MissingIterationSuiteAbortsButReleasesDisposesAndChecksIn) {
  Host host = MakeHost();
  host.RefuseSuite({kPFIterate16Suite, std::nullopt});
  World input = reference::MakeWorld(PixelLayout::kArgb16, MountainFrame());
  World output(PixelLayout::kArgb16, input.Width(), input.Height());
  EXPECT_EQ(host.SmartRender(input, output), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(host.Log().Count("PF_DisposeWorld"), 1u);
  EXPECT_EQ(host.Log().Count("checkin_param"), 3u);
  EXPECT_EQ(host.VerifyReport(), "");
}

TEST_F(SmartRenderTest, FailingPassOrCopyReturnsItsCodeAndCleansUp) {
  const minihost::CallFault faults[] = {{"iterate8", 1, std::nullopt, PF_Interrupt_CANCEL},
                                        {"iterate8", 2, std::nullopt, PF_Interrupt_CANCEL},
                                        {"new_world", 1, std::nullopt, PF_Err_OUT_OF_MEMORY},
                                        {"copy", 1, std::nullopt, PF_Err_INTERNAL_STRUCT_DAMAGED},
                                        {"PF_DisposeWorld", 1, std::nullopt, PF_Err_INVALID_CALLBACK}};
  for (const minihost::CallFault& fault : faults) {
    SCOPED_TRACE(fault.call + " #" + std::to_string(fault.occurrence));
    Host host = MakeHost();
    host.FailCall(fault);
    World input = reference::MakeWorld(PixelLayout::kArgb8, MountainFrame());
    World output(PixelLayout::kArgb8, input.Width(), input.Height());
    EXPECT_EQ(host.SmartRender(input, output), fault.code);
    EXPECT_EQ(host.Log().Count("PF_DisposeWorld"), 1u);
    EXPECT_EQ(host.Log().Count("checkin_param"), 3u);
  }
}

TEST_F(SmartRenderTest, UnknownPixelFormatLeavesTheOutputAsHandedOver) {
  Host host = MakeHost();
  World input = reference::MakeWorld(PixelLayout::kBgra8, MountainFrame());
  World output(PixelLayout::kBgra8, input.Width(), input.Height());
  output.FillBytes(9);
  EXPECT_EQ(host.SmartRender(input, output), PF_Err_NONE);
  World untouched(PixelLayout::kBgra8, input.Width(), input.Height());
  untouched.FillBytes(9);
  EXPECT_TRUE(output.SamePixels(untouched));
  EXPECT_EQ(host.Log().Count("iterate8"), 0u);
  EXPECT_EQ(host.VerifyReport(), "");
}

}  // namespace

namespace {

TEST_F(SmartRenderTest, ConcurrentFramesEachPaintTheirOwnPalette) {
  constexpr int kFrames = 3;
  std::vector<World> inputs, outputs;
  for (int i = 0; i < kFrames; ++i) {
    const double shade = 0.2 + 0.25 * i;
    inputs.push_back(reference::MakeFlatWorld(PixelLayout::kArgbFloat, 48, 40, {shade, 1.0 - shade, 0.5}));
    outputs.emplace_back(PixelLayout::kArgbFloat, 48, 40);
  }
  for (int round = 0; round < 4; ++round) {
    std::vector<PF_Err> results(kFrames, -1);
    std::vector<std::thread> threads;
    for (int i = 0; i < kFrames; ++i)
      threads.emplace_back([&, i] {
        Host host(LoadedEffect(), Options(Application::kAfterEffects, 2));
        host.Params().gain = 1.0 + i;
        results[i] = host.SmartRender(inputs[i], outputs[i]);
      });
    for (std::thread& thread : threads) thread.join();
    for (int i = 0; i < kFrames; ++i) {
      ASSERT_EQ(results[i], PF_Err_NONE);
      EXPECT_EQ(CheckSwatches(inputs[i], outputs[i], reference::Scaled(reference::Analyse(inputs[i]), 1.0 + i)), "")
          << "frame " << i;
    }
  }
}

}  // namespace
