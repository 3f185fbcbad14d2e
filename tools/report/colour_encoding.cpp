#include "colour_encoding.h"

#include <cctype>
#include <cmath>
#include <string>

#include "image_file.h"

namespace huewright {
namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// OpenImageIO 2.4 says "Linear"; later releases and OCIO configs say
// "lin_rec709", "scene_linear", "ACEScg", "Utility - Linear - sRGB", ...
// Every other name ("sRGB", "Rec709", "GammaCorrected2.2", "g22_rec709")
// is a display encoding.
bool NamesLinearSpace(const std::string& name) {
  const std::string space = Lower(name);
  return space.rfind("lin_", 0) == 0 || space.find("linear") != std::string::npos ||
         space.find("acescg") != std::string::npos || space.find("aces2065") != std::string::npos;
}

}  // namespace

std::string_view EncodingName(ColourEncoding encoding) {
  return encoding == ColourEncoding::kLinear ? "linear" : "srgb";
}

bool IsSceneLinear(const SourceImage& image) {
  if (image.movie) return false;
  const OIIO::ImageSpec& header = image.Rendered().image_spec;
  const std::string space = header.get_string_attribute("oiio:ColorSpace");
  if (!space.empty()) return NamesLinearSpace(space);
  if (header.get_float_attribute("oiio:Gamma", 0.0f) == 1.0f) return true;
  return image.format == "openexr" || !image.samples.integer;
}

double SrgbFromLinear(double linear) {
  if (std::isnan(linear)) return linear;
  const double magnitude = std::fabs(linear);
  const double encoded = magnitude <= 0.0031308 ? 12.92 * magnitude : 1.055 * std::pow(magnitude, 1.0 / 2.4) - 0.055;
  return std::copysign(encoded, linear);
}

}  // namespace huewright
