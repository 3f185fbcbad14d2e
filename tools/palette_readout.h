// The palette of a rendered frame as a user sees it: the five swatch colours
// read back from the output at the centre of each cell, and the number of
// input pixels in each brightness band, counted by the effect's own band
// rule (palette/) over the frame handed to it.
#ifndef HUEWRIGHT_TOOLS_PALETTE_READOUT_H
#define HUEWRIGHT_TOOLS_PALETTE_READOUT_H

#include <array>
#include <cstdint>

#include "layout_convert.h"
#include "minihost.h"

namespace huewright {

inline constexpr int kBands = 5;

struct BandReadout {
  std::array<float, 3> rgb{};  // 0.0-1.0 for integer layouts, VUYA as the RGB it stands for
  int64_t count = 0;
};
using PaletteReadout = std::array<BandReadout, kBands>;

// Pixel (x, y) at the centre of swatch cell k of a width x height frame.
struct CellCentre {
  int x, y;
};
CellCentre SwatchCentre(int band, int width, int height);

std::array<int64_t, kBands> CountBands(const minihost::World& input);
PaletteReadout ReadPalette(const minihost::World& input, const minihost::World& output);

}  // namespace huewright

#endif
