#include "frame_pixels.h"

#include <cmath>
#include <cstdint>

#include "pixel_packing.h"

namespace huewright {
namespace {

using OIIO::TypeDesc;

std::byte* RowOf(ImagePart& part, int y) {
  return part.pixels.data() + static_cast<std::size_t>(y) * part.image_spec.scanline_bytes();
}
const std::byte* RowOf(const ImagePart& part, int y) {
  return part.pixels.data() + static_cast<std::size_t>(y) * part.image_spec.scanline_bytes();
}

// One row of every channel as floats (integers scaled to 0.0-1.0).
void RowToFloats(const ImagePart& part, int y, std::vector<float>& floats) {
  const std::size_t count = static_cast<std::size_t>(part.image_spec.width) * part.image_spec.nchannels;
  floats.resize(count);
  OIIO::convert_pixel_values(part.image_spec.format, RowOf(part, y), TypeDesc::FLOAT, floats.data(), static_cast<int>(count));
}

template <class T>
void Quantised(const std::vector<float>& floats, void* row, double full_scale) {
  T* out = static_cast<T*>(row);
  for (std::size_t i = 0; i < floats.size(); ++i) out[i] = static_cast<T>(minihost::Quantise(floats[i], full_scale));
}

void FloatsToRow(std::vector<float>& floats, ImagePart& part, int y) {
  void* row = RowOf(part, y);
  switch (part.image_spec.format.basetype) {
    case TypeDesc::UINT8:
      return Quantised<uint8_t>(floats, row, 255.0);
    case TypeDesc::UINT16:
      return Quantised<uint16_t>(floats, row, 65535.0);
    case TypeDesc::HALF:
    case TypeDesc::FLOAT:
    case TypeDesc::DOUBLE:
      break;
    default:  // other integers: no NaN may reach the library's conversion
      for (float& value : floats)
        if (std::isnan(value)) value = 0.0f;
  }
  OIIO::convert_pixel_values(TypeDesc::FLOAT, floats.data(), part.image_spec.format, row, static_cast<int>(floats.size()));
}

}  // namespace

minihost::World PackFrame(const SourceImage& image) {
  const ImagePart& part = image.Rendered();
  const int width = part.image_spec.width, n = part.image_spec.nchannels;
  minihost::World world(image.layout, width, part.image_spec.height);
  std::vector<float> floats, rgba(static_cast<std::size_t>(width) * 4);
  const auto& ch = image.channels;
  for (int y = 0; y < part.image_spec.height; ++y) {
    RowToFloats(part, y, floats);
    for (int x = 0; x < width; ++x) {
      const float* in = floats.data() + static_cast<std::size_t>(x) * n;
      float* out = rgba.data() + static_cast<std::size_t>(x) * 4;
      out[0] = in[ch[0]];
      out[1] = in[ch[1]];
      out[2] = in[ch[2]];
      out[3] = ch[3] >= 0 ? in[ch[3]] : 1.0f;
    }
    PackRow(image.layout, rgba.data(), world.PixelAddress(0, y), static_cast<std::size_t>(width));
  }
  return world;
}

void UnpackFrame(const minihost::World& world, SourceImage& image) {
  ImagePart& part = image.Rendered();
  const int width = part.image_spec.width, n = part.image_spec.nchannels;
  std::vector<float> floats, rgba(static_cast<std::size_t>(width) * 4);
  const auto& ch = image.channels;
  for (int y = 0; y < part.image_spec.height; ++y) {
    UnpackRow(world.Layout(), world.PixelAddress(0, y), rgba.data(), static_cast<std::size_t>(width));
    RowToFloats(part, y, floats);
    for (int x = 0; x < width; ++x) {
      const float* in = rgba.data() + static_cast<std::size_t>(x) * 4;
      float* out = floats.data() + static_cast<std::size_t>(x) * n;
      out[ch[0]] = in[0];
      out[ch[1]] = in[1];
      out[ch[2]] = in[2];
      if (ch[3] >= 0) out[ch[3]] = in[3];
    }
    FloatsToRow(floats, part, y);
  }
}

}  // namespace huewright
