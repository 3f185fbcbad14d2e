// Frames rendered through the OpenFX plug-in against the same pixels
// rendered through the After Effects path: the same bytes, whatever the
// host's memory layout, window or render scale.
#include <algorithm>
#include <array>
#include <cmath>
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

// The measuring pass writes the rows it copies as it reads them. Whatever
// that takes on (transparent black beside a narrower picture, frames large
// enough to stream their copies, a host rendering in place, one thread or
// several), the frame ends as After Effects renders it.
struct CopiedRowsCase {
  const char* name;
  Depth depth;
  OfxRectI picture;
  OfxRectI output;  // also the render window
  bool in_place;    // the output image is the source's memory
};

const CopiedRowsCase kCopiedRowsCases[] = {
    {"byte, picture inside a wider and taller window", Depth::kByte, {10, 5, 110, 75}, {0, 0, 120, 80}, false},
    {"byte, 16 MB", Depth::kByte, {0, 0, 2048, 2048}, {0, 0, 2048, 2048}, false},
    {"float, 16 MB", Depth::kFloat, {0, 0, 1024, 1024}, {0, 0, 1024, 1024}, false},
    {"float, in place", Depth::kFloat, {0, 0, 96, 64}, {0, 0, 96, 64}, true},
};

TEST(OfxRender, RowsCopiedWhileMeasuringEqualTheAfterEffectsRender) {
  for (const CopiedRowsCase& c : kCopiedRowsCases) {
    SCOPED_TRACE(c.name);
    const auto source = SourceImage(MountainFrame(), {c.picture, c.depth});
    const minihost::World expected = AfterEffectsRender(*source, {});
    for (unsigned cpus : {1u, 2u, 3u}) {
      SCOPED_TRACE(cpus);
      ofx_host::HostOptions options;
      options.cpus = cpus;
      auto host = DescribedHost(options);
      auto instance = CreatedInstance(*host);
      if (!c.in_place) {
        auto output = OutputImage({c.output, c.depth});
        ASSERT_EQ(RenderOnce(*instance, source, *output, c.output), kOfxStatOK);
        EXPECT_EQ(CompareWithAfterEffects(*output, c.output, *source, expected), "");
        continue;
      }
      auto frame = SourceImage(MountainFrame(), {c.picture, c.depth});
      HostImage output({c.output, c.depth});
      output.Properties().DefinePointer(kOfxImagePropData, frame->Data());
      ASSERT_EQ(RenderOnce(*instance, frame, output, c.output), kOfxStatOK);
      EXPECT_EQ(CompareWithAfterEffects(*frame, c.output, *source, expected), "");
    }
  }
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

namespace {

// The full-range 16-bit rule, written out: brightness (R + G + B) x 0.333 x
// (1 / 65535) in bands split at 0.2, 0.4, 0.6, 0.8; each band's average
// times the gain, limited to 0..65535 and truncated; alpha 65535.
std::array<std::array<double, 3>, 5> SixteenBitModel(const HostImage& image, double gain) {
  std::array<std::array<double, 3>, 5> sums{};
  std::array<double, 5> counts{};
  const OfxRectI& b = image.Shape().bounds;
  for (int y = b.y1; y < b.y2; ++y)
    for (int x = b.x1; x < b.x2; ++x) {
      const double r = image.Channel(x, y, 0), g = image.Channel(x, y, 1), bl = image.Channel(x, y, 2);
      const double brightness = ((r + g + bl) * 0.333) * (1.0 / 65535.0);
      const int band = brightness < 0.2 ? 0 : brightness < 0.4 ? 1 : brightness < 0.6 ? 2 : brightness < 0.8 ? 3 : 4;
      sums[band] = {sums[band][0] + r, sums[band][1] + g, sums[band][2] + bl};
      counts[band] += 1.0;
    }
  for (int band = 0; band < 5; ++band)
    for (double& value : sums[band]) {
      value = counts[band] > 0 ? value / counts[band] * gain : 0.0;
      value = std::trunc(std::clamp(value, 0.0, 65535.0));
    }
  return sums;
}

TEST(OfxRender, ShortFramesPaintTheFullRangeModel) {
  const ImageShape shape{{0, 0, 120, 80}, Depth::kShort, 8, true};
  auto source = SourceImage(MountainFrame(), shape);
  // Low bits the 8-bit frame lacks, so that sums are not multiples of 257.
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 120; ++x) source->SetChannel(x, y, 1, std::max(0.0, source->Channel(x, y, 1) - (x * y) % 200));
  auto host = DescribedHost();
  for (double gain : {1.0, 3.0, 0.5}) {
    SCOPED_TRACE(gain);
    auto instance = CreatedInstance(*host, {true, gain, true});
    auto output = OutputImage(shape);
    ASSERT_EQ(RenderOnce(*instance, source, *output, shape.bounds), kOfxStatOK);
    const auto model = SixteenBitModel(*source, gain);
    const double edges[] = {0.1, 0.26, 0.42, 0.58, 0.74, 0.9};
    for (int band = 0; band < 5; ++band) {
      const int x = static_cast<int>((edges[band] + edges[band + 1]) / 2 * 120);
      const int y = 79 - static_cast<int>(0.875 * 80);  // row 70 from the top
      for (int c = 0; c < 3; ++c) EXPECT_EQ(output->Channel(x, y, c), model[band][c]) << "band " << band;
      EXPECT_EQ(output->Channel(x, y, 3), 65535.0);
    }
    EXPECT_EQ(output->Channel(5, 5, 1), source->Channel(5, 5, 1)) << "outside the strip the source stays";
  }
}

}  // namespace
