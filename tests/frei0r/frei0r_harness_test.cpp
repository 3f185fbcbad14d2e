// The frei0r filter driven through its C entry points as ffmpeg, MLT and
// GStreamer drive it, every frame checked byte for byte against the effect's
// own 8-bit After Effects render of the same picture (minihost playing After
// Effects), including the calls real hosts make: several instances on
// several threads, frames out of order, slices of one frame at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "frei0r_library.h"
#include "render_fixture.h"
#include "test_frames.h"

namespace {

using frei0r_test::Filter;
using render_test::Host;
using render_test::PixelLayout;
using render_test::World;

enum Param { kSwatches = 0, kGain = 1, kMeasure = 2 };

// Packed rows of RGBA8888 pixels, as the hosts hand them over.
struct RgbaImage {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;
  uint8_t* Bytes(int32_t x, int32_t y) {
    return reinterpret_cast<uint8_t*>(pixels.data() + static_cast<size_t>(y) * width + x);
  }
  const uint8_t* Bytes(int32_t x, int32_t y) const { return const_cast<RgbaImage*>(this)->Bytes(x, y); }
};

RgbaImage Blank(int32_t width, int32_t height) {
  return {width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height)};
}

// One of the test photographs resampled to any size, shifted by pan pixels:
// picture 0 is the mountain, picture 1 the carrots (scene values above 1
// clip to 255). Alpha varies, which the filter must neither read nor keep
// in a swatch.
RgbaImage Photograph(int picture, int32_t width, int32_t height, int32_t pan = 0) {
  const TestFrame& frame = picture == 0 ? MountainFrame() : CarrotsFrame();
  const double scale = picture == 0 ? 1.0 : 255.0;
  RgbaImage image = Blank(width, height);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      const auto& rgb = frame.At((x + pan) * frame.width / (width + pan) % frame.width, y * frame.height / height);
      uint8_t* pixel = image.Bytes(x, y);
      for (int c = 0; c < 3; ++c) pixel[c] = static_cast<uint8_t>(std::clamp(rgb[c] * scale, 0.0, 255.0));
      pixel[3] = static_cast<uint8_t>(255 - (x + y) % 7);
    }
  return image;
}

std::string FirstDifference(const RgbaImage& expected, const RgbaImage& actual) {
  if (expected.width != actual.width || expected.height != actual.height) return "sizes differ";
  for (int32_t y = 0; y < expected.height; ++y)
    for (int32_t x = 0; x < expected.width; ++x)
      if (std::memcmp(expected.Bytes(x, y), actual.Bytes(x, y), 4) != 0) {
        std::ostringstream text;
        const uint8_t* e = expected.Bytes(x, y);
        const uint8_t* a = actual.Bytes(x, y);
        text << "pixel (" << x << ", " << y << ") of " << expected.width << "x" << expected.height << ": expected "
             << int(e[0]) << "," << int(e[1]) << "," << int(e[2]) << "," << int(e[3]) << " got " << int(a[0]) << ","
             << int(a[1]) << "," << int(a[2]) << "," << int(a[3]);
        return text.str();
      }
  return "";
}

// The effect rendering image as After Effects renders an 8-bit layer.
RgbaImage RenderInAfterEffects(Host& host, const RgbaImage& image) {
  World input(PixelLayout::kArgb8, image.width, image.height);
  for (int32_t y = 0; y < image.height; ++y)
    for (int32_t x = 0; x < image.width; ++x) {
      const uint8_t* p = image.Bytes(x, y);
      input.At<PF_Pixel8>(x, y) = {p[3], p[0], p[1], p[2]};
    }
  input.SetExtentHint({0, 0, image.width, image.height});
  World output(PixelLayout::kArgb8, image.width, image.height);
  EXPECT_EQ(host.SmartRender(input, output), PF_Err_NONE);
  RgbaImage rendered = Blank(image.width, image.height);
  for (int32_t y = 0; y < image.height; ++y)
    for (int32_t x = 0; x < image.width; ++x) {
      const PF_Pixel8& p = output.At<PF_Pixel8>(x, y);
      const uint8_t bytes[4] = {p.red, p.green, p.blue, p.alpha};
      std::memcpy(rendered.Bytes(x, y), bytes, 4);
    }
  return rendered;
}

RgbaImage RenderInAfterEffects(const RgbaImage& image, double gain = 1.0, bool swatches = true) {
  Host host(render_test::LoadedEffect(), render_test::Options(render_test::Application::kAfterEffects));
  host.Params().gain = gain;
  host.Params().checkbox = swatches ? 1 : 0;
  return RenderInAfterEffects(host, image);
}

