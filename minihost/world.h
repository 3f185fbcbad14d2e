// A frame buffer owned by the host: pixel memory in one of the host's pixel
// layouts, any size and row stride, with guard bytes around the pixels (and
// in row padding) so that a write outside the world can be detected.
#ifndef HUEWRIGHT_MINIHOST_WORLD_H
#define HUEWRIGHT_MINIHOST_WORLD_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "layout_table.h"
#include "pf_host.h"

namespace minihost {

// The layouts of palette/'s table; the host's own structs of each are the
// ones host/ declares (PF_Pixel8 for 'argb', PF_Pixel_BGRA_8u, ...).
using ::PixelLayout;

// Bytes of one pixel: 4, 8 or 16.
std::size_t PixelBytes(PixelLayout layout);
// 'argb', 'ae16', 'ae32' for the After Effects layouts, PF_PixelFormat_INVALID otherwise.
PF_PixelFormat AeFormatOf(PixelLayout layout);
// The Premiere code of the layout; the After Effects layouts report their
// own memory-order codes ('argb', 'ae16', 'ae32'), which Premiere never
// offers, and the open hosts' layouts PF_PixelFormat_INVALID.
PrPixelFormat PremiereFormatOf(PixelLayout layout);
const char* LayoutName(PixelLayout layout);
// "BGRA_4444_8u", ...: Premiere's name of one of its formats, or null for
// any other code.
const char* PremiereFormatName(PrPixelFormat format);
bool IsAfterEffectsLayout(PixelLayout layout);

struct WorldShape {
  A_long width = 0;
  A_long height = 0;
  // Bytes after each row's pixels; a multiple of 4 keeps every pixel aligned.
  A_long row_padding = 0;
  // Negative rowbytes: data points at the last row in memory, rows go upward.
  bool rows_upward = false;
};

class World {
 public:
  static constexpr std::size_t kGuardBytes = 64;
  static constexpr uint8_t kGuardByte = 0xA5;
  // Larger worlds are refused with std::bad_alloc rather than exhausting the machine.
  static constexpr std::size_t kMaxPixelBytes = std::size_t{1} << 30;

  // Throws std::invalid_argument for negative sizes or a padding that is not
  // a multiple of 4.
  World(PixelLayout layout, WorldShape shape);
  World(PixelLayout layout, A_long width, A_long height) : World(layout, WorldShape{width, height, 0, false}) {}
  World(World&&) noexcept = default;
  World& operator=(World&&) noexcept = default;
  World(const World&) = delete;
  World& operator=(const World&) = delete;

  PF_EffectWorld* Record() { return &record_; }
  const PF_EffectWorld* Record() const { return &record_; }
  PixelLayout Layout() const { return layout_; }
  PF_PixelFormat AeFormat() const { return AeFormatOf(layout_); }
  PrPixelFormat PremiereFormat() const { return PremiereFormatOf(layout_); }
  A_long Width() const { return record_.width; }
  A_long Height() const { return record_.height; }
  A_long RowBytes() const { return record_.rowbytes; }
  void SetExtentHint(PF_LRect hint) { record_.extent_hint = hint; }

  // Address of pixel (x, y); throws std::out_of_range outside the world.
  uint8_t* PixelAddress(A_long x, A_long y);
  const uint8_t* PixelAddress(A_long x, A_long y) const;

  // Typed access; throws std::logic_error when Pixel does not match the
  // layout's pixel size.
  template <class Pixel>
  Pixel& At(A_long x, A_long y) {
    CheckPixelType(sizeof(Pixel));
    return *reinterpret_cast<Pixel*>(PixelAddress(x, y));
  }
  template <class Pixel>
  const Pixel& At(A_long x, A_long y) const {
    CheckPixelType(sizeof(Pixel));
    return *reinterpret_cast<const Pixel*>(PixelAddress(x, y));
  }
  template <class Pixel>
  void Fill(const Pixel& value) {
    for (A_long y = 0; y < Height(); ++y)
      for (A_long x = 0; x < Width(); ++x) At<Pixel>(x, y) = value;
  }
  // Every pixel byte set to value (padding and guards untouched).
  void FillBytes(uint8_t value);
  // Pixel bytes, row by row from row 0, without padding.
  std::vector<uint8_t> PixelBytesCopy() const;
  bool SamePixels(const World& other) const;

  // Empty when every guard and padding byte still holds kGuardByte;
  // otherwise one text per damaged region.
  std::vector<std::string> GuardDamage() const;

 private:
  void CheckPixelType(std::size_t size) const;
  std::size_t RowOffset(A_long y) const;  // offset of row y's first pixel in storage_

  PixelLayout layout_;
  std::size_t row_stride_ = 0;  // |rowbytes|
  std::vector<uint8_t> storage_;
  PF_EffectWorld record_{};
};

}  // namespace minihost

#endif
