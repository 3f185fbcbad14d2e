// How a frame's colour values are encoded, and the sRGB curve that turns
// scene-linear averages into the display colours design tools expect.
#ifndef HUEWRIGHT_TOOLS_COLOUR_ENCODING_H
#define HUEWRIGHT_TOOLS_COLOUR_ENCODING_H

#include <string_view>

namespace huewright {

struct SourceImage;

enum class ColourEncoding { kSrgb, kLinear };

// "srgb" or "linear", as the JSON readout names it.
std::string_view EncodingName(ColourEncoding encoding);

// Whether the frame's values are proportional to light, by the colour space
// OpenImageIO reports for it ("oiio:ColorSpace", "oiio:Gamma"). A file that
// says nothing is linear when it is an EXR or holds float samples (renderers
// and compositors write linear light there), display-encoded otherwise.
// Decoded video is always display-encoded.
bool IsSceneLinear(const SourceImage& image);

// The standard sRGB transfer function, piecewise: 12.92 x up to 0.0031308,
// 1.055 x^(1/2.4) - 0.055 above. Values above 1 follow the curve on, negative
// values mirror it, NaN stays NaN: nothing is clamped here.
double SrgbFromLinear(double linear);

}  // namespace huewright

#endif
