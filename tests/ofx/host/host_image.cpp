#include "host_image.h"

#include <cstring>
#include <stdexcept>

#include "api/ofx_image_effect.h"

namespace ofx_host {

const char* DepthName(Depth depth) {
  switch (depth) {
    case Depth::kByte:
      return kOfxBitDepthByte;
    case Depth::kShort:
      return kOfxBitDepthShort;
    case Depth::kFloat:
      return kOfxBitDepthFloat;
  }
  return kOfxBitDepthNone;
}

std::size_t ChannelBytes(Depth depth) {
  switch (depth) {
    case Depth::kByte:
      return 1;
    case Depth::kShort:
      return 2;
    case Depth::kFloat:
      return 4;
  }
  return 0;
}

HostImage::HostImage(const ImageShape& shape) : shape_(shape) {
  if (Width() < 0 || Height() < 0 || shape.row_padding < 0 || shape.row_padding % 4 != 0)
    throw std::invalid_argument("bad image shape");
  stride_ = static_cast<std::size_t>(Width()) * PixelBytes() + static_cast<std::size_t>(shape.row_padding);
  storage_.assign(2 * kGuardBytes + stride_ * static_cast<std::size_t>(Height()), kGuardByte);
  FillBytes(0);
  properties_.DefineStrings(kOfxImageEffectPropPixelDepth, {DepthName(shape.depth)});
  properties_.DefineStrings(kOfxImageEffectPropComponents, {kOfxImageComponentRGBA});
  properties_.DefineInts(kOfxImagePropBounds, {shape.bounds.x1, shape.bounds.y1, shape.bounds.x2, shape.bounds.y2});
  properties_.DefineInts(kOfxImagePropRegionOfDefinition,
                         {shape.bounds.x1, shape.bounds.y1, shape.bounds.x2, shape.bounds.y2});
  properties_.DefineInts(kOfxImagePropRowBytes, {static_cast<int>(RowBytes())});
  properties_.DefinePointer(kOfxImagePropData, Data());
  properties_.DefineDoubles(kOfxImagePropPixelAspectRatio, {1.0});
  properties_.DefineDoubles(kOfxImageEffectPropRenderScale, {1.0, 1.0});
  properties_.DefineStrings(kOfxImageEffectPropPreMultiplication, {kOfxImagePreMultiplied});
  properties_.DefineStrings(kOfxPropType, {"OfxTypeImage"});
}

std::ptrdiff_t HostImage::RowBytes() const {
  const auto stride = static_cast<std::ptrdiff_t>(stride_);
  return shape_.top_down ? -stride : stride;
}

// Memory holds the rows bottom-up, or top-down for negative row bytes.
std::size_t HostImage::Offset(int x, int y) const {
  if (x < shape_.bounds.x1 || x >= shape_.bounds.x2 || y < shape_.bounds.y1 || y >= shape_.bounds.y2)
    throw std::out_of_range("pixel outside the image");
  const auto row = static_cast<std::size_t>(shape_.top_down ? shape_.bounds.y2 - 1 - y : y - shape_.bounds.y1);
  return kGuardBytes + row * stride_ + static_cast<std::size_t>(x - shape_.bounds.x1) * PixelBytes();
}

unsigned char* HostImage::Data() {
  if (Width() == 0 || Height() == 0) return nullptr;
  return storage_.data() + Offset(shape_.bounds.x1, shape_.bounds.y1);
}

const unsigned char* HostImage::PixelAddress(int x, int y) const { return storage_.data() + Offset(x, y); }
unsigned char* HostImage::PixelAddress(int x, int y) { return storage_.data() + Offset(x, y); }

double HostImage::Channel(int x, int y, int c) const {
  const unsigned char* pixel = PixelAddress(x, y) + static_cast<std::size_t>(c) * ChannelBytes(shape_.depth);
  switch (shape_.depth) {
    case Depth::kByte:
      return *pixel;
    case Depth::kShort: {
      uint16_t value;
      std::memcpy(&value, pixel, sizeof value);
      return value;
    }
    case Depth::kFloat: {
      float value;
      std::memcpy(&value, pixel, sizeof value);
      return value;
    }
  }
  return 0.0;
}

void HostImage::SetChannel(int x, int y, int c, double value) {
  unsigned char* pixel = PixelAddress(x, y) + static_cast<std::size_t>(c) * ChannelBytes(shape_.depth);
  switch (shape_.depth) {
    case Depth::kByte:
      *pixel = static_cast<uint8_t>(value);
      return;
    case Depth::kShort: {
      const auto channel = static_cast<uint16_t>(value);
      std::memcpy(pixel, &channel, sizeof channel);
      return;
    }
    case Depth::kFloat: {
      const auto channel = static_cast<float>(value);
      std::memcpy(pixel, &channel, sizeof channel);
      return;
    }
  }
}

void HostImage::FillBytes(uint8_t value) {
  if (Width() == 0) return;
  for (int y = shape_.bounds.y1; y < shape_.bounds.y2; ++y)
    std::memset(PixelAddress(shape_.bounds.x1, y), value, static_cast<std::size_t>(Width()) * PixelBytes());
}

std::vector<std::string> HostImage::GuardDamage() const {
  std::vector<std::string> damage;
  auto check = [&](std::size_t from, std::size_t to, const std::string& where) {
    for (std::size_t at = from; at < to; ++at)
      if (storage_[at] != kGuardByte) {
        damage.push_back("written " + where);
        return;
      }
  };
  check(0, kGuardBytes, "before the image");
  check(storage_.size() - kGuardBytes, storage_.size(), "after the image");
  const std::size_t pixels = static_cast<std::size_t>(Width()) * PixelBytes();
  for (int row = 0; row < Height(); ++row) {
    const std::size_t start = kGuardBytes + static_cast<std::size_t>(row) * stride_;
    check(start + pixels, start + stride_, "in the padding of memory row " + std::to_string(row));
  }
  return damage;
}

}  // namespace ofx_host
