// Every pixel format of both hosts rendered on several threads at once, with
// passes spread over several iteration threads: each frame paints its own
// palette, the bytes do not depend on the thread count or on renders running
// beside it, and toggles of the analysis switch meanwhile are never lost.
// Frames stay small: the ThreadSanitizer tree runs these too.
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "render_fixture.h"

namespace {

using namespace render_test;
using reference::CheckSwatches;
using reference::Palette;

struct FormatCase {
  const char* name;
  Application application;
  PixelLayout layout;
  // The iteration of the analysis pass (the render's first), or null where
  // the effect walks the frame itself.
  const char* analysis_iteration;
};

const FormatCase kEveryFormat[] = {
    {"After Effects 8-bit", Application::kAfterEffects, PixelLayout::kArgb8, "iterate8"},
    {"After Effects 16-bit", Application::kAfterEffects, PixelLayout::kArgb16, "iterate16"},
    {"After Effects float", Application::kAfterEffects, PixelLayout::kArgbFloat, "iterateFloat"},
    {"Premiere BGRA 8-bit", Application::kPremiere, PixelLayout::kBgra8, "iterate8"},
    {"Premiere BGRA float", Application::kPremiere, PixelLayout::kBgraFloat, nullptr},
    {"Premiere VUYA float", Application::kPremiere, PixelLayout::kVuyaFloat, nullptr},
};

constexpr int32_t kWindowWidth = 40;
constexpr int32_t kWindowHeight = 30;

// A part of the float photograph, a different part for every index, so
// that every frame has band averages of its own.
World PhotoWindow(PixelLayout layout, int index) {
  const TestFrame& photo = CarrotsFrame();
  TestFrame window;
  window.width = kWindowWidth;
  window.height = kWindowHeight;
  const int32_t left = (index * 13) % (photo.width - kWindowWidth);
  const int32_t top = (index * 7) % (photo.height - kWindowHeight);
  for (int32_t y = 0; y < kWindowHeight; ++y)
    for (int32_t x = 0; x < kWindowWidth; ++x) window.rgb.push_back(photo.At(left + x, top + y));
  return reference::MakeWorld(layout, window);
}

// The output world of a render: Premiere paints only rows of its extent
// hint; a sentinel shows any pixel left unwritten.
World OutputFor(const World& input) {
  World output(input.Layout(), input.Width(), input.Height());
  output.FillBytes(0x3C);
  output.SetExtentHint({0, 0, input.Width(), input.Height()});
  return output;
}

double GainOf(int index) { return 1.0 + 0.5 * index; }

// Renders input into output in host, with the gain of index (read only by
// After Effects).
PF_Err RenderFrame(const FormatCase& format, Host& host, int index, World& input, World& output) {
  host.Params().gain = GainOf(index);
  return format.application == Application::kAfterEffects ? host.SmartRender(input, output)
                                                          : host.Render(input, output);
}

// The palette frame index must paint when it was analysed.
Palette OwnPalette(const FormatCase& format, const World& input, int index) {
  const Palette plain = reference::Analyse(input);
  return format.application == Application::kAfterEffects ? reference::Scaled(plain, GainOf(index)) : plain;
}

// Runs render(i) for i = 0..count-1 on threads of their own, all at once.
void RunTogether(int count, const std::function<void(int)>& render) {
  std::vector<std::thread> threads;
  for (int i = 0; i < count; ++i) threads.emplace_back(render, i);
  for (std::thread& thread : threads) thread.join();
}

class ConcurrentRenderTest : public RenderTest {};

TEST_F(ConcurrentRenderTest, FramesOfEveryFormatRenderedAtOnceEachPaintTheirOwnPalette) {
  constexpr int kFrames = 3;
  for (const FormatCase& format : kEveryFormat)
    for (int threads = 1; threads <= 3; ++threads) {
      SCOPED_TRACE(std::string(format.name) + ", " + std::to_string(threads) + " iteration threads");
      std::vector<World> inputs, outputs;
      for (int i = 0; i < kFrames; ++i) {
        inputs.push_back(PhotoWindow(format.layout, i));
        outputs.push_back(OutputFor(inputs.back()));
      }
      for (int round = 0; round < 2; ++round) {
        std::vector<PF_Err> results(kFrames, -1);
        RunTogether(kFrames, [&](int i) {
          Host host(LoadedEffect(), Options(format.application, threads));
          results[i] = RenderFrame(format, host, i, inputs[i], outputs[i]);
        });
        for (int i = 0; i < kFrames; ++i) {
          ASSERT_EQ(results[i], PF_Err_NONE);
          EXPECT_EQ(CheckSwatches(inputs[i], outputs[i], OwnPalette(format, inputs[i], i)), "") << "frame " << i;
        }
      }
    }
}

// RGB and YUV frames of both hosts side by side: one frame's resets and
// merges never reach into another's, whatever model each publishes into.
TEST_F(ConcurrentRenderTest, EveryFormatAtOnceEachPaintsItsOwnPalette) {
  constexpr int kFormats = static_cast<int>(std::size(kEveryFormat));
  std::vector<World> inputs, outputs;
  for (int i = 0; i < kFormats; ++i) {
    inputs.push_back(PhotoWindow(kEveryFormat[i].layout, i));
    outputs.push_back(OutputFor(inputs.back()));
  }
  for (int round = 0; round < 4; ++round) {
    std::vector<PF_Err> results(kFormats, -1);
    RunTogether(kFormats, [&](int i) {
      Host host(LoadedEffect(), Options(kEveryFormat[i].application, 2));
      results[i] = RenderFrame(kEveryFormat[i], host, i, inputs[i], outputs[i]);
    });
    for (int i = 0; i < kFormats; ++i) {
      SCOPED_TRACE(kEveryFormat[i].name);
      ASSERT_EQ(results[i], PF_Err_NONE);
      EXPECT_EQ(CheckSwatches(inputs[i], outputs[i], OwnPalette(kEveryFormat[i], inputs[i], i)), "");
    }
  }
}

// The whole photograph holds float values whose sums round: only one fixed
// order of additions gives the same bytes every time.
TEST_F(ConcurrentRenderTest, SameBytesOnAnyThreadCountAndBesideOtherRenders) {
  for (const FormatCase& format : kEveryFormat) {
    SCOPED_TRACE(format.name);
    World input = reference::MakeWorld(format.layout, CarrotsFrame());
    World alone = OutputFor(input);
    Host one(LoadedEffect(), Options(format.application, 1));
    ASSERT_EQ(RenderFrame(format, one, 0, input, alone), PF_Err_NONE);
    EXPECT_EQ(CheckSwatches(input, alone, OwnPalette(format, input, 0)), "");
    for (int threads : {2, 3, 8}) {
      World spread = OutputFor(input);
      Host host(LoadedEffect(), Options(format.application, threads));
      ASSERT_EQ(RenderFrame(format, host, 0, input, spread), PF_Err_NONE);
      EXPECT_TRUE(spread.SamePixels(alone)) << threads << " iteration threads";
    }
    // The photograph again, beside two other frames of the same format.
    std::vector<World> inputs, outputs;
    inputs.push_back(reference::MakeWorld(format.layout, CarrotsFrame()));
    for (int i = 1; i < 3; ++i) inputs.push_back(PhotoWindow(format.layout, i));
    for (const World& frame : inputs) outputs.push_back(OutputFor(frame));
    RunTogether(3, [&](int i) {
      Host host(LoadedEffect(), Options(format.application, 2));
      RenderFrame(format, host, i, inputs[i], outputs[i]);
    });
    EXPECT_TRUE(outputs[0].SamePixels(alone)) << "beside other renders";
  }
}

// Hosts that cut rows into pieces for several threads (each row in 2 to 4
// column ranges), beside each other: every frame still paints its own
// palette in the bytes of a host that keeps rows whole. When the pieces'
// additions were lost (what pieces of one row racing leave), the effect
// sees rows counted short and measures the frame again on its own thread,
// asking the host's abort check once a row: that is how this test sees it.
TEST_F(ConcurrentRenderTest, HostsThatSplitRowsStillPaintEachFramesOwnPalette) {
  constexpr int kFrames = 3;
  for (const FormatCase& format : kEveryFormat)
    for (const bool lost : {false, true}) {
      SCOPED_TRACE(std::string(format.name) + (lost ? ", additions lost" : ", nothing lost"));
      std::vector<World> inputs, whole, split;
      for (int i = 0; i < kFrames; ++i) {
        inputs.push_back(PhotoWindow(format.layout, i));
        whole.push_back(OutputFor(inputs.back()));
        split.push_back(OutputFor(inputs.back()));
        Host host(LoadedEffect(), Options(format.application, 2));
        ASSERT_EQ(RenderFrame(format, host, i, inputs[i], whole[i]), PF_Err_NONE);
      }
      std::vector<PF_Err> results(kFrames, -1);
      std::vector<std::size_t> abort_checks(kFrames);
      RunTogether(kFrames, [&](int i) {
        HostOptions options = Options(format.application, 2 + i);
        options.iterate_split = minihost::IterationSplit::kRowPieces;
        Host host(LoadedEffect(), options);
        if (lost && format.analysis_iteration) host.LosePieceStarts({format.analysis_iteration, 1});
        results[i] = RenderFrame(format, host, i, inputs[i], split[i]);
        abort_checks[i] = host.Log().Count("abort");
      });
      const std::size_t measured_again_rows = lost && format.analysis_iteration ? kWindowHeight : 0;
      for (int i = 0; i < kFrames; ++i) {
        ASSERT_EQ(results[i], PF_Err_NONE) << "frame " << i;
        EXPECT_EQ(CheckSwatches(inputs[i], split[i], OwnPalette(format, inputs[i], i)), "") << "frame " << i;
        EXPECT_TRUE(split[i].SamePixels(whole[i])) << "frame " << i;
        EXPECT_EQ(abort_checks[i], measured_again_rows) << "frame " << i;
      }
    }
}

// While renders run, another thread flips the analysis switch an even
// number of times. A frame paints one whole palette of one frame (its own
// when it was analysed, else the last analysed one), never a mix; and the
// switch ends as it began.
TEST_F(ConcurrentRenderTest, RendersBesideTheToggleLoseNoToggleAndNeverMixPalettes) {
  constexpr int kFrames = 3;
  constexpr int kToggles = 40;
  for (const FormatCase& format : kEveryFormat) {
    SCOPED_TRACE(format.name);
    std::vector<World> inputs;
    std::vector<Palette> palettes;
    for (int i = 0; i < kFrames; ++i) {
      inputs.push_back(PhotoWindow(format.layout, i));
      palettes.push_back(OwnPalette(format, inputs.back(), i));
    }
    // The palette left before the toggling starts is frame 0's.
    World first = OutputFor(inputs[0]);
    Host warm_up(LoadedEffect(), Options(format.application, 1));
    ASSERT_EQ(RenderFrame(format, warm_up, 0, inputs[0], first), PF_Err_NONE);

    std::vector<std::vector<World>> outputs(kFrames);
    std::atomic<int> renders_running{kFrames};
    RunTogether(kFrames + 1, [&](int i) {
      if (i == kFrames) {
        // Toggles while renders run, then the rest after they finished.
        Host host(LoadedEffect(), Options(format.application, 1));
        int toggles = 0;
        while (toggles < kToggles && renders_running.load() > 0) toggles += host.UserChangedParam() == PF_Err_NONE;
        while (toggles < kToggles) toggles += host.UserChangedParam() == PF_Err_NONE;
        return;
      }
      Host host(LoadedEffect(), Options(format.application, 2));
      for (int round = 0; round < 4; ++round) {
        outputs[i].push_back(OutputFor(inputs[i]));
        RenderFrame(format, host, i, inputs[i], outputs[i].back());
      }
      renders_running.fetch_sub(1);
    });
    EXPECT_TRUE(AnalysisIsOn(LoadedEffect())) << "a toggle was lost";
    for (int i = 0; i < kFrames; ++i)
      for (const World& output : outputs[i]) {
        bool one_palette = false;
        for (const Palette& palette : palettes) one_palette |= CheckSwatches(inputs[i], output, palette).empty();
        EXPECT_TRUE(one_palette) << "frame " << i << " painted no single frame's palette";
      }
  }
}

}  // namespace