// One filter instance, destroyed with the object.
class Instance {
 public:
  Instance(int32_t width, int32_t height)
      : instance_(Filter().construct(static_cast<unsigned>(width), static_cast<unsigned>(height))) {}
  ~Instance() {
    if (instance_) Filter().destruct(instance_);
  }
  Instance(const Instance&) = delete;
  Instance& operator=(const Instance&) = delete;

  f0r_instance_t get() const { return instance_; }
  void Set(int index, double value) { Filter().set_param_value(instance_, &value, index); }
  double Get(int index) const {
    double value = -1.0;
    Filter().get_param_value(instance_, &value, index);
    return value;
  }
  RgbaImage Update(const RgbaImage& image) const {
    RgbaImage out = Blank(image.width, image.height);
    Filter().update(instance_, 0.0, image.pixels.data(), out.pixels.data());
    return out;
  }

 private:
  f0r_instance_t instance_;
};

class Frei0rFilterTest : public render_test::RenderTest {
 protected:
  void SetUp() override {
    try {
      Filter();
    } catch (const std::exception& error) {
      GTEST_FAIL() << error.what();
    }
    render_test::RenderTest::SetUp();
  }
};

TEST_F(Frei0rFilterTest, DescribesAnRgbaFilterWithThreeParameters) {
  f0r_plugin_info_t info{};
  Filter().get_plugin_info(&info);
  EXPECT_STREQ(info.name, "Huewright Generator");
  EXPECT_EQ(info.plugin_type, F0R_PLUGIN_TYPE_FILTER);
  EXPECT_EQ(info.color_model, F0R_COLOR_MODEL_RGBA8888);
  EXPECT_EQ(info.frei0r_version, FREI0R_MAJOR_VERSION);
  ASSERT_EQ(info.num_params, 3);

  struct Expected {
    const char* name;
    int type;
    double initial;
  };
  const Expected params[] = {{"Swatches", F0R_PARAM_BOOL, 1.0}, {"Gain", F0R_PARAM_DOUBLE, 0.5},
                             {"Measure", F0R_PARAM_BOOL, 1.0}};
  Instance instance(16, 16);
  for (int index = 0; index < 3; ++index) {
    f0r_param_info_t param{};
    Filter().get_param_info(&param, index);
    EXPECT_STREQ(param.name, params[index].name);
    EXPECT_EQ(param.type, params[index].type);
    EXPECT_EQ(instance.Get(index), params[index].initial) << params[index].name;
  }
}

// Frame sizes the hosts hand over (not only multiples of 8), gain positions
// across the slider and beyond it: every frame is the After Effects render.
TEST_F(Frei0rFilterTest, EveryFrameIsTheEightBitAfterEffectsRender) {
  struct Size {
    int32_t width, height;
  };
  struct GainCase {
    double position;  // what the host sends
    double kept;      // what the filter reports back
    double gain;      // the effect's gain slider
  };
  const Size sizes[] = {{120, 80}, {322, 241}, {37, 23}, {1, 1}, {10, 1}, {3, 200}};
  const GainCase gains[] = {{0.0, 0.0, 0.001}, {0.5, 0.5, 1.0}, {0.75, 0.75, 2.0},
                            {1.0, 1.0, 3.0},   {-4.0, 0.0, 0.001}, {9.0, 1.0, 3.0}};
  for (const Size& size : sizes)
    for (int picture : {0, 1})
      for (const GainCase& gain : gains) {
        SCOPED_TRACE(std::to_string(size.width) + "x" + std::to_string(size.height) + " picture " +
                     std::to_string(picture) + " position " + std::to_string(gain.position));
        const RgbaImage frame = Photograph(picture, size.width, size.height);
        Instance instance(size.width, size.height);
        instance.Set(kGain, gain.position);
        EXPECT_EQ(instance.Get(kGain), gain.kept);
        EXPECT_EQ(FirstDifference(RenderInAfterEffects(frame, gain.gain), instance.Update(frame)), "");
      }
}

TEST_F(Frei0rFilterTest, SwatchesOffPassesTheFrameAndUpdatingInPlaceChangesNothingElse) {
  const RgbaImage frame = Photograph(1, 64, 48);
  Instance instance(64, 48);
  instance.Set(kSwatches, 0.0);
  EXPECT_EQ(FirstDifference(frame, instance.Update(frame)), "");
  EXPECT_EQ(FirstDifference(RenderInAfterEffects(frame, 1.0, false), frame), "");

  instance.Set(kSwatches, 1.0);
  RgbaImage in_place = frame;
  Filter().update(instance.get(), 0.0, in_place.pixels.data(), in_place.pixels.data());
  EXPECT_EQ(FirstDifference(RenderInAfterEffects(frame), in_place), "");
}

