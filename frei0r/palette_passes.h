// The filter's two passes over the palette core, in RGBA8888 frames: the
// measuring pass adds every pixel to a frame-local accumulator and copies
// the rows the painting pass would only copy; the painting pass draws the
// swatch strip (or every row when nothing was measured).
#ifndef HUEWRIGHT_FREI0R_PALETTE_PASSES_H
#define HUEWRIGHT_FREI0R_PALETTE_PASSES_H

#include <cstdint>

#include "band_accumulator.h"
#include "band_stats.h"
#include "pixel_refcon.h"

namespace frei0r_filter {

// Rows of exactly width pixels of four bytes, top row first. in may equal out.
struct RgbaFrame {
  const uint32_t* in;
  uint32_t* out;
  int32_t width;
  int32_t height;
};

// One frame's band sums and counts, measured on the calling thread. With
// painted_next, the rows outside the swatch strip are copied to the output as
// they are measured; without, every row is.
class FrameMeasurement {
 public:
  FrameMeasurement(const RgbaFrame& frame, bool painted_next);
  // stats' RGB bands become this frame's averages times gain.
  void PublishInto(BandStats& stats, double gain) const;

 private:
  BandAccumulator accumulator_;
};

// Paints the swatch strip from palette; the rows outside it too when
// only_strip is false (no measurement copied them).
void PaintFrame(const RgbaFrame& frame, const BandPalette& palette, bool only_strip);

}  // namespace frei0r_filter

#endif
