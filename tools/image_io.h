// Reading and writing image files through OpenImageIO. Every image becomes
// RGBA floats (integer files scaled to 0.0-1.0, float files as stored); the
// file's format and sample type are kept so that the output can match them.
#ifndef HUEWRIGHT_TOOLS_IMAGE_IO_H
#define HUEWRIGHT_TOOLS_IMAGE_IO_H

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "depth_choice.h"

namespace huewright {

enum class SampleType { UInt8, UInt16, Half, Float };

std::optional<SampleType> ParseSampleType(std::string_view text);
std::string_view SampleTypeName(SampleType type);

struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<float> pixels;  // width * height * 4, rows top to bottom

  float* Row(int y) { return pixels.data() + static_cast<std::size_t>(y) * width * 4; }
  const float* Row(int y) const { return pixels.data() + static_cast<std::size_t>(y) * width * 4; }
};

struct ImageFile {
  RgbaImage image;
  std::string format;       // OpenImageIO's name: "png", "openexr", ...
  SampleType sample_type = SampleType::UInt8;
  SampleFacts samples;      // integer or not, bits per sample (10 for a 10-bit DPX)
  bool has_alpha = false;
};

// Throws ToolError naming the file: missing, unreadable, damaged, or with a
// channel layout other than grey, grey+alpha, RGB or RGBA.
ImageFile ReadImage(const std::string& path);

struct WriteSettings {
  std::optional<SampleType> sample_type;  // default: the source's type
  bool no_clobber = false;                // refuse to replace an existing file
};

// Writes `image` with the alpha and sample type of `source`, in the format
// the path's extension names, through a temporary file renamed into place.
void WriteImage(const std::string& path, const RgbaImage& image, const ImageFile& source,
                const WriteSettings& settings);

}  // namespace huewright

#endif
