#include "palette_passes.h"

#include "frame_passes.h"
#include "row_functions.h"
#include "swatch_layout.h"

namespace frei0r_filter {

namespace {

PixelRefcon RefconFor(const RgbaFrame& frame) {
  PixelRefcon refcon{};
  refcon.frame_width = static_cast<double>(frame.width);
  refcon.frame_height = static_cast<double>(frame.height);
  PrepareSwatchBounds(refcon);
  return refcon;
}

FrameRows RowsOf(const RgbaFrame& frame) {
  const std::ptrdiff_t rowbytes = static_cast<std::ptrdiff_t>(frame.width) * 4;
  return {frame.in, rowbytes, frame.out, rowbytes, frame.width, frame.height};
}

}  // namespace

FrameMeasurement::FrameMeasurement(const RgbaFrame& frame, bool painted_next) : accumulator_(true, frame.height) {
  PixelRefcon refcon = RefconFor(frame);
  refcon.accumulator = &accumulator_;
  MeasureFrameRows(RowsOf(frame), refcon, AnalyzeRgba8Row, AnalyzeRgba8RowAndCopy,
                   painted_next ? RowsCopied::kOutsideStrip : RowsCopied::kEvery);
}

void FrameMeasurement::PublishInto(BandStats& stats, double gain) const {
  ResetRgbBands(stats);
  accumulator_.MergeInto(stats.rgb_sums, stats.counts);
  NormaliseRgbBands(stats, gain);
}

void PaintFrame(const RgbaFrame& frame, const BandPalette& palette, bool only_strip) {
  PixelRefcon refcon = RefconFor(frame);
  refcon.palette = &palette;
  DrawFrameRows(RowsOf(frame), refcon, DrawRgba8Row, only_strip);
}

}  // namespace frei0r_filter
