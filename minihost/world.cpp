#include "world.h"

#include <algorithm>
#include <cstdio>
#include <new>

namespace minihost {

namespace {

// The host's codes of each layout, and Premiere's name of its format.
struct HostCodes {
  PixelLayout layout;
  PF_PixelFormat ae_format;
  PrPixelFormat premiere_format;
  const char* premiere_name;
};

constexpr PrPixelFormat kNoPremiereFormat = static_cast<PrPixelFormat>(PF_PixelFormat_INVALID);

constexpr HostCodes kHostCodes[] = {
    {PixelLayout::kArgb8, PF_PixelFormat_ARGB32, static_cast<PrPixelFormat>(PF_PixelFormat_ARGB32), nullptr},
    {PixelLayout::kArgb16, PF_PixelFormat_ARGB64, static_cast<PrPixelFormat>(PF_PixelFormat_ARGB64), nullptr},
    {PixelLayout::kArgbFloat, PF_PixelFormat_ARGB128, static_cast<PrPixelFormat>(PF_PixelFormat_ARGB128), nullptr},
    {PixelLayout::kBgra8, PF_PixelFormat_INVALID, PrPixelFormat_BGRA_4444_8u, "BGRA_4444_8u"},
    {PixelLayout::kBgraFloat, PF_PixelFormat_INVALID, PrPixelFormat_BGRA_4444_32f, "BGRA_4444_32f"},
    {PixelLayout::kVuyaFloat, PF_PixelFormat_INVALID, PrPixelFormat_VUYA_4444_32f, "VUYA_4444_32f"},
    {PixelLayout::kVuya8, PF_PixelFormat_INVALID, PrPixelFormat_VUYA_4444_8u, "VUYA_4444_8u"},
    {PixelLayout::kRgba8, PF_PixelFormat_INVALID, kNoPremiereFormat, nullptr},
    {PixelLayout::kRgba16, PF_PixelFormat_INVALID, kNoPremiereFormat, nullptr},
    {PixelLayout::kRgbaFloat, PF_PixelFormat_INVALID, kNoPremiereFormat, nullptr},
};

const HostCodes& CodesOf(PixelLayout layout) {
  for (const HostCodes& codes : kHostCodes)
    if (codes.layout == layout) return codes;
  throw std::invalid_argument("unknown pixel layout");
}

std::string Describe(const char* what, std::size_t offset, std::size_t length) {
  char text[160];
  std::snprintf(text, sizeof text, "%s damaged: %zu byte(s) from storage offset %zu", what, length, offset);
  return text;
}

}  // namespace

std::size_t PixelBytes(PixelLayout layout) { return LayoutOf(layout).pixel_bytes; }
PF_PixelFormat AeFormatOf(PixelLayout layout) { return CodesOf(layout).ae_format; }
PrPixelFormat PremiereFormatOf(PixelLayout layout) { return CodesOf(layout).premiere_format; }
const char* LayoutName(PixelLayout layout) { return LayoutOf(layout).name; }
const char* PremiereFormatName(PrPixelFormat format) {
  for (const HostCodes& codes : kHostCodes)
    if (codes.premiere_name && codes.premiere_format == format) return codes.premiere_name;
  return nullptr;
}

bool IsAfterEffectsLayout(PixelLayout layout) { return AeFormatOf(layout) != PF_PixelFormat_INVALID; }

World::World(PixelLayout layout, WorldShape shape) : layout_(layout) {
  if (shape.width < 0 || shape.height < 0) throw std::invalid_argument("a world cannot have a negative size");
  if (shape.row_padding < 0 || shape.row_padding % 4 != 0)
    throw std::invalid_argument("row padding must be a non-negative multiple of 4");
  const std::size_t pixel = PixelBytes(layout);
  row_stride_ = static_cast<std::size_t>(shape.width) * pixel + static_cast<std::size_t>(shape.row_padding);
  if (row_stride_ > 0x7fffffffu) throw std::invalid_argument("rowbytes does not fit 32 bits");
  const std::size_t height = static_cast<std::size_t>(shape.height);
  if (height > 0 && row_stride_ > kMaxPixelBytes / height) throw std::bad_alloc();
  // Pixels start cleared; padding and guards hold the guard pattern. One
  // pass over the pixels: a 4K float world is 130 MB.
  storage_.assign(2 * kGuardBytes + row_stride_ * height, uint8_t{0});
  std::fill_n(storage_.begin(), kGuardBytes, kGuardByte);
  std::fill_n(storage_.end() - static_cast<std::ptrdiff_t>(kGuardBytes), kGuardBytes, kGuardByte);
  const std::size_t row_pixels = static_cast<std::size_t>(shape.width) * pixel;
  for (std::size_t y = 0; shape.row_padding > 0 && y < height; ++y)
    std::fill_n(storage_.begin() + static_cast<std::ptrdiff_t>(kGuardBytes + row_stride_ * y + row_pixels),
                static_cast<std::size_t>(shape.row_padding), kGuardByte);

  const A_long stride = static_cast<A_long>(row_stride_);
  const std::size_t first_row = shape.rows_upward && height > 0 ? row_stride_ * (height - 1) : 0;
  record_.world_flags = PF_WorldFlag_WRITEABLE | (pixel > 4 ? PF_WorldFlag_DEEP : 0);
  record_.data = storage_.data() + kGuardBytes + first_row;
  record_.rowbytes = shape.rows_upward ? -stride : stride;
  record_.width = shape.width;
  record_.height = shape.height;
  record_.extent_hint = PF_LRect{0, 0, shape.width, shape.height};
  record_.pix_aspect_ratio = PF_RationalScale{1, 1};
}

std::size_t World::RowOffset(A_long y) const {
  const std::size_t memory_row =
      record_.rowbytes < 0 ? static_cast<std::size_t>(record_.height - 1 - y) : static_cast<std::size_t>(y);
  return kGuardBytes + memory_row * row_stride_;
}

uint8_t* World::PixelAddress(A_long x, A_long y) {
  return const_cast<uint8_t*>(static_cast<const World*>(this)->PixelAddress(x, y));
}

const uint8_t* World::PixelAddress(A_long x, A_long y) const {
  if (x < 0 || y < 0 || x >= record_.width || y >= record_.height)
    throw std::out_of_range("pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") is outside a " +
                            std::to_string(record_.width) + "x" + std::to_string(record_.height) + " world");
  return storage_.data() + RowOffset(y) + static_cast<std::size_t>(x) * PixelBytes(layout_);
}

