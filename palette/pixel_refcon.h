// The record a render hands to every per-pixel function of its two passes.
#ifndef HUEWRIGHT_PALETTE_PIXEL_REFCON_H
#define HUEWRIGHT_PALETTE_PIXEL_REFCON_H

#include <cstdint>

#include "band_stats.h"

class BandAccumulator;

// The band averages one drawing pass paints, copied out of BandStats inside
// the render's critical section so that a frame never mixes two palettes.
struct BandPalette {
  BandSums rgb{};
  BandSums yuv{};
};

struct PixelRefcon {
  double frame_width;
  double frame_height;
  uint8_t draw_enabled;
  double gain;
  // Opaque to the host. The analysers add to accumulator; the writers paint
  // palette. Either may be null where its pass does not run.
  BandAccumulator* accumulator;
  const BandPalette* palette;
};

BandPalette CopyPalette(const BandStats& stats);

#endif
