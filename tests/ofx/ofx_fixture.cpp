#include "ofx_fixture.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "effect_fixture.h"
#include "render_fixture.h"

namespace ofx_test {

const ofx_host::PluginBinary& Bundle() {
  static const ofx_host::PluginBinary* bundle = [] {
    const char* path = std::getenv("HUEWRIGHT_OFX_BUNDLE");
    if (!path || !*path) throw ofx_host::LoadError("HUEWRIGHT_OFX_BUNDLE is not set: it must name the bundle");
    return new ofx_host::PluginBinary(path);
  }();
  return *bundle;
}

OfxPlugin& Plugin() {
  OfxPlugin* plugin = Bundle().Plugin(0);
  if (!plugin) throw ofx_host::LoadError(Bundle().Path() + ": OfxGetPlugin(0) is null");
  return *plugin;
}

std::unique_ptr<ofx_host::Host> DescribedHost(ofx_host::HostOptions options) {
  auto host = std::make_unique<ofx_host::Host>(Plugin(), options);
  EXPECT_EQ(host->Load(), kOfxStatOK);
  EXPECT_EQ(host->Describe(), kOfxStatOK);
  for (const char* context : {kOfxImageEffectContextFilter, kOfxImageEffectContextGeneral})
    EXPECT_EQ(host->DescribeInContext(context), kOfxStatOK);
  return host;
}

std::unique_ptr<ofx_host::Instance> CreatedInstance(ofx_host::Host& host, const Settings& settings) {
  auto instance = host.NewInstance(kOfxImageEffectContextFilter);
  instance->SetBoolean("swatches", settings.swatches);
  instance->SetDouble("gain", settings.gain);
  instance->SetBoolean("measure", settings.measure);
  EXPECT_EQ(instance->Create(), kOfxStatOK);
  return instance;
}

std::shared_ptr<HostImage> SourceImage(const TestFrame& frame, const ImageShape& shape) {
  auto image = std::make_shared<HostImage>(shape);
  const double full = shape.depth == Depth::kByte ? 1.0 : shape.depth == Depth::kShort ? 257.0 : 1.0;
  const bool eight_bit = &frame == &MountainFrame();
  for (int row = 0; row < image->Height(); ++row)
    for (int column = 0; column < image->Width(); ++column) {
      const auto& rgb = frame.At(column % frame.width, row % frame.height);
      const int x = shape.bounds.x1 + column, y = shape.bounds.y2 - 1 - row;
      for (int c = 0; c < 3; ++c) {
        double value = rgb[c];
        if (shape.depth == Depth::kFloat && eight_bit) value /= 255.0;
        if (shape.depth != Depth::kFloat && !eight_bit) value = std::clamp(value * 255.0, 0.0, 255.0);
        image->SetChannel(x, y, c, shape.depth == Depth::kFloat ? value : std::floor(value) * full);
      }
      const int alpha = (column * 7 + row * 3) % 256;
      image->SetChannel(x, y, 3, shape.depth == Depth::kFloat ? alpha / 255.0 : alpha * full);
    }
  return image;
}

std::shared_ptr<HostImage> OutputImage(const ImageShape& shape) {
  auto image = std::make_shared<HostImage>(shape);
  image->FillBytes(kSentinel);
  return image;
}

OfxStatus RenderOnce(ofx_host::Instance& instance, const std::shared_ptr<HostImage>& source, HostImage& output,
                     const OfxRectI& window, double time, double scale) {
  instance.SetSourceFrame(time, source, scale);
  return instance.Render(time, window, scale, output);
}

minihost::World AfterEffectsWorld(const HostImage& image) {
  const bool is_float = image.Shape().depth == Depth::kFloat;
  minihost::World world(is_float ? minihost::PixelLayout::kArgbFloat : minihost::PixelLayout::kArgb8, image.Width(),
                        image.Height());
  const OfxRectI& bounds = image.Shape().bounds;
  for (int row = 0; row < image.Height(); ++row)
    for (int column = 0; column < image.Width(); ++column) {
      const unsigned char* rgba = image.PixelAddress(bounds.x1 + column, bounds.y2 - 1 - row);
      unsigned char* argb = world.PixelAddress(column, row);
      const std::size_t channel = image.PixelBytes() / 4;
      std::memcpy(argb, rgba + 3 * channel, channel);
      std::memcpy(argb + channel, rgba, 3 * channel);
    }
  return world;
}

minihost::World AfterEffectsRender(const HostImage& source, const Settings& settings) {
  render_test::EnsureAnalysisOn(conformance::Effect());
  minihost::Host host(conformance::Effect());
  host.Params().checkbox = settings.swatches ? 1 : 0;
  host.Params().gain = settings.gain;
  minihost::World input = AfterEffectsWorld(source);
  minihost::World output(input.Layout(), input.Width(), input.Height());
  EXPECT_EQ(host.SmartRender(input, output), PF_Err_NONE);
  return output;
}

std::string CompareWithAfterEffects(const HostImage& output, const OfxRectI& window, const HostImage& source,
                                    const minihost::World& after_effects) {
  const OfxRectI& bounds = output.Shape().bounds;
  const OfxRectI& picture = source.Shape().bounds;
  const std::size_t channel = output.PixelBytes() / 4;
  const std::vector<unsigned char> transparent_black(output.PixelBytes(), 0);
  auto where = [](int x, int y) { return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ")"; };
  for (int y = bounds.y1; y < bounds.y2; ++y)
    for (int x = bounds.x1; x < bounds.x2; ++x) {
      const unsigned char* rgba = output.PixelAddress(x, y);
      if (x < window.x1 || x >= window.x2 || y < window.y1 || y >= window.y2) {
        for (std::size_t b = 0; b < output.PixelBytes(); ++b)
          if (rgba[b] != kSentinel) return where(x, y) + " outside the render window was written";
        continue;
      }
      if (x < picture.x1 || x >= picture.x2 || y < picture.y1 || y >= picture.y2) {
        if (std::memcmp(rgba, transparent_black.data(), transparent_black.size()) != 0)
          return where(x, y) + " beside the picture is not transparent black";
        continue;
      }
      const unsigned char* argb = after_effects.PixelAddress(x - picture.x1, picture.y2 - 1 - y);
      if (std::memcmp(rgba, argb + channel, 3 * channel) != 0 || std::memcmp(rgba + 3 * channel, argb, channel) != 0)
        return where(x, y) + " differs from the After Effects render";
    }
  for (const std::string& damage : output.GuardDamage()) return "output image " + damage;
  return "";
}

}  // namespace ofx_test
