// Which inputs count as scene-linear, the sRGB curve at its known points,
// and the colours swatch files and the JSON hold for each kind of input.
#include "colour_encoding.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "image_file.h"
#include "swatch_export.h"

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
      {"exr as read", "openexr", OIIO::TypeDesc::HALF, "Linear", 0, false, true},
      {"exr saying sRGB", "openexr", OIIO::TypeDesc::HALF, "sRGB", 0, false, false},
      {"jpeg", "jpeg", OIIO::TypeDesc::UINT8, "sRGB", 0, false, false},
      {"png as read", "png", OIIO::TypeDesc::UINT8, "Rec709", 0, false, false},
      {"png gamma 1", "png", OIIO::TypeDesc::UINT16, "", 1.0f, false, true},
      {"png gamma 2.2", "png", OIIO::TypeDesc::UINT8, "", 2.2f, false, false},
      {"8-bit tiff saying nothing", "tiff", OIIO::TypeDesc::UINT8, "", 0, false, false},
      {"float tiff saying nothing", "tiff", OIIO::TypeDesc::FLOAT, "", 0, false, true},
      {"float tiff saying sRGB", "tiff", OIIO::TypeDesc::FLOAT, "sRGB", 0, false, false},
      {"16-bit tiff lin_rec709", "tiff", OIIO::TypeDesc::UINT16, "lin_rec709", 0, false, true},
      {"ACEScg", "openexr", OIIO::TypeDesc::HALF, "ACES - ACEScg", 0, false, true},
      {"OCIO utility linear", "tiff", OIIO::TypeDesc::UINT16, "Utility - Linear - sRGB", 0, false, true},
      {"g22_rec709", "openexr", OIIO::TypeDesc::HALF, "g22_rec709", 0, false, false},
      {"dpx log", "dpx", OIIO::TypeDesc::UINT16, "KodakLog", 0, false, false},
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

struct WrittenCase {
  const char* name;
  std::array<float, 3> rgb;
  PixelLayout layout;
  bool scene_linear, keep_linear;
  ColourEncoding encoding;
  const char* hex;
  const char* red;
};

TEST(ColourEncoding, FilesHoldDisplayColoursUnlessKeptLinear) {
  const WrittenCase cases[] = {
      // Display-encoded frames are written as they are, whatever the option.
      {"8-bit display",
       {118 / 255.0f, 0, 1},
       PixelLayout::kArgb8,
       false,
       false,
       ColourEncoding::kSrgb,
       "#7600ff",
       "0.463"},
      {"8-bit display, kept",
       {118 / 255.0f, 0, 1},
       PixelLayout::kArgb8,
       false,
       true,
       ColourEncoding::kSrgb,
       "#7600ff",
       "0.463"},
      {"float linear",
       {0.18f, 0, 1},
       PixelLayout::kArgbFloat,
       true,
       false,
       ColourEncoding::kSrgb,
       "#7600ff",
       "0.46135613"},
      {"float linear, kept",
       {0.18f, 0, 1},
       PixelLayout::kArgbFloat,
       true,
       true,
       ColourEncoding::kLinear,
       "#2e00ff",
       "0.18"},
      // The 16-bit level nearest 0.5 is encoded, and written as a float.
      {"16-bit linear", {0.5f, 0, 1}, PixelLayout::kArgb16, true, false, ColourEncoding::kSrgb, "#bc00ff", "0.735357"},
      {"above white", {2.0f, 0, 1}, PixelLayout::kBgraFloat, true, false, ColourEncoding::kSrgb, "#ff00ff", "1.353256"},
      {"not a number", {NAN, 0, 1}, PixelLayout::kArgbFloat, true, false, ColourEncoding::kSrgb, "", "nan"},
  };
  for (const WrittenCase& c : cases) {
    const WrittenColour written = NotateForFiles(c.rgb, c.layout, c.scene_linear, c.keep_linear);
    EXPECT_EQ(written.encoding, c.encoding) << c.name;
    EXPECT_EQ(written.notation.hex, c.hex) << c.name;
    EXPECT_EQ(written.notation.unit_text[0], c.red) << c.name;
    EXPECT_EQ(written.notation.unit[1], 0.0) << c.name << ": black stays black";
  }
}

TEST(ColourEncoding, ColoursBeyondUnitRangeAreCountedOncePerColour) {
  SwatchGroup group;
  const std::array<float, 3> colours[kBands] = {
      {0.5f, 0.5f, 0.5f}, {1.5f, 2.0f, 0.5f}, {-0.1f, 0, 0}, {NAN, 0, 0}, {1, 1, 1}};
  for (int band = 0; band < kBands; ++band) group.colours[band] = Notate(colours[band], PixelLayout::kArgbFloat);
  EXPECT_EQ(ColoursBeyondUnitRange({group, group}), 4) << "two per group: above 1, below 0; NaN and 0-1 are not";
}

}  // namespace
}  // namespace huewright
