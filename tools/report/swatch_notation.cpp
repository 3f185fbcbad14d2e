#include "swatch_notation.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace huewright {
namespace {

std::string NotANumberText(double value) { return std::isnan(value) ? "nan" : value > 0 ? "inf" : "-inf"; }

// The fewest decimals of level / full_scale that read back as level.
std::string LevelText(long level, double full_scale) {
  const double value = static_cast<double>(level) / full_scale;
  char text[32];
  for (int decimals = 1; decimals < 12; ++decimals) {
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    if (std::lround(std::strtod(text, nullptr) * full_scale) == level) break;
  }
  return text;
}

// The shortest decimal that reads back as the same float.
std::string FloatText(float value) {
  if (!std::isfinite(value)) return NotANumberText(value);
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

// A channel level of an integer format: read-back values are level / full
// scale in float, so rounding finds the level; out-of-range and NaN inputs
// cannot come from an integer world but are kept in range all the same.
long LevelOf(float value, double full_scale) {
  if (!(value >= 0.0f)) return 0;
  if (value >= 1.0f) return std::lround(full_scale);
  return std::lround(value * full_scale);
}

int EightBitOf(double unit) {
  if (!(unit > 0.0)) return 0;
  if (unit >= 1.0) return 255;
  return static_cast<int>(std::lround(unit * 255.0));
}

}  // namespace

SwatchNotation Notate(const std::array<float, 3>& rgb, PixelLayout layout) {
  SwatchNotation notation;
  const double full_scale = IsEightBitLayout(layout) ? 255.0 : layout == PixelLayout::kArgb16 ? minihost::kMax16 : 0.0;
  for (int c = 0; c < 3; ++c) {
    if (full_scale > 0) {
      const long level = LevelOf(rgb[c], full_scale);
      notation.unit[c] = static_cast<double>(level) / full_scale;
      notation.unit_text[c] = LevelText(level, full_scale);
      notation.rgb8[c] = full_scale == 255.0 ? static_cast<int>(level) : EightBitOf(notation.unit[c]);
    } else {
      notation.unit[c] = rgb[c];
      notation.unit_text[c] = FloatText(rgb[c]);
      notation.rgb8[c] = EightBitOf(rgb[c]);
      if (std::isnan(rgb[c])) notation.known = false;
    }
  }
  if (notation.known) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "#%02x%02x%02x", notation.rgb8[0], notation.rgb8[1], notation.rgb8[2]);
    notation.hex = hex;
  }
  return notation;
}

WrittenColour NotateForFiles(const std::array<float, 3>& rgb, PixelLayout layout, bool scene_linear, bool keep_linear) {
  if (!scene_linear) return {Notate(rgb, layout), ColourEncoding::kSrgb};
  if (keep_linear) return {Notate(rgb, layout), ColourEncoding::kLinear};
  // The level an integer swatch holds is encoded; the result is none of the
  // layout's levels, so it is written as the float it is.
  const SwatchNotation held = Notate(rgb, layout);
  std::array<float, 3> encoded{};
  for (int c = 0; c < 3; ++c) encoded[c] = static_cast<float>(SrgbFromLinear(held.unit[c]));
  return {Notate(encoded, PixelLayout::kArgbFloat), ColourEncoding::kSrgb};
}

}  // namespace huewright
