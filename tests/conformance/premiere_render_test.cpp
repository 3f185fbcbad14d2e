// Premiere Pro frames through the classic render, against the independent
// reference of reference_swatches.h.
#include <cmath>
#include <cstring>
#include <thread>

#include "render_fixture.h"

namespace {

using namespace render_test;
using reference::CheckSwatches;
using reference::Palette;

const LayoutCase kFormats[] = {
    {"BGRA 8-bit", PixelLayout::kBgra8, MountainFrame},
    {"BGRA float", PixelLayout::kBgraFloat, CarrotsFrame},
    {"VUYA float", PixelLayout::kVuyaFloat, CarrotsFrame},
};

class PremiereRenderTest : public RenderTest {
 protected:
  Host MakeHost(PF_Quality quality = PF_Quality_HI, int threads = 1) {
    return Host(LoadedEffect(), Options(Application::kPremiere, threads, quality));
  }
};

World SentinelWorld(PixelLayout layout, int32_t w, int32_t h) {
  World world(layout, w, h);
  world.FillBytes(0x3C);
  world.SetExtentHint({0, 0, w, h});
  return world;
}

TEST_F(PremiereRenderTest, EachFormatPaintsItsOwnPlainAverages) {
  for (const LayoutCase& format : kFormats) {
    SCOPED_TRACE(format.name);
    Host host = MakeHost();
    host.Params().gain = 3.0;  // Premiere reads no parameter
    host.Params().checkbox = 0;
    World input = reference::MakeWorld(format.layout, format.frame());
    World output = SentinelWorld(format.layout, input.Width(), input.Height());
    ASSERT_EQ(host.Render(input, output), PF_Err_NONE);
    EXPECT_EQ(CheckSwatches(input, output, reference::Analyse(input)), "");
    EXPECT_EQ(host.VerifyReport(), "");
    EXPECT_EQ(host.Log().Count("checkout_param"), 0u);
  }
}

TEST_F(PremiereRenderTest, ReleasesItsTwoSuitesInReverseOrder) {
  Host host = MakeHost();
  World input = reference::MakeWorld(PixelLayout::kBgra8, MountainFrame());
  World output = SentinelWorld(PixelLayout::kBgra8, input.Width(), input.Height());
  ASSERT_EQ(host.Render(input, output), PF_Err_NONE);
  std::vector<std::string> order;
  for (const auto& call : host.Log().All())
    if (call.name == "AcquireSuite" || call.name == "ReleaseSuite") order.push_back(call.name + " " + call.text);
  const std::vector<std::string> expected = {"AcquireSuite PF Pixel Format Suite", "AcquireSuite PF Iterate8 Suite",
                                             "ReleaseSuite PF Iterate8 Suite", "ReleaseSuite PF Pixel Format Suite"};
  EXPECT_EQ(order, expected);
  EXPECT_EQ(host.Log().Count("iterate8"), 2u);
}

TEST_F(PremiereRenderTest, BgraFloatAtLowQualityKeepsTheLastAnalysedPalette) {
  Host high = MakeHost(PF_Quality_HI), low = MakeHost(PF_Quality_LO);
  World first = reference::MakeWorld(PixelLayout::kBgraFloat, CarrotsFrame());
  World output = SentinelWorld(PixelLayout::kBgraFloat, first.Width(), first.Height());
  ASSERT_EQ(high.Render(first, output), PF_Err_NONE);

  World second = reference::MakeFlatWorld(PixelLayout::kBgraFloat, first.Width(), first.Height(), {0.1, 0.7, 0.3});
  ASSERT_EQ(low.Render(second, output), PF_Err_NONE);
  EXPECT_EQ(CheckSwatches(second, output, reference::Analyse(first)), "");

  // 8-bit and VUYA frames are analysed at any quality.
  for (PixelLayout layout : {PixelLayout::kBgra8, PixelLayout::kVuyaFloat}) {
    World input = reference::MakeFlatWorld(layout, 40, 30, {0.1, 0.7, 0.3});
    World out = SentinelWorld(layout, 40, 30);
    ASSERT_EQ(low.Render(input, out), PF_Err_NONE);
    EXPECT_EQ(CheckSwatches(input, out, reference::Analyse(input)), "");
  }
}

TEST_F(PremiereRenderTest, AnalysisOffFreezesEveryFormat) {
  for (const LayoutCase& format : kFormats) {
    SCOPED_TRACE(format.name);
    Host host = MakeHost();
    World first = reference::MakeWorld(format.layout, format.frame());
    World output = SentinelWorld(format.layout, first.Width(), first.Height());
    ASSERT_EQ(host.Render(first, output), PF_Err_NONE);
    ASSERT_EQ(host.UserChangedParam(), PF_Err_NONE);
    World second = reference::MakeFlatWorld(format.layout, first.Width(), first.Height(), {0.9, 0.5, 0.1});
    World frozen = SentinelWorld(format.layout, first.Width(), first.Height());
    ASSERT_EQ(host.Render(second, frozen), PF_Err_NONE);
    EXPECT_EQ(CheckSwatches(second, frozen, reference::Analyse(first)), "");
    ASSERT_EQ(host.UserChangedParam(), PF_Err_NONE);
  }
}

TEST_F(PremiereRenderTest, EmptyExtentHintLeavesFloatFramesAsTheyWere) {
  for (PixelLayout layout : {PixelLayout::kBgraFloat, PixelLayout::kVuyaFloat}) {
    Host host = MakeHost();
    World input = reference::MakeWorld(layout, CarrotsFrame());
    World output = SentinelWorld(layout, input.Width(), input.Height());
    output.SetExtentHint({0, 10, input.Width(), 10});
    ASSERT_EQ(host.Render(input, output), PF_Err_NONE);
    World untouched = SentinelWorld(layout, input.Width(), input.Height());
    EXPECT_TRUE(output.SamePixels(untouched));
  }
}

TEST_F(PremiereRenderTest, OtherHostsGetNothingDone) {
  Host host(LoadedEffect(), Options(Application::kAfterEffects));
  World input = reference::MakeWorld(PixelLayout::kBgra8, MountainFrame());
  World output = SentinelWorld(PixelLayout::kBgra8, input.Width(), input.Height());
  EXPECT_EQ(host.Render(input, output), PF_Err_NONE);
  EXPECT_TRUE(output.SamePixels(SentinelWorld(PixelLayout::kBgra8, input.Width(), input.Height())));
  EXPECT_EQ(host.Log().Count("AcquireSuite"), 0u);
}

TEST_F(PremiereRenderTest, RefusedSuitesAbortWithTheirText) {
  for (const char* suite : {kPFPixelFormatSuite, kPFIterate8Suite}) {
    SCOPED_TRACE(suite);
    Host host = MakeHost();
    host.RefuseSuite({suite, std::nullopt});
    World input = reference::MakeWorld(PixelLayout::kBgra8, MountainFrame());
    World output = SentinelWorld(PixelLayout::kBgra8, input.Width(), input.Height());
    EXPECT_EQ(host.Render(input, output), A_Err_MISSING_SUITE);
    EXPECT_STREQ(host.OutData().return_msg, "Not able to acquire AEFX Suite.");
    EXPECT_TRUE(host.OutData().out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE);
    EXPECT_TRUE(output.SamePixels(SentinelWorld(PixelLayout::kBgra8, input.Width(), input.Height())));
    EXPECT_EQ(host.VerifyReport(), "");
  }
}

TEST_F(PremiereRenderTest, FormatsWithoutAPathGive514AndAnUntouchedOutput) {
  // VUYA 8-bit is not declared: painting RGB bands into its bytes would be wrong.
  for (PixelLayout layout : {PixelLayout::kVuya8, PixelLayout::kArgb8}) {
    Host host = MakeHost();
    World input = SentinelWorld(layout, 30, 20);
    World output = SentinelWorld(layout, 30, 20);
    output.FillBytes(0x11);
    EXPECT_EQ(host.Render(input, output), PF_Err_UNRECOGNIZED_PARAM_TYPE);
    World untouched(layout, 30, 20);
    untouched.FillBytes(0x11);
    EXPECT_TRUE(output.SamePixels(untouched));
    EXPECT_EQ(host.VerifyReport(), "");
  }
}

TEST_F(PremiereRenderTest, FormatQueryLeavingThePresetRendersAsBgra8) {
  Host host = MakeHost();
  host.SetPixelFormatQueryLeavesFormat(true);
  World input = reference::MakeWorld(PixelLayout::kBgra8, MountainFrame());
  World output = SentinelWorld(PixelLayout::kBgra8, input.Width(), input.Height());
  ASSERT_EQ(host.Render(input, output), PF_Err_NONE);
  EXPECT_EQ(CheckSwatches(input, output, reference::Analyse(input)), "");
}

TEST_F(PremiereRenderTest, InterruptedPassIsReportedAndKeepsThePalette) {
  World earlier = reference::MakeWorld(PixelLayout::kBgra8, MountainFrame());
  World output = SentinelWorld(PixelLayout::kBgra8, earlier.Width(), earlier.Height());
  ASSERT_EQ(MakeHost().Render(earlier, output), PF_Err_NONE);

  World other = reference::MakeFlatWorld(PixelLayout::kBgra8, earlier.Width(), earlier.Height(), {0.2, 0.9, 0.9});
  for (int pass : {1, 2}) {
    SCOPED_TRACE(pass);
    Host host = MakeHost();
    host.FailCall({"iterate8", pass, std::nullopt, PF_Interrupt_CANCEL});
    EXPECT_EQ(host.Render(other, output), PF_Interrupt_CANCEL);
    EXPECT_EQ(host.Log().Count("iterate8"), static_cast<size_t>(pass));
    EXPECT_EQ(host.VerifyReport(), "");
    if (pass != 1) continue;
    // The interrupted analysis did not become the palette.
    Host frozen_host = MakeHost();
    ASSERT_EQ(frozen_host.UserChangedParam(), PF_Err_NONE);
    World frozen = SentinelWorld(PixelLayout::kBgra8, earlier.Width(), earlier.Height());
    ASSERT_EQ(frozen_host.Render(other, frozen), PF_Err_NONE);
    EXPECT_EQ(CheckSwatches(other, frozen, reference::Analyse(earlier)), "");
    ASSERT_EQ(frozen_host.UserChangedParam(), PF_Err_NONE);
  }
}

TEST_F(PremiereRenderTest, SmallerOutputOrFewerRowsStaysInsideBothWorlds) {
  struct SizeCase {
    int32_t out_w, out_h;
    PF_LRect hint;
  };
  const SizeCase cases[] = {{50, 64, {0, 0, 50, 64}}, {96, 30, {0, 0, 96, 64}}, {40, 20, {0, -5, 40, 100}}};
  for (const LayoutCase& format : kFormats)
    for (const SizeCase& size : cases) {
      SCOPED_TRACE(std::string(format.name) + " " + std::to_string(size.out_w) + "x" + std::to_string(size.out_h));
      Host host = MakeHost();
      World input = reference::MakeWorld(format.layout, CarrotsFrame());  // 96 x 64
      World output = SentinelWorld(format.layout, size.out_w, size.out_h);
      output.SetExtentHint(size.hint);
      ASSERT_EQ(host.Render(input, output), PF_Err_NONE);
      EXPECT_TRUE(output.GuardDamage().empty());
      EXPECT_TRUE(input.GuardDamage().empty());
      // Outside the swatches, every visited pixel is the input's.
      EXPECT_EQ(std::memcmp(output.PixelAddress(0, 0), input.PixelAddress(0, 0), minihost::PixelBytes(format.layout)), 0);
    }
}

TEST_F(PremiereRenderTest, ConcurrentFramesEachPaintTheirOwnPalette) {
  constexpr int kFrames = 4;
  std::vector<World> inputs, outputs;
  for (int i = 0; i < kFrames; ++i) {
    const double shade = 0.15 + 0.2 * i;
    inputs.push_back(reference::MakeFlatWorld(PixelLayout::kBgra8, 64, 48, {shade, 0.5 * shade, 1.0 - shade}));
    outputs.push_back(SentinelWorld(PixelLayout::kBgra8, 64, 48));
  }
  for (int round = 0; round < 5; ++round) {
    std::vector<PF_Err> results(kFrames, -1);
    std::vector<std::thread> threads;
    for (int i = 0; i < kFrames; ++i)
      threads.emplace_back([&, i] {
        Host host(LoadedEffect(), Options(Application::kPremiere, 2));
        results[i] = host.Render(inputs[i], outputs[i]);
      });
    for (std::thread& thread : threads) thread.join();
    for (int i = 0; i < kFrames; ++i) {
      ASSERT_EQ(results[i], PF_Err_NONE);
      EXPECT_EQ(CheckSwatches(inputs[i], outputs[i], reference::Analyse(inputs[i])), "") << "frame " << i;
    }
  }
}

}  // namespace
