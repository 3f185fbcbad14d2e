// The palette timeline: one column per frame, the five bands stacked from
// dark (bottom) to bright (top), each as tall as its share of the frame's
// pixels, frozen frames marked in a strip along the top and, for more than
// a handful of frames, frame numbers along the bottom.
#ifndef HUEWRIGHT_TOOLS_TIMELINE_IMAGE_H
#define HUEWRIGHT_TOOLS_TIMELINE_IMAGE_H

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "table_and_json.h"

namespace huewright {

struct TimelineColumn {
  int number = 0;
  bool frozen = false;
  std::array<int64_t, kBands> counts{};
  std::array<std::array<uint8_t, 3>, kBands> colours{};  // 8-bit RGB; grey for a colour that is not a number
};

// Where things sit, in pixels. Column i spans columns i * column_width to
// (i + 1) * column_width - 1; the bands fill rows band_top to
// band_top + band_rows - 1, band 0 at the bottom.
struct TimelineGeometry {
  int column_width = 0;
  int marker_rows = 8;  // rows 0-7: the frozen marker
  int band_top = 10;
  int band_rows = 240;
  int label_rows = 0;  // 14 below the bands when frames are numbered
  int width = 0, height = 0;
};

// More than this many frames get frame numbers along the bottom.
inline constexpr std::size_t kUnlabelledFrames = 5;

TimelineGeometry TimelineLayout(std::size_t columns);
// Heights that add up to rows (when any count is non-zero), each as near to
// its share as whole rows allow: floors, then the largest remainders.
std::array<int, kBands> BandHeights(const std::array<int64_t, kBands>& counts, int rows);
std::vector<TimelineColumn> TimelineColumns(const PaletteReport& report);
// 8-bit RGB, rows top to bottom, geometry.width * geometry.height pixels.
std::vector<uint8_t> DrawTimeline(const std::vector<TimelineColumn>& columns, const TimelineGeometry& geometry);
// Through OpenImageIO, in the format the extension names, via a temporary
// file; throws ToolError naming the file.
void WriteTimeline(const std::string& path, const PaletteReport& report);

}  // namespace huewright

#endif
