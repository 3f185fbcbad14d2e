// The filter's two passes over the palette core, in RGBA8888 frames: the
// measuring pass adds every pixel to a frame-local accumulator, the painting
// pass draws the swatches and copies every other pixel.
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

// One frame's band sums and counts, measured on the calling thread.
class FrameMeasurement {
 public:
  explicit FrameMeasurement(const RgbaFrame& frame);
  const BandAccumulator& accumulator() const { return accumulator_; }

 private:
  BandAccumulator accumulator_;
};

void PaintFrame(const RgbaFrame& frame, const BandPalette& palette);

}  // namespace frei0r_filter

#endif
