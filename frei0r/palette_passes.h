// The filter's two passes over the palette core, in RGBA8888 frames: the
// measuring pass adds every pixel to a frame-local accumulator, the painting
// pass draws the swatches and copies every other pixel.
#ifndef HUEWRIGHT_FREI0R_PALETTE_PASSES_H
#define HUEWRIGHT_FREI0R_PALETTE_PASSES_H

#include <cstdint>

#include "band_accumulator.h"
#include "band_stats.h"
#include "pf_pixels.h"
#include "pixel_refcon.h"

namespace frei0r_filter {

// Rows of exactly width pixels, top row first. in may equal out.
struct RgbaFrame {
  const PF_Pixel8* in;
  PF_Pixel8* out;
  int32_t width;
  int32_t height;
};

// One frame's band sums and counts, measured on the calling thread.
class FrameMeasurement {
 public:
  explicit FrameMeasurement(const RgbaFrame& frame);
  // stats' RGB bands become this frame's averages times gain.
  void PublishInto(BandStats& stats, double gain) const;

 private:
  BandAccumulator accumulator_;
};

void PaintFrame(const RgbaFrame& frame, const BandPalette& palette);

}  // namespace frei0r_filter

#endif
