// The palette command's output: a table for people, JSON for programs.
#ifndef HUEWRIGHT_TOOLS_TABLE_AND_JSON_H
#define HUEWRIGHT_TOOLS_TABLE_AND_JSON_H

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "swatch_readback.h"

namespace huewright {

struct FramePalette {
  int number = 0;
  std::string input;
  int width = 0, height = 0;
  bool toggled_before = false;
  // Analysis was off: the colours (and the counts beside them) are those of
  // frame measured_on, or of no frame when nothing had been measured yet.
  bool frozen = false;
  std::optional<int> measured_on;
  PixelLayout layout = PixelLayout::kArgb8;  // the world the frame rendered in
  PaletteReadout palette;
  bool scene_linear = false;  // the input's values are proportional to light
};

// Every frame's pixels measured together: counts added, averages weighted.
struct ShotPalette {
  int first = 0, last = 0;
  std::size_t frame_count = 0;
  PixelLayout layout = PixelLayout::kArgb8;
  PaletteReadout palette;
  bool scene_linear = false;  // of every frame: sums of linear and display values do not add up
};

// The frame that stopped the run, and why.
struct FrameFailure {
  int number = 0;
  std::string input;
  std::string reason;
};

struct PaletteReport {
  std::string host;
  bool ignore_transparent = false;
  // --linear-swatches: the JSON and swatch files keep a scene-linear frame's
  // colours linear. The table always shows the values as the frame holds them.
  bool keep_linear = false;
  std::vector<FramePalette> frames;  // those that succeeded, in order
  std::optional<ShotPalette> shot;
  std::optional<FrameFailure> failure;
};

void PrintPaletteTable(std::ostream& out, const PaletteReport& report);
// Colour values that are not numbers become null, which JSON can hold.
// Each band names the encoding of its colours ("encoding": "srgb" or
// "linear"), which follow NotateForFiles.
void PrintPaletteJson(std::ostream& out, const PaletteReport& report);

}  // namespace huewright

#endif
