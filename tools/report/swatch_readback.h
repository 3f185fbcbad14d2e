// The palette of a rendered frame as a user sees it: the five swatch colours
// read back from the output at the centre of each cell, and the number of
// pixels in each brightness band, measured by the tool with the effect's own
// band rule (palette/). The same arithmetic turns a palette the effect does
// not paint (visible pixels only, a whole shot) into the colours the frame's
// format would hold.
#ifndef HUEWRIGHT_TOOLS_SWATCH_READBACK_H
#define HUEWRIGHT_TOOLS_SWATCH_READBACK_H

#include <array>
#include <cstdint>

#include "frame_measure.h"
#include "minihost_layouts.h"
#include "minihost.h"

namespace huewright {

inline constexpr int kBands = 5;

struct BandReadout {
  std::array<float, 3> rgb{};  // as in the output image: 0.0-1.0 for integer layouts
  int64_t count = 0;
};
using PaletteReadout = std::array<BandReadout, kBands>;

// The band sums and counts of a host world in its own layout; alpha 0 left
// out on request.
FrameBands MeasureWorld(const minihost::World& world, bool skip_transparent);

// What the effect paints from these bands in this layout: its publishing
// step (averaging, with the gain where the layout applies it, and the
// layout's clamp) and its writer, read back as an output image is. The
// counts are the bands'.
PaletteReadout PaintedFromBands(const FrameBands& bands, PixelLayout layout, double gain);

// The swatches read back from a rendered frame, with the counts of bands. A
// frame too small to hold a cell (a strip of no rows, a cell of no columns)
// takes that band's colour from PaintedFromBands.
PaletteReadout ReadPalette(const FrameBands& bands, const minihost::World& output, double gain);

}  // namespace huewright

#endif
