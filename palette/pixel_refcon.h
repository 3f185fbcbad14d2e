// The record a render hands to every per-pixel function of its two passes.
#ifndef HUEWRIGHT_PALETTE_PIXEL_REFCON_H
#define HUEWRIGHT_PALETTE_PIXEL_REFCON_H

#include <cstdint>

#include "band_stats.h"
#include "pixels.h"

class BandAccumulator;

// The integer swatches of a palette, converted once per drawing pass rather
// than once per painted pixel. ready stays false in a palette filled by hand:
// the writers then convert the averages themselves.
struct SwatchPixels {
  Argb8Pixel argb8[kBandCount];
  Bgra8Pixel bgra8[kBandCount];
  Rgba8Pixel rgba8[kBandCount];
  Argb16Pixel argb16[kBandCount];
  Rgba16Pixel rgba16[kBandCount];
  bool ready;
};

// The band averages one drawing pass paints, copied out of BandStats inside
// the render's critical section so that a frame never mixes two palettes.
struct BandPalette {
  BandSums rgb{};
  BandSums yuv{};
  SwatchPixels swatches{};
};

// The swatch cells of one frame size in whole pixels, so that the drawing
// pass compares integers. Filled by PrepareSwatchBounds; until then ready is
// false and the writers use the exact double comparisons.
struct SwatchBounds {
  int64_t first_row;
  uint64_t row_count;  // rows first_row .. first_row + row_count - 1
  // Cell k spans columns column_edges[k] .. column_edges[k + 1] - 1.
  int64_t column_edges[kBandCount + 1];
  bool ready;
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
  SwatchBounds swatch;
  // Row functions that copy rows use streaming stores (row_stores.h): set
  // by a walk over a frame too large for the caches, which fences after.
  bool streams_copies;
};

// The palette to paint from stats, its swatches prepared.
BandPalette CopyPalette(const BandStats& stats);
// Converts palette's rgb averages into its integer swatches; call again after
// changing them.
void PrepareSwatchPixels(BandPalette& palette);

#endif
