#include "pixel_packing.h"

#include <cmath>
#include <cstring>
#include <stdexcept>
#include <string>

#include "pf_pixels.h"

namespace minihost {
namespace {

// Clamps before converting: the conversion of a NaN or out-of-range double to
// an integer is undefined.
template <class T>
T RoundClamped(double scaled, double max) {
  static_assert(sizeof(T) <= 2);
  if (!(scaled > 0.0)) return 0;  // also NaN
  if (scaled >= max) return static_cast<T>(max);
  return static_cast<T>(std::lround(scaled));
}

template <class Pixel>
Pixel* PixelsOf(void* row) {
  return static_cast<Pixel*>(row);
}
template <class Pixel>
const Pixel* PixelsOf(const void* row) {
  return static_cast<const Pixel*>(row);
}

// The four ARGB-family layouts differ only in channel type and position;
// the struct member names say where each channel sits.
template <class Pixel, class Encode>
void PackRgba(const float* rgba, void* row, std::size_t width, Encode encode) {
  Pixel* out = PixelsOf<Pixel>(row);
  for (std::size_t i = 0; i < width; ++i, rgba += 4) {
    out[i].red = encode(rgba[0]);
    out[i].green = encode(rgba[1]);
    out[i].blue = encode(rgba[2]);
    out[i].alpha = encode(rgba[3]);
  }
}

template <class Pixel>
void UnpackRgba(const void* row, float* rgba, std::size_t width, double scale) {
  const Pixel* in = PixelsOf<Pixel>(row);
  for (std::size_t i = 0; i < width; ++i, rgba += 4) {
    rgba[0] = static_cast<float>(in[i].red / scale);
    rgba[1] = static_cast<float>(in[i].green / scale);
    rgba[2] = static_cast<float>(in[i].blue / scale);
    rgba[3] = static_cast<float>(in[i].alpha / scale);
  }
}

float AsIs(float value) { return value; }

void PackVuya(const float* rgba, void* row, std::size_t width) {
  PF_Pixel_VUYA_32f* out = PixelsOf<PF_Pixel_VUYA_32f>(row);
  for (std::size_t i = 0; i < width; ++i, rgba += 4) {
    const Yuv yuv = RgbToYuv(rgba[0], rgba[1], rgba[2]);
    out[i] = {yuv.v, yuv.u, yuv.y, rgba[3]};
  }
}

void UnpackVuya(const void* row, float* rgba, std::size_t width) {
  const PF_Pixel_VUYA_32f* in = PixelsOf<PF_Pixel_VUYA_32f>(row);
  for (std::size_t i = 0; i < width; ++i, rgba += 4) {
    YuvToRgb({in[i].y, in[i].u, in[i].v}, rgba[0], rgba[1], rgba[2]);
    rgba[3] = in[i].alpha;
  }
}

}  // namespace

bool IsFloatLayout(PixelLayout layout) { return LayoutOf(layout).bits == 32; }
bool IsEightBitLayout(PixelLayout layout) { return LayoutOf(layout).bits == 8; }

std::string_view LayoutDescription(PixelLayout layout) { return LayoutOf(layout).description; }

uint16_t Quantise(float value, double full_scale) {
  return RoundClamped<uint16_t>(static_cast<double>(value) * full_scale, full_scale);
}

uint8_t ToChannel8(float value) { return static_cast<uint8_t>(Quantise(value, 255.0)); }

uint16_t ToChannel16(float value) { return Quantise(value, kMax16); }

Yuv RgbToYuv(float r, float g, float b) {
  const double y = 0.299 * r + 0.587 * g + 0.114 * b;
  return {static_cast<float>(y), static_cast<float>((b - y) * 0.565), static_cast<float>((r - y) * 0.713)};
}

void YuvToRgb(const Yuv& yuv, float& r, float& g, float& b) {
  const double y = yuv.y, u = yuv.u, v = yuv.v;
  r = static_cast<float>(y + 1.403 * v);
  g = static_cast<float>(y - 0.344 * u - 0.714 * v);
  b = static_cast<float>(y + 1.77 * u);
}

void PackRow(PixelLayout layout, const float* rgba, void* row, std::size_t width) {
  switch (layout) {
    case PixelLayout::kArgb8:
      return PackRgba<PF_Pixel8>(rgba, row, width, ToChannel8);
    case PixelLayout::kBgra8:
      return PackRgba<PF_Pixel_BGRA_8u>(rgba, row, width, ToChannel8);
    case PixelLayout::kArgb16:
      return PackRgba<PF_Pixel16>(rgba, row, width, ToChannel16);
    case PixelLayout::kArgbFloat:
      return PackRgba<PF_PixelFloat>(rgba, row, width, AsIs);
    case PixelLayout::kBgraFloat:
      return PackRgba<PF_Pixel_BGRA_32f>(rgba, row, width, AsIs);
    case PixelLayout::kVuyaFloat:
      return PackVuya(rgba, row, width);
    case PixelLayout::kVuya8:
    case PixelLayout::kRgba8:
    case PixelLayout::kRgba16:
    case PixelLayout::kRgbaFloat:
      break;
  }
  throw std::invalid_argument(std::string("no packing for ") + LayoutName(layout));
}

void UnpackRow(PixelLayout layout, const void* row, float* rgba, std::size_t width) {
  switch (layout) {
    case PixelLayout::kArgb8:
      return UnpackRgba<PF_Pixel8>(row, rgba, width, 255.0);
    case PixelLayout::kBgra8:
      return UnpackRgba<PF_Pixel_BGRA_8u>(row, rgba, width, 255.0);
    case PixelLayout::kArgb16:
      return UnpackRgba<PF_Pixel16>(row, rgba, width, kMax16);
    case PixelLayout::kArgbFloat:
      return UnpackRgba<PF_PixelFloat>(row, rgba, width, 1.0);
    case PixelLayout::kBgraFloat:
      return UnpackRgba<PF_Pixel_BGRA_32f>(row, rgba, width, 1.0);
    case PixelLayout::kVuyaFloat:
      return UnpackVuya(row, rgba, width);
    case PixelLayout::kVuya8:
    case PixelLayout::kRgba8:
    case PixelLayout::kRgba16:
    case PixelLayout::kRgbaFloat:
      break;
  }
  throw std::invalid_argument(std::string("no packing for ") + LayoutName(layout));
}

}  // namespace minihost
