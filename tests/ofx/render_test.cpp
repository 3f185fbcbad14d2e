// Frames rendered through the OpenFX plug-in against the same pixels
// rendered through the After Effects path: the same bytes, whatever the
// host's memory layout, window or render scale.
#include <vector>

#include "effect_fixture.h"
#include "minihost.h"
#include "render_fixture.h"
#include "ofx_fixture.h"

namespace {

using namespace ofx_test;

struct RenderCase {
  const char* name;
  Depth depth;
  const TestFrame& (*frame)();
  OfxRectI bounds;
  int source_padding;
  bool source_top_down;
  int output_padding;
  bool output_top_down;
  OfxRectI window;  // {0, 0, 0, 0}: the whole frame
  double scale;
  Settings settings;
};

const RenderCase kCases[] = {
    {"byte, bottom-up, packed", Depth::kByte, MountainFrame, {0, 0, 120, 80}, 0, false, 0, false, {}, 1.0, {}},
    {"byte, top-down, padded, offset", Depth::kByte, MountainFrame, {10, 20, 130, 100}, 16, true, 4, false, {},
     1.0, {true, 3.0, true}},
    {"byte, window inside the frame", Depth::kByte, MountainFrame, {0, 0, 120, 80}, 8, false, 0, true,
     {13, 5, 90, 70}, 1.0, {true, 0.5, true}},
    {"byte, half scale", Depth::kByte, MountainFrame, {0, 0, 60, 40}, 0, false, 0, false, {}, 0.5, {}},
    {"byte, swatches off", Depth::kByte, MountainFrame, {0, 0, 120, 80}, 0, true, 0, false, {}, 1.0,
     {false, 1.0, true}},
    {"float, bottom-up", Depth::kFloat, CarrotsFrame, {0, 0, 96, 64}, 0, false, 0, false, {}, 1.0, {}},
    {"float, top-down, padded, offset", Depth::kFloat, CarrotsFrame, {-5, 7, 91, 71}, 32, true, 16, true, {}, 1.0,
     {true, 3.0, true}},
    {"float from 8-bit, window of the strip's rows", Depth::kFloat, MountainFrame, {0, 0, 120, 80}, 0, false, 0,
     false, {0, 2, 120, 20}, 1.0, {true, 0.001, true}},
    {"float, half scale, window", Depth::kFloat, CarrotsFrame, {0, 0, 48, 32}, 0, false, 0, false, {3, 1, 40, 9},
     0.5, {}},
};

OfxRectI WindowOf(const RenderCase& c) {
  const OfxRectI& w = c.window;
  return (w.x1 | w.y1 | w.x2 | w.y2) == 0 ? c.bounds : w;
}

TEST(OfxRender, EqualsTheAfterEffectsRenderOfTheSamePixels) {
  auto host = DescribedHost();
  for (const RenderCase& c : kCases) {
    SCOPED_TRACE(c.name);
    auto instance = CreatedInstance(*host, c.settings);
    auto source = SourceImage(c.frame(), {c.bounds, c.depth, c.source_padding, c.source_top_down});
    auto output = OutputImage({c.bounds, c.depth, c.output_padding, c.output_top_down});
    ASSERT_EQ(RenderOnce(*instance, source, *output, WindowOf(c), 0.0, c.scale), kOfxStatOK);
    EXPECT_EQ(CompareWithAfterEffects(*output, WindowOf(c), *source, AfterEffectsRender(*source, c.settings)), "");
    EXPECT_EQ(instance->OutstandingImages(), 0);
  }
  EXPECT_EQ(ofx_host::TakeFaults(), std::vector<std::string>{});
}

// With "Measure" off an instance paints the palette it measured last, as
// After Effects paints a frozen palette: frame B with frame A's swatches.
TEST(OfxRender, MeasureOffPaintsTheInstancesLastPalette) {
  for (Depth depth : {Depth::kByte, Depth::kFloat}) {
    SCOPED_TRACE(ofx_host::DepthName(depth));
    const ImageShape shape{{0, 0, 96, 64}, depth};
    auto frame_a = SourceImage(MountainFrame(), shape);
    auto frame_b = SourceImage(CarrotsFrame(), shape);
    auto host = DescribedHost();
    auto measuring = CreatedInstance(*host);
    auto other = CreatedInstance(*host);
    auto scratch = OutputImage(shape);
    ASSERT_EQ(RenderOnce(*measuring, frame_a, *scratch, shape.bounds, 1.0), kOfxStatOK);
    // Another instance's measurement stays its own.
    ASSERT_EQ(RenderOnce(*other, frame_b, *scratch, shape.bounds, 1.0), kOfxStatOK);
    measuring->SetBoolean("measure", false);
    measuring->SetDouble("gain", 3.0);  // a frozen palette keeps its gain
    auto output = OutputImage(shape);
    ASSERT_EQ(RenderOnce(*measuring, frame_b, *output, shape.bounds, 2.0), kOfxStatOK);

    render_test::EnsureAnalysisOn(conformance::Effect());
    minihost::Host after_effects(conformance::Effect());
    minihost::World input_a = AfterEffectsWorld(*frame_a), input_b = AfterEffectsWorld(*frame_b);
    minihost::World expected(input_a.Layout(), input_a.Width(), input_a.Height());
    ASSERT_EQ(after_effects.SmartRender(input_a, expected), PF_Err_NONE);
    ASSERT_EQ(after_effects.UserChangedParam(), PF_Err_NONE);  // freezes the palette
    ASSERT_EQ(after_effects.SmartRender(input_b, expected), PF_Err_NONE);
    ASSERT_EQ(after_effects.UserChangedParam(), PF_Err_NONE);
    EXPECT_EQ(CompareWithAfterEffects(*output, shape.bounds, *frame_b, expected), "");
  }
}

// An instance that has measured nothing paints black, opaque swatches.
TEST(OfxRender, MeasureOffBeforeAnyMeasurementPaintsBlack) {
  const ImageShape shape{{0, 0, 100, 100}, Depth::kByte};
  auto host = DescribedHost();
  auto instance = CreatedInstance(*host, {true, 1.0, false});
  auto output = OutputImage(shape);
  ASSERT_EQ(RenderOnce(*instance, SourceImage(MountainFrame(), shape), *output, shape.bounds), kOfxStatOK);
  // Cell 2 spans x 42..57, rows 80..95 from the top: y 4..19.
  for (int c = 0; c < 4; ++c) EXPECT_EQ(output->Channel(50, 10, c), c == 3 ? 255.0 : 0.0);
}

// Frames arrive in any order; each measured frame paints its own palette.
TEST(OfxRender, FramesOutOfOrderEachPaintTheirOwn) {
  const ImageShape shape{{0, 0, 96, 64}, Depth::kFloat};
  const std::shared_ptr<HostImage> frames[] = {SourceImage(MountainFrame(), shape),
                                               SourceImage(CarrotsFrame(), shape),
                                               SourceImage(MountainFrame(), {{0, 0, 96, 64}, Depth::kFloat, 0, true})};
  auto host = DescribedHost();
  auto instance = CreatedInstance(*host);
  for (int time : {2, 0, 1}) instance->SetSourceFrame(time, frames[time]);
  for (int time : {2, 0, 1}) {
    auto output = OutputImage(shape);
    ASSERT_EQ(instance->Render(time, shape.bounds, 1.0, *output), kOfxStatOK);
    EXPECT_EQ(CompareWithAfterEffects(*output, shape.bounds, *frames[time], AfterEffectsRender(*frames[time], {})),
              "")
        << "time " << time;
  }
}

}  // namespace
