// One swatch colour in the notations a user needs: the 0.0-1.0 value written
// with no more digits than the frame's format holds, the 0-255 integers and
// the #rrggbb hex code.
#ifndef HUEWRIGHT_TOOLS_SWATCH_NOTATION_H
#define HUEWRIGHT_TOOLS_SWATCH_NOTATION_H

#include <array>
#include <string>

#include "colour_encoding.h"
#include "minihost_layouts.h"

namespace huewright {

struct SwatchNotation {
  // Red, green, blue as the format holds them: n / 255 or n / 32768 for
  // integer formats, the float itself otherwise (which may be NaN, or beyond
  // 0-1 in the After Effects 32-bit and VUYA formats).
  std::array<double, 3> unit{};
  // The shortest decimal that reads back as the same channel value: "0.0863"
  // for 22/255, "0.08627451" for the float nearest 22/255. "nan", "inf",
  // "-inf" for values that are not numbers.
  std::array<std::string, 3> unit_text;
  // The 8-bit value the swatch holds, or the value clamped to 0-1 and
  // rounded; 0 for NaN. known is false when a channel is NaN.
  std::array<int, 3> rgb8{};
  bool known = true;
  std::string hex;  // "#rrggbb", empty when not known
};

// rgb is a swatch as read back into the tool's working image (integer
// layouts scaled to 0.0-1.0, VUYA converted to RGB).
SwatchNotation Notate(const std::array<float, 3>& rgb, PixelLayout layout);

// A palette colour as swatch files and the JSON readout hold it, and the
// encoding of its values: a scene-linear frame's colours sRGB-encoded, so
// that design tools show what the picture shows, unless keep_linear; every
// other frame's as they are (they are display-encoded already).
struct WrittenColour {
  SwatchNotation notation;
  ColourEncoding encoding = ColourEncoding::kSrgb;
};
WrittenColour NotateForFiles(const std::array<float, 3>& rgb, PixelLayout layout, bool scene_linear, bool keep_linear);

// The band as users see it everywhere (table, JSON, swatch files): 1, the
// darkest, to 5, the brightest.
constexpr int BandNumber(int band) { return band + 1; }

}  // namespace huewright

#endif
