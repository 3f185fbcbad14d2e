// An RGBA image as an OpenFX host hands it over: bounds in pixel
// coordinates, y growing upward, the data pointer at pixel (x1, y1), rows a
// chosen number of bytes apart (padded, or negative so that memory runs top
// down), with guard bytes around the pixels and in the padding so that a
// write outside the image shows.
#ifndef HUEWRIGHT_TESTS_OFX_HOST_HOST_IMAGE_H
#define HUEWRIGHT_TESTS_OFX_HOST_HOST_IMAGE_H

#include <cstddef>
#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include "api/ofx_core.h"
#include "property_set.h"

namespace ofx_host {

enum class Depth { kByte, kShort, kFloat };

const char* DepthName(Depth depth);   // kOfxBitDepth*
std::size_t ChannelBytes(Depth depth);  // 1, 2 or 4

struct ImageShape {
  OfxRectI bounds{0, 0, 0, 0};
  Depth depth = Depth::kByte;
  int row_padding = 0;    // bytes after each row's pixels, a multiple of 4
  bool top_down = false;  // negative row bytes: the top row first in memory
};

// Image memory starting on a cache line, so that the plug-in's copies write
// whole lines (its streaming stores need them). A plain vector's storage
// of a 4K frame lies 16 bytes past one: every row then takes cached stores,
// and the 8-bit render measured about half as fast.
template <class T>
struct LineAlignedAllocator {
  using value_type = T;
  static constexpr std::align_val_t kAlignment{64};
  LineAlignedAllocator() = default;
  template <class U>
  explicit LineAlignedAllocator(const LineAlignedAllocator<U>&) {}
  T* allocate(std::size_t n) { return static_cast<T*>(::operator new(n * sizeof(T), kAlignment)); }
  void deallocate(T* p, std::size_t) { ::operator delete(p, kAlignment); }
  friend bool operator==(const LineAlignedAllocator&, const LineAlignedAllocator&) { return true; }
};

class HostImage {
 public:
  // A multiple of the line, so that the first pixel starts one.
  static constexpr std::size_t kGuardBytes = 64;
  static constexpr uint8_t kGuardByte = 0xA5;

  explicit HostImage(const ImageShape& shape);

  const ImageShape& Shape() const { return shape_; }
  int Width() const { return shape_.bounds.x2 - shape_.bounds.x1; }
  int Height() const { return shape_.bounds.y2 - shape_.bounds.y1; }
  std::ptrdiff_t RowBytes() const;
  // Pixel (bounds.x1, bounds.y1); null for an empty image.
  unsigned char* Data();

  // Channel c (0 red .. 3 alpha) of pixel (x, y) in pixel coordinates, as a
  // double: 0..255, 0..65535 or the float's value.
  double Channel(int x, int y, int c) const;
  void SetChannel(int x, int y, int c, double value);
  // Raw bytes of pixel (x, y).
  const unsigned char* PixelAddress(int x, int y) const;
  unsigned char* PixelAddress(int x, int y);
  std::size_t PixelBytes() const { return 4 * ChannelBytes(shape_.depth); }

  void FillBytes(uint8_t value);
  // Damaged guard or padding bytes, one text per region; empty when clean.
  std::vector<std::string> GuardDamage() const;

  // The image's properties as the host hands them to the plug-in; a test
  // (or the fuzz target) may change any of them before the image goes out.
  PropertySet& Properties() { return properties_; }
  const PropertySet& Properties() const { return properties_; }

 private:
  std::size_t Offset(int x, int y) const;

  ImageShape shape_;
  std::size_t stride_ = 0;
  std::vector<unsigned char, LineAlignedAllocator<unsigned char>> storage_;
  PropertySet properties_{false};
};

}  // namespace ofx_host

#endif