// "Measure" off is the effect's analysis switch turned off: later frames
// keep the last measured palette, whatever their pictures and the gain.
TEST_F(Frei0rFilterTest, MeasureOffKeepsPaintingTheLastMeasuredPalette) {
  const RgbaImage first = Photograph(0, 96, 60);
  const RgbaImage second = Photograph(1, 96, 60);
  Host host(render_test::LoadedEffect(), render_test::Options(render_test::Application::kAfterEffects));
  Instance instance(96, 60);

  // Measured with the swatches off, then painted frozen with them on.
  host.Params().gain = 2.0;
  host.Params().checkbox = 0;
  instance.Set(kGain, 0.75);
  instance.Set(kSwatches, 0.0);
  EXPECT_EQ(FirstDifference(RenderInAfterEffects(host, first), instance.Update(first)), "");

  ASSERT_EQ(host.UserChangedParam(), PF_Err_NONE);
  host.Params().checkbox = 1;
  instance.Set(kMeasure, 0.0);
  instance.Set(kSwatches, 1.0);
  for (double position : {0.75, 1.0}) {
    host.Params().gain = position == 1.0 ? 3.0 : 2.0;
    instance.Set(kGain, position);
    EXPECT_EQ(FirstDifference(RenderInAfterEffects(host, second), instance.Update(second)), "");
  }

  ASSERT_EQ(host.UserChangedParam(), PF_Err_NONE);
  instance.Set(kMeasure, 1.0);
  EXPECT_EQ(FirstDifference(RenderInAfterEffects(host, second), instance.Update(second)), "");
}

TEST_F(Frei0rFilterTest, MeasureOffBeforeAnyFramePaintsBlackSwatches) {
  const RgbaImage frame = Photograph(0, 100, 100);
  Instance instance(100, 100);
  instance.Set(kMeasure, 0.0);
  const RgbaImage out = instance.Update(frame);
  const uint8_t black[4] = {0, 0, 0, 255};
  for (int32_t x = 10; x < 90; ++x) EXPECT_EQ(std::memcmp(out.Bytes(x, 88), black, 4), 0) << "column " << x;
  EXPECT_EQ(std::memcmp(out.Bytes(9, 88), frame.Bytes(9, 88), 4), 0);
  EXPECT_EQ(std::memcmp(out.Bytes(50, 79), frame.Bytes(50, 79), 4), 0);
}

// As melt with worker threads: one instance per thread, built and destroyed
// on threads other than the one that renders, frames in any order.
TEST_F(Frei0rFilterTest, InstancesOnSeveralThreadsEachPaintTheirOwnFrames) {
  constexpr int kThreads = 4;
  constexpr int kFrames = 6;
  std::vector<RgbaImage> frames, expected;
  for (int index = 0; index < kFrames; ++index) {
    frames.push_back(Photograph(index % 2, 90, 61, index * 17));
    expected.push_back(RenderInAfterEffects(frames.back()));
  }
  std::vector<std::unique_ptr<Instance>> instances(kThreads);
  std::vector<std::thread> builders;
  for (int t = 0; t < kThreads; ++t) builders.emplace_back([&, t] { instances[t] = std::make_unique<Instance>(90, 61); });
  for (std::thread& thread : builders) thread.join();

  std::vector<std::vector<RgbaImage>> outputs(kThreads, std::vector<RgbaImage>(kFrames));
  std::vector<std::thread> workers;
  for (int t = 0; t < kThreads; ++t)
    workers.emplace_back([&, t] {
      for (int step = 0; step < kFrames; ++step) {
        const int index = (step * 5 + t) % kFrames;  // each thread its own order
        outputs[t][index] = instances[t]->Update(frames[index]);
      }
    });
  for (std::thread& thread : workers) thread.join();
  std::thread([&] { instances.clear(); }).join();

  for (int t = 0; t < kThreads; ++t)
    for (int index = 0; index < kFrames; ++index)
      EXPECT_EQ(FirstDifference(expected[index], outputs[t][index]), "") << "thread " << t << " frame " << index;
}

