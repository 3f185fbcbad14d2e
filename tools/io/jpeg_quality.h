// The quality a JPEG file was saved at, which OpenImageIO does not report:
// found again from its luminance quantisation table, which libjpeg (and
// most encoders) derive from the standard table by one scaling per quality.
#ifndef HUEWRIGHT_TOOLS_JPEG_QUALITY_H
#define HUEWRIGHT_TOOLS_JPEG_QUALITY_H

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace huewright {

// The quality (1-100) whose scaled standard table is nearest to `table`
// (64 entries in the file's zigzag order).
int QualityOfLumaTable(const std::array<uint16_t, 64>& table);

// The quality of the JPEG file at `path`, or nothing when it cannot be read
// or holds no luminance table before its image data.
std::optional<int> JpegQuality(const std::string& path);

}  // namespace huewright

#endif
