// Shared by the OpenFX tests: the bundle named by HUEWRIGHT_OFX_BUNDLE,
// loaded once per process; hosts described and instances created the way a
// real host makes them; source frames in any memory layout; and the same
// pixels rendered through the After Effects path (the effect library named
// by HUEWRIGHT_EFFECT, in minihost) to compare with.
#ifndef HUEWRIGHT_TESTS_OFX_OFX_FIXTURE_H
#define HUEWRIGHT_TESTS_OFX_OFX_FIXTURE_H

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "minihost.h"
#include "plugin_binary.h"
#include "test_frames.h"
#include "test_host.h"

namespace ofx_test {

using ofx_host::Depth;
using ofx_host::HostImage;
using ofx_host::ImageShape;

const ofx_host::PluginBinary& Bundle();
OfxPlugin& Plugin();

// A host that has loaded and described the plug-in in both contexts.
std::unique_ptr<ofx_host::Host> DescribedHost(ofx_host::HostOptions options = {});
// A created filter instance with its parameters set.
struct Settings {
  bool swatches = true;
  double gain = 1.0;
  bool measure = true;
};
std::unique_ptr<ofx_host::Instance> CreatedInstance(ofx_host::Host& host, const Settings& settings = {});

// A test frame as an OpenFX image of shape (its bounds' size is the
// frame's): byte and short frames hold the 8-bit frame's values scaled to
// their range, float frames the values as they are (the 8-bit frame over
// 255). Alpha varies from pixel to pixel so that copies show it.
std::shared_ptr<HostImage> SourceImage(const TestFrame& frame, const ImageShape& shape);
// An output image of shape, every byte kSentinel.
constexpr uint8_t kSentinel = 0x5A;
std::shared_ptr<HostImage> OutputImage(const ImageShape& shape);

// Renders source (placed at time 0) into output over window.
OfxStatus RenderOnce(ofx_host::Instance& instance, const std::shared_ptr<HostImage>& source, HostImage& output,
                     const OfxRectI& window, double time = 0.0, double scale = 1.0);

// The same picture as an After Effects frame (ARGB, top row first).
minihost::World AfterEffectsWorld(const HostImage& image);
// source rendered by the effect library as After Effects renders it, with
// analysis on.
minihost::World AfterEffectsRender(const HostImage& source, const Settings& settings);
// Empty when output's window holds exactly the bytes of after_effects (the
// same picture rows) over the picture and transparent black beside it, and
// every output pixel outside the window still holds kSentinel; otherwise the
// first difference.
std::string CompareWithAfterEffects(const HostImage& output, const OfxRectI& window, const HostImage& source,
                                    const minihost::World& after_effects);

}  // namespace ofx_test

#endif
