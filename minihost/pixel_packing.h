// Packing between RGBA floats (0.0 to 1.0 for integer samples, as the tool
// reads its files) and the pixel layouts of the host's worlds. One row at a
// time, so that any row stride the host chooses works.
#ifndef HUEWRIGHT_MINIHOST_PIXEL_PACKING_H
#define HUEWRIGHT_MINIHOST_PIXEL_PACKING_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "world.h"

namespace minihost {

// The layouts packed here: the three After Effects depths and the three
// Premiere formats the effect declares.
inline constexpr PixelLayout kPackedLayouts[] = {PixelLayout::kArgb8, PixelLayout::kArgb16,    PixelLayout::kArgbFloat,
                                                 PixelLayout::kBgra8, PixelLayout::kBgraFloat, PixelLayout::kVuyaFloat};

// Full scale of a 16-bit After Effects channel.
inline constexpr double kMax16 = 32768.0;

bool IsFloatLayout(PixelLayout layout);
bool IsEightBitLayout(PixelLayout layout);
// "ARGB 8-bit", "BGRA 32f", ... as messages and reports name them.
std::string_view LayoutDescription(PixelLayout layout);

// Channel value conversions. Out-of-range values clamp, NaN becomes 0, and
// integers round to nearest. Quantise scales by full_scale (at most 65535).
uint16_t Quantise(float value, double full_scale);
uint8_t ToChannel8(float value);
uint16_t ToChannel16(float value);

// BT.601 full range, the constants Premiere's VUYA frames use.
struct Yuv {
  float y, u, v;
};
Yuv RgbToYuv(float r, float g, float b);
void YuvToRgb(const Yuv& yuv, float& r, float& g, float& b);

// `rgba` holds width * 4 floats; `row` holds width pixels of the layout.
// Throws std::invalid_argument for a layout outside kPackedLayouts.
void PackRow(PixelLayout layout, const float* rgba, void* row, std::size_t width);
void UnpackRow(PixelLayout layout, const void* row, float* rgba, std::size_t width);

}  // namespace minihost

#endif