void World::CheckPixelType(std::size_t size) const {
  if (size != PixelBytes(layout_))
    throw std::logic_error(std::string("pixel type of ") + std::to_string(size) + " bytes used on a " +
                           LayoutName(layout_) + " world");
}

void World::FillBytes(uint8_t value) {
  const std::size_t row_pixels = static_cast<std::size_t>(record_.width) * PixelBytes(layout_);
  for (A_long y = 0; y < record_.height; ++y)
    std::fill_n(storage_.begin() + static_cast<std::ptrdiff_t>(RowOffset(y)), row_pixels, value);
}

std::vector<uint8_t> World::PixelBytesCopy() const {
  const std::size_t row_pixels = static_cast<std::size_t>(record_.width) * PixelBytes(layout_);
  std::vector<uint8_t> bytes;
  bytes.reserve(row_pixels * static_cast<std::size_t>(record_.height));
  for (A_long y = 0; y < record_.height; ++y) {
    const auto row = storage_.begin() + static_cast<std::ptrdiff_t>(RowOffset(y));
    bytes.insert(bytes.end(), row, row + static_cast<std::ptrdiff_t>(row_pixels));
  }
  return bytes;
}

bool World::SamePixels(const World& other) const {
  return layout_ == other.layout_ && Width() == other.Width() && Height() == other.Height() &&
         PixelBytesCopy() == other.PixelBytesCopy();
}

std::vector<std::string> World::GuardDamage() const {
  std::vector<std::string> damage;
  auto check = [&](const char* what, std::size_t begin, std::size_t length) {
    const auto first = storage_.begin() + static_cast<std::ptrdiff_t>(begin);
    const auto bad = std::find_if(first, first + static_cast<std::ptrdiff_t>(length),
                                  [](uint8_t byte) { return byte != kGuardByte; });
    if (bad != first + static_cast<std::ptrdiff_t>(length))
      damage.push_back(Describe(what, static_cast<std::size_t>(bad - storage_.begin()), length));
  };
  const std::size_t pixels_end = kGuardBytes + row_stride_ * static_cast<std::size_t>(record_.height);
  check("guard before the pixels", 0, kGuardBytes);
  check("guard after the pixels", pixels_end, kGuardBytes);
  const std::size_t row_pixels = static_cast<std::size_t>(record_.width) * PixelBytes(layout_);
  for (A_long row = 0; row < record_.height && row_stride_ > row_pixels; ++row)
    check("row padding", kGuardBytes + static_cast<std::size_t>(row) * row_stride_ + row_pixels,
          row_stride_ - row_pixels);
  std::string prefix = std::string(LayoutName(layout_)) + " " + std::to_string(record_.width) + "x" +
                       std::to_string(record_.height) + " world: ";
  for (std::string& text : damage) text = prefix + text;
  return damage;
}

}  // namespace minihost