// The two 120x80 halves of a 120x160 frame through one instance built for
// the slice height, on two threads at once, as melt slices a frame.
RgbaImage UpdateHalvesAtOnce(Instance& instance, const RgbaImage& frame) {
  RgbaImage out = Blank(120, 160);
  std::vector<std::thread> slices;
  for (int half = 0; half < 2; ++half)
    slices.emplace_back([&, half] {
      const size_t offset = static_cast<size_t>(half) * 120 * 80;
      Filter().update(instance.get(), 0.0, frame.pixels.data() + offset, out.pixels.data() + offset);
    });
  for (std::thread& thread : slices) thread.join();
  return out;
}

// As melt slicing a frame: one instance built for the slice height, called
// from two threads at once with the halves of a frame. Each slice is
// measured and painted as a frame of its own.
TEST_F(Frei0rFilterTest, SlicesOfOneFrameOnOneInstanceAreFramesOfTheirOwn) {
  const RgbaImage frame = Photograph(0, 120, 160);
  RgbaImage halves[2] = {Blank(120, 80), Blank(120, 80)};
  for (int half = 0; half < 2; ++half)
    std::memcpy(halves[half].pixels.data(), frame.pixels.data() + half * 120 * 80, 120 * 80 * 4);
  const RgbaImage expected[2] = {RenderInAfterEffects(halves[0]), RenderInAfterEffects(halves[1])};

  Instance instance(120, 80);
  for (int round = 0; round < 8; ++round) {
    const RgbaImage out = UpdateHalvesAtOnce(instance, frame);
    for (int half = 0; half < 2; ++half) {
      RgbaImage painted = Blank(120, 80);
      std::memcpy(painted.pixels.data(), out.pixels.data() + half * 120 * 80, 120 * 80 * 4);
      EXPECT_EQ(FirstDifference(expected[half], painted), "") << "round " << round << " half " << half;
    }
  }
}

// A slicing host with "Measure" off: every slice, on whichever thread, is
// painted with the palette of the last measured slice, as After Effects
// paints a frame with analysis off.
TEST_F(Frei0rFilterTest, MeasureOffPaintsEverySliceWithTheLastMeasuredPalette) {
  const RgbaImage measured = Photograph(1, 120, 80);
  const RgbaImage frame = Photograph(0, 120, 160, 9);
  Host host(render_test::LoadedEffect(), render_test::Options(render_test::Application::kAfterEffects));
  RenderInAfterEffects(host, measured);
  ASSERT_EQ(host.UserChangedParam(), PF_Err_NONE);  // analysis off
  RgbaImage expected = Blank(120, 160);
  for (int half = 0; half < 2; ++half) {
    RgbaImage slice = Blank(120, 80);
    std::memcpy(slice.pixels.data(), frame.pixels.data() + half * 120 * 80, 120 * 80 * 4);
    const RgbaImage painted = RenderInAfterEffects(host, slice);
    std::memcpy(expected.pixels.data() + half * 120 * 80, painted.pixels.data(), 120 * 80 * 4);
  }

  Instance instance(120, 80);
  instance.Update(measured);
  instance.Set(kMeasure, 0.0);
  for (int round = 0; round < 8; ++round) {
    const RgbaImage out = UpdateHalvesAtOnce(instance, frame);
    EXPECT_EQ(FirstDifference(expected, out), "") << "round " << round;
  }
}

TEST_F(Frei0rFilterTest, RefusesSizesItCannotAddressAndIgnoresMalformedCalls) {
  const unsigned too_large = 0x80000000u;
  for (auto [width, height] : {std::pair{0u, 10u}, {10u, 0u}, {too_large, 1u}, {1u, too_large}})
    EXPECT_EQ(Filter().construct(width, height), nullptr) << width << "x" << height;

  Instance instance(8, 8);
  ASSERT_NE(instance.get(), nullptr);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  instance.Set(kGain, nan);
  instance.Set(kMeasure, nan);
  instance.Set(3, 0.0);
  instance.Set(-1, 0.0);
  EXPECT_EQ(instance.Get(kGain), 0.5);
  EXPECT_EQ(instance.Get(kMeasure), 1.0);
  EXPECT_EQ(instance.Get(3), -1.0);  // left as the caller's

  f0r_param_info_t untouched{"none", 99, "none"};
  Filter().get_param_info(&untouched, 3);
  EXPECT_EQ(untouched.type, 99);

  RgbaImage frame = Photograph(0, 8, 8);
  RgbaImage out = Blank(8, 8);
  Filter().update(nullptr, 0.0, frame.pixels.data(), out.pixels.data());
  Filter().update(instance.get(), 0.0, nullptr, out.pixels.data());
  Filter().update(instance.get(), 0.0, frame.pixels.data(), nullptr);
  EXPECT_EQ(FirstDifference(Blank(8, 8), out), "");
}

}  // namespace
