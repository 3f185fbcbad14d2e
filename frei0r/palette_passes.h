// The filter's two passes over the palette core, in RGBA8888 frames: the
// measuring pass adds every pixel to a frame-local accumulator and copies
// the rows the painting pass would only copy; the painting pass draws the
// swatch strip (or every row when nothing was measured).
#ifndef HUEWRIGHT_FREI0R_PALETTE_PASSES_H
#define HUEWRIGHT_FREI0R_PALETTE_PASSES_H

#include <cstdint>

#include "band_accumulator.h"
#include "layout_table.h"
#include "pixel_refcon.h"

namespace frei0r_filter {

// frei0r's RGBA8888: bytes red, green, blue, alpha.
inline constexpr PixelLayout kFrameLayout = PixelLayout::kRgba8;

// Rows of exactly width pixels of kFrameLayout, top row first. in may equal
// out.
struct RgbaFrame {
  const void* in;
  void* out;
  int32_t width;
  int32_t height;
};

// One frame's band sums and counts, measured on the calling thread. With
// painted_next, the rows outside the swatch strip are copied to the output
// as they are measured; without, every row is.
class FrameMeasurement {
 public:
  FrameMeasurement(const RgbaFrame& frame, bool painted_next);
  const BandAccumulator& accumulator() const { return accumulator_; }

 private:
  BandAccumulator accumulator_;
};

// Paints the swatch strip from palette; the rows outside it too when
// only_strip is false (no measurement copied them).
void PaintFrame(const RgbaFrame& frame, const BandPalette& palette, bool only_strip);

}  // namespace frei0r_filter

#endif
