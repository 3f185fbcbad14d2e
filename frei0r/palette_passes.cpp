#include "palette_passes.h"

#include "analysers.h"
#include "swatch_layout.h"
#include "writers.h"

namespace frei0r_filter {

namespace {

using RgbaPixelFunction = int32_t (*)(void*, int32_t, int32_t, PF_Pixel8*, PF_Pixel8*);

PixelRefcon RefconFor(const RgbaFrame& frame) {
  PixelRefcon refcon{};
  refcon.frame_width = static_cast<double>(frame.width);
  refcon.frame_height = static_cast<double>(frame.height);
  PrepareSwatchBounds(refcon);
  return refcon;
}

// Every pixel, row by row, left to right. Neither pass writes through the
// input pointer, which the pixel functions' shape leaves non-const.
void WalkRgbaFrame(const RgbaFrame& frame, PixelRefcon& refcon, RgbaPixelFunction fn) {
  const auto width = static_cast<std::size_t>(frame.width);
  for (int32_t y = 0; y < frame.height; ++y) {
    const std::size_t row_start = static_cast<std::size_t>(y) * width;
    PF_Pixel8* in = const_cast<PF_Pixel8*>(frame.in) + row_start;
    PF_Pixel8* out = frame.out + row_start;
    for (int32_t x = 0; x < frame.width; ++x) fn(&refcon, x, y, in + x, out + x);
  }
}

}  // namespace

FrameMeasurement::FrameMeasurement(const RgbaFrame& frame) : accumulator_(true, frame.height) {
  PixelRefcon refcon = RefconFor(frame);
  refcon.accumulator = &accumulator_;
  WalkRgbaFrame(frame, refcon, AnalyzeRgba8);
}

void FrameMeasurement::PublishInto(BandStats& stats, double gain) const {
  ResetRgbBands(stats);
  accumulator_.MergeInto(stats.rgb_sums, stats.counts);
  NormaliseRgbBands(stats, gain);
}

void PaintFrame(const RgbaFrame& frame, const BandPalette& palette) {
  PixelRefcon refcon = RefconFor(frame);
  refcon.palette = &palette;
  WalkRgbaFrame(frame, refcon, DrawRgba8);
}

}  // namespace frei0r_filter
