#include "image_rows.h"

#include <cstdint>
#include <string>

#include "api/ofx_image_effect.h"
#include "ofx_error.h"

namespace huewright_ofx {

namespace {

ChannelDepth DepthNamed(const std::string& name) {
  if (name == kOfxBitDepthByte) return ChannelDepth::kByte;
  if (name == kOfxBitDepthShort) return ChannelDepth::kShort;
  if (name == kOfxBitDepthFloat) return ChannelDepth::kFloat;
  throw OfxError(kOfxStatErrImageFormat, "images of depth " + name + " are not supported");
}

void CheckBounds(const OfxRectI& bounds) {
  const int64_t width = int64_t{bounds.x2} - bounds.x1;
  const int64_t height = int64_t{bounds.y2} - bounds.y1;
  if (width < 0 || height < 0)
    throw OfxError(kOfxStatErrValue, "the image bounds are reversed");
  if (width > kLargestSide || height > kLargestSide || width * height > kLargestArea)
    throw OfxError(kOfxStatErrValue, "the image is too large: " + std::to_string(width) + " x " +
                                         std::to_string(height) + " pixels");
}

// Rows must not overlap, and every channel must be aligned for its type.
void CheckLayout(const ImageRows& rows) {
  const int64_t width = int64_t{rows.bounds.x2} - rows.bounds.x1;
  const int64_t height = int64_t{rows.bounds.y2} - rows.bounds.y1;
  if (width == 0 || height == 0) return;
  if (!rows.origin) throw OfxError(kOfxStatErrValue, "the image has no data");
  const auto pixel_bytes = static_cast<int64_t>(PixelBytes(rows.depth));
  const int64_t channel_bytes = pixel_bytes / 4;
  const int64_t stride = rows.rowbytes < 0 ? -int64_t{rows.rowbytes} : int64_t{rows.rowbytes};
  if (height > 1 && stride < width * pixel_bytes)
    throw OfxError(kOfxStatErrImageFormat, "the image's rows are " + std::to_string(rows.rowbytes) +
                                               " bytes apart, too few for " + std::to_string(width) + " pixels");
  if (rows.rowbytes % channel_bytes != 0 || reinterpret_cast<std::uintptr_t>(rows.origin) % channel_bytes != 0)
    throw OfxError(kOfxStatErrImageFormat, "the image's channels are not aligned");
}

}  // namespace

ImageRows ReadImageRows(const Properties& image) {
  const std::string components = image.String(kOfxImageEffectPropComponents);
  if (components != kOfxImageComponentRGBA)
    throw OfxError(kOfxStatErrImageFormat, "images of components " + components + " are not supported");
  ImageRows rows{};
  rows.depth = DepthNamed(image.String(kOfxImageEffectPropPixelDepth));
  rows.bounds = image.RectI(kOfxImagePropBounds);
  CheckBounds(rows.bounds);
  rows.rowbytes = image.Int(kOfxImagePropRowBytes);
  rows.origin = static_cast<unsigned char*>(image.Pointer(kOfxImagePropData));
  CheckLayout(rows);
  return rows;
}

}  // namespace huewright_ofx
