// The render action: images fetched and released, read and checked, and
// handed with the parameters to RenderFrame.
#include <cstring>
#include <string>

#include "actions.h"
#include "host_suites.h"
#include "host_threads.h"
#include "image_rows.h"
#include "instance.h"
#include "ofx_error.h"
#include "properties.h"

namespace huewright_ofx {

namespace {

// An image fetched from a clip, released when the render leaves by any path.
class ClipImage {
 public:
  // A clip with no image at that time (the host answers kOfxStatFailed)
  // leaves handle() null.
  ClipImage(OfxImageClipHandle clip, OfxTime time) {
    const OfxStatus status = Suites().image_effect->clipGetImage(clip, time, nullptr, &image_);
    if (status == kOfxStatFailed) {
      image_ = nullptr;
      return;
    }
    Check(status, "fetching an image");
    if (!image_) throw OfxError(kOfxStatFailed, "the host gave a null image");
  }
  ~ClipImage() {
    if (image_) Suites().image_effect->clipReleaseImage(image_);
  }
  ClipImage(const ClipImage&) = delete;
  ClipImage& operator=(const ClipImage&) = delete;

  OfxPropertySetHandle handle() const { return image_; }

 private:
  OfxPropertySetHandle image_ = nullptr;
};

bool Contains(const OfxRectI& outer, const OfxRectI& inner) {
  return inner.x1 >= outer.x1 && inner.y1 >= outer.y1 && inner.x2 <= outer.x2 && inner.y2 <= outer.y2;
}

void CheckWindow(const OfxRectI& window, const ImageRows& output) {
  if (window.x1 > window.x2 || window.y1 > window.y2)
    throw OfxError(kOfxStatErrValue, "the render window is reversed");
  if (!Contains(output.bounds, window))
    throw OfxError(kOfxStatErrValue, "the render window reaches outside the output image");
}

// No source image: nothing to measure, and the window transparent black.
void ClearWindow(const ImageRows& output, const OfxRectI& window) {
  if (window.x1 == window.x2) return;
  const std::size_t bytes = static_cast<std::size_t>(int64_t{window.x2} - window.x1) * PixelBytes(output.depth);
  for (int32_t y = window.y1; y < window.y2; ++y) {
    unsigned char* row = output.origin + (int64_t{y} - output.bounds.y1) * output.rowbytes +
                         (int64_t{window.x1} - output.bounds.x1) * static_cast<int64_t>(PixelBytes(output.depth));
    std::memset(row, 0, bytes);
  }
}

}  // namespace

OfxStatus Render(OfxImageEffectHandle effect, OfxPropertySetHandle in_args) {
  Instance& instance = InstanceOf(effect);
  const HostSuites& suites = Suites();
  const Properties args(*suites.property, in_args);
  const OfxTime time = args.Double(kOfxPropTime);
  const OfxRectI window = args.RectI(kOfxImageEffectPropRenderWindow);
  const FrameSettings settings = SettingsAt(instance, time);

  const ClipImage output_image(instance.output, time);
  if (!output_image.handle()) throw OfxError(kOfxStatFailed, "the host gave no output image");
  const ImageRows output = ReadImageRows(Properties(*suites.property, output_image.handle()));
  CheckWindow(window, output);

  const ClipImage source_image(instance.source, time);
  if (!source_image.handle()) {
    ClearWindow(output, window);
    return kOfxStatOK;
  }
  const ImageRows source = ReadImageRows(Properties(*suites.property, source_image.handle()));
  if (source.depth != output.depth)
    throw OfxError(kOfxStatErrImageFormat, "the source and output images differ in depth");
  RenderFrame(source, output, window, settings, instance.palette, HostThreads(suites.multithread));
  return kOfxStatOK;
}

}  // namespace huewright_ofx
