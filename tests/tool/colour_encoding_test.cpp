// Which inputs count as scene-linear, the sRGB curve at its known points,
// and the colours swatch files and the JSON hold for each kind of input.
#include "colour_encoding.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "image_file.h"
#include "swatch_notation.h"

namespace huewright {
namespace {

TEST(ColourEncoding, SrgbCurveAtKnownPoints) {
  const double edge = 0.0031308;
  struct Point {
    double linear, encoded, tolerance;
  };
  const Point points[] = {
      {0.0, 0.0, 0.0},
      {edge, 0.04045, 1e-6},            // where the straight part meets the power curve
      {0.001, 0.01292, 1e-12},          // the straight part
      {0.18, 0.46135612950044, 1e-12},  // mid grey: 118 of 255
      {0.5, 0.73535698305245, 1e-12},
      {1.0, 1.0, 1e-12},
      {2.0, 1.35325604614939, 1e-12},     // no clamp: brighter than white stays brighter
      {-0.18, -0.46135612950044, 1e-12},  // negative values mirror the curve
  };
  for (const Point& p : points) EXPECT_NEAR(SrgbFromLinear(p.linear), p.encoded, p.tolerance) << p.linear;
  EXPECT_NEAR(SrgbFromLinear(std::nextafter(edge, 1.0)), SrgbFromLinear(edge), 1e-7) << "the two parts meet";
  EXPECT_TRUE(std::isnan(SrgbFromLinear(std::numeric_limits<double>::quiet_NaN())));
}

struct SourceCase {
  const char* name;
  const char* format;
  OIIO::TypeDesc type;
  const char* colour_space;  // "" for none
  float gamma;               // 0 for none
  bool movie;
  bool linear;
};

TEST(ColourEncoding, SceneLinearByColourSpaceThenByFormat) {
  const SourceCase cases[] = {
      {"exr saying nothing", "openexr", OIIO::TypeDesc::HALF, "", 0, false, true},
      {"exr saying sRGB", "openexr", OIIO::TypeDesc::HALF, "sRGB", 0, false, false},
      {"jpeg", "jpeg", OIIO::TypeDesc::UINT8, "sRGB", 0, false, false},
      {"png as read", "png", OIIO::TypeDesc::UINT8, "Rec709", 0, false, false},
      {"png gamma 1", "png", OIIO::TypeDesc::UINT16, "", 1.0f, false, true},
      {"8-bit tiff saying nothing", "tiff", OIIO::TypeDesc::UINT8, "", 0, false, false},
      {"float tiff saying nothing", "tiff", OIIO::TypeDesc::FLOAT, "", 0, false, true},
      {"float tiff saying sRGB", "tiff", OIIO::TypeDesc::FLOAT, "sRGB", 0, false, false},
      {"ACEScg", "openexr", OIIO::TypeDesc::HALF, "ACES - ACEScg", 0, false, true},
      {"OCIO utility linear", "tiff", OIIO::TypeDesc::UINT16, "Utility - Linear - sRGB", 0, false, true},
      {"g22_rec709", "openexr", OIIO::TypeDesc::HALF, "g22_rec709", 0, false, false},
      {"movie", "FFmpeg movie", OIIO::TypeDesc::UINT8, "", 0, true, false},
  };
  for (const SourceCase& c : cases) {
    SourceImage image;
    image.format = c.format;
    image.movie = c.movie;
    image.samples.integer = !c.type.is_floating_point();
    OIIO::ImageSpec header(8, 8, 3, c.type);
    if (c.colour_space[0]) header.attribute("oiio:ColorSpace", c.colour_space);
    if (c.gamma != 0) header.attribute("oiio:Gamma", c.gamma);
    // The part the effect renders decides, not the first.
    image.parts = {{OIIO::ImageSpec(8, 8, 3, OIIO::TypeDesc::UINT8), {}}, {header, {}}};
    image.parts[0].image_spec.attribute("oiio:ColorSpace", c.linear ? "sRGB" : "Linear");
    image.part = 1;
    EXPECT_EQ(IsSceneLinear(image), c.linear) << c.name;
  }
}

// A frame's colour written to files: display frames as they are, linear
// ones sRGB-encoded unless kept linear.
struct WrittenCase {
  const char* name;
  float red;
  PixelLayout layout;
  bool scene_linear, keep_linear;
  ColourEncoding encoding;
  const char* hex;
  const char* red_text;
};

TEST(ColourEncoding, FilesHoldDisplayColoursUnlessKeptLinear) {
  using enum ColourEncoding;
  const WrittenCase cases[] = {
      {"8-bit display, kept", 118 / 255.0f, PixelLayout::kArgb8, false, true, kSrgb, "#7600ff", "0.463"},
      {"float linear", 0.18f, PixelLayout::kArgbFloat, true, false, kSrgb, "#7600ff", "0.46135613"},
      {"float linear, kept", 0.18f, PixelLayout::kArgbFloat, true, true, kLinear, "#2e00ff", "0.18"},
      // The 16-bit level nearest 0.5 is encoded, and written as a float.
      {"16-bit linear", 0.5f, PixelLayout::kArgb16, true, false, kSrgb, "#bc00ff", "0.735357"},
      {"above white", 2.0f, PixelLayout::kBgraFloat, true, false, kSrgb, "#ff00ff", "1.353256"},
      {"not a number", NAN, PixelLayout::kArgbFloat, true, false, kSrgb, "", "nan"},
  };
  for (const WrittenCase& c : cases) {
    const WrittenColour written = NotateForFiles({c.red, 0, 1}, c.layout, c.scene_linear, c.keep_linear);
    EXPECT_EQ(written.encoding, c.encoding) << c.name;
    EXPECT_EQ(written.notation.hex, c.hex) << c.name;
    EXPECT_EQ(written.notation.unit_text[0], c.red_text) << c.name;
    EXPECT_EQ(written.notation.unit[1], 0.0) << c.name << ": black stays black";
  }
}

}  // namespace
}  // namespace huewright
