// The palette of a rendered frame as a user sees it: the five swatch colours
// read back from the output at the centre of each cell, and the number of
// input pixels in each brightness band, counted here independently of the
// effect by the same band rule.
#ifndef HUEWRIGHT_TOOLS_PALETTE_READOUT_H
#define HUEWRIGHT_TOOLS_PALETTE_READOUT_H

#include <array>
#include <cstdint>

#include "image_io.h"
#include "layout_convert.h"
#include "minihost.h"

namespace huewright {

inline constexpr int kBands = 5;

struct BandReadout {
  std::array<float, 3> rgb{};  // as in the output image: 0.0-1.0 for integer layouts
  int64_t count = 0;
};
using PaletteReadout = std::array<BandReadout, kBands>;

// Half-open bands split at 0.2, 0.4, 0.6 and 0.8; NaN falls in band 0.
int BandOf(double brightness);
double Brightness8(int32_t red, int32_t green, int32_t blue);
double Brightness16(int32_t red, int32_t green, int32_t blue);
double BrightnessFloat(float red, float green, float blue);

// Pixel (x, y) at the centre of swatch cell k of a width x height frame.
struct CellCentre {
  int x, y;
};
CellCentre SwatchCentre(int band, int width, int height);

std::array<int64_t, kBands> CountBands(const minihost::World& input, HostLayout layout);
PaletteReadout ReadPalette(const minihost::World& input, const RgbaImage& output, HostLayout layout);

}  // namespace huewright

#endif
