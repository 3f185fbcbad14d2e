// A whole frame measured outside a render, on the calling thread, with the
// analysis pass's own band rule and per-layout arithmetic: for tools that
// want a palette the effect does not paint, such as the palette of the
// visible pixels only.
#ifndef HUEWRIGHT_PALETTE_FRAME_MEASURE_H
#define HUEWRIGHT_PALETTE_FRAME_MEASURE_H

#include <cstddef>
#include <cstdint>

#include "band_stats.h"

enum class PixelLayout : uint8_t;

// Rows of pixels of one layout; rowbytes is the distance between row starts.
struct FrameView {
  const void* pixels;
  int32_t width;
  int32_t height;
  std::ptrdiff_t rowbytes;
};

// Band sums before averaging, in the model the layout fills (luma and colour
// differences for VUYA, red, green, blue otherwise), and 64-bit counts, so
// that the bands of many frames can be added up.
struct FrameBands {
  BandSums sums{};
  int64_t counts[kBandCount]{};
};

// Pixels whose alpha is exactly 0 are left out when skip_transparent is
// set; the effect itself measures every pixel. Throws std::invalid_argument
// for a layout palette/ does not measure.
FrameBands MeasureFrame(PixelLayout layout, const FrameView& frame, bool skip_transparent);

// Adds the sums and counts of more into total.
void AddFrameBands(FrameBands& total, const FrameBands& more);

#endif
