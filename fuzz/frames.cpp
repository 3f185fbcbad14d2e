#include "frames.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace fuzz {

namespace {

using minihost::PixelLayout;
using minihost::World;
using minihost::WorldShape;

constexpr PixelLayout kAfterEffectsLayouts[] = {PixelLayout::kArgb8, PixelLayout::kArgb16, PixelLayout::kArgbFloat};
constexpr PixelLayout kAllLayouts[] = {PixelLayout::kArgb8,     PixelLayout::kArgb16,    PixelLayout::kArgbFloat,
                                       PixelLayout::kBgra8,     PixelLayout::kBgraFloat, PixelLayout::kVuyaFloat,
                                       PixelLayout::kVuya8};
constexpr A_long kMaxSide = 12;
constexpr uint8_t kOutputPrefill = 0x3C;

constexpr float kInf = std::numeric_limits<float>::infinity();
// Channel values at and beyond every edge of the nominal ranges.
constexpr float kSpecialFloats[] = {std::numeric_limits<float>::quiet_NaN(),
                                    -std::numeric_limits<float>::quiet_NaN(),
                                    kInf,
                                    -kInf,
                                    0.0f,
                                    -0.0f,
                                    1.0f,
                                    0.5f,
                                    -1.0f,
                                    2.0f,
                                    0.2f,
                                    0.8f,
                                    1e30f,
                                    std::numeric_limits<float>::denorm_min(),
                                    std::numeric_limits<float>::max(),
                                    255.0f};

WorldShape DecodeShape(ByteReader& reader) {
  WorldShape shape;
  shape.width = reader.Byte() % (kMaxSide + 1);
  shape.height = reader.Byte() % (kMaxSide + 1);
  const uint8_t flags = reader.Byte();
  shape.row_padding = 4 * ((flags & 3) % 3);
  shape.rows_upward = (flags & 4) != 0;
  return shape;
}

PF_LRect DecodeExtent(ByteReader& reader, const World& world) {
  const A_long w = world.Width(), h = world.Height();
  constexpr A_long kMin = std::numeric_limits<A_long>::min(), kMax = std::numeric_limits<A_long>::max();
  switch (reader.Byte() % 7) {
    case 0:
      return {0, 0, w, h};
    case 1:
      return {0, 0, 0, 0};
    case 2:
      return {-7, -9, w + 100, h + 1000};
    case 3:
      return {w, h, 0, 0};
    case 4:
      return {kMin, kMin, kMax, kMax};
    case 5:
      return {0, 0, w, h ? reader.Byte() % h : 0};
    default:
      return {reader.I16(), reader.I16(), reader.I16(), reader.I16()};
  }
}

// Every pixel byte from a short pattern, raw or (for float layouts) as
// special values, so that NaN, infinities and out-of-range channels appear.
void FillPixels(ByteReader& reader, World& world) {
  const uint8_t mode = reader.Byte() % 3;
  uint8_t pattern[8];
  for (uint8_t& byte : pattern) byte = reader.Byte();
  const std::size_t pixel = minihost::PixelBytes(world.Layout());
  std::size_t n = 0;
  for (A_long y = 0; y < world.Height(); ++y)
    for (A_long x = 0; x < world.Width(); ++x) {
      uint8_t* address = world.PixelAddress(x, y);
      for (std::size_t byte = 0; byte < pixel; ++byte, ++n) {
        if (mode == 0) address[byte] = pattern[n % 8] ^ static_cast<uint8_t>(x * 37 + y * 11);
        else address[byte] = pattern[n % 8];
      }
      if (mode == 2 && pixel == 16) {
        for (std::size_t channel = 0; channel < 4; ++channel) {
          const float value = kSpecialFloats[(pattern[(n / 4 + channel) % 8] + x + y) % std::size(kSpecialFloats)];
          std::memcpy(address + 4 * channel, &value, sizeof value);
        }
      }
    }
}

}  // namespace

Frame DecodeFrame(ByteReader& reader, bool any_layout) {
  const PixelLayout layout = any_layout ? reader.Pick(kAllLayouts) : reader.Pick(kAfterEffectsLayouts);
  const WorldShape in_shape = DecodeShape(reader);
  const bool own_output_size = reader.Flag();
  const WorldShape out_shape = own_output_size ? DecodeShape(reader) : in_shape;
  Frame frame{World(layout, in_shape), World(layout, out_shape), {}};
  frame.output.SetExtentHint(DecodeExtent(reader, frame.output));
  frame.input.SetExtentHint(DecodeExtent(reader, frame.input));
  FillPixels(reader, frame.input);
  frame.output.FillBytes(kOutputPrefill);
  frame.input_pixels = frame.input.PixelBytesCopy();
  return frame;
}

bool SameSize(const World& a, const World& b) { return a.Width() == b.Width() && a.Height() == b.Height(); }

}  // namespace fuzz
