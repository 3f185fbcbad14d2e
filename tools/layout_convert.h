// Conversion between the tool's working image (RGBA floats as read from the
// file, 0.0 to 1.0 for integer files) and the pixel layouts of the host's
// worlds. One row at a time, so that any row stride the host chooses works.
#ifndef HUEWRIGHT_TOOLS_LAYOUT_CONVERT_H
#define HUEWRIGHT_TOOLS_LAYOUT_CONVERT_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace huewright {

enum class HostLayout { Argb8, Argb16, Argb32f, Bgra8, Bgra32f, Vuya32f };

inline constexpr HostLayout kAllLayouts[] = {HostLayout::Argb8,  HostLayout::Argb16,  HostLayout::Argb32f,
                                             HostLayout::Bgra8, HostLayout::Bgra32f, HostLayout::Vuya32f};

// Full scale of a 16-bit After Effects channel.
inline constexpr double kMax16 = 32768.0;

std::size_t BytesPerPixel(HostLayout layout);
bool IsFloatLayout(HostLayout layout);
bool IsEightBitLayout(HostLayout layout);
std::string_view LayoutName(HostLayout layout);

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
void PackRow(HostLayout layout, const float* rgba, void* row, std::size_t width);
void UnpackRow(HostLayout layout, const void* row, float* rgba, std::size_t width);

}  // namespace huewright

#endif
