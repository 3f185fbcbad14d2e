#include "palette_passes.h"

#include <cstddef>

#include "frame_passes.h"
#include "row_walker.h"
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

FrameRows<const void> InputRows(const RgbaFrame& frame) {
  return {frame.in, frame.width, std::ptrdiff_t{frame.width} * LayoutOf(kFrameLayout).pixel_bytes};
}
FrameRows<void> OutputRows(const RgbaFrame& frame) {
  return {frame.out, frame.width, std::ptrdiff_t{frame.width} * LayoutOf(kFrameLayout).pixel_bytes};
}

}  // namespace

FrameMeasurement::FrameMeasurement(const RgbaFrame& frame, bool painted_next) : accumulator_(true, frame.height) {
  PixelRefcon refcon = RefconFor(frame);
  refcon.accumulator = &accumulator_;
  const LayoutInfo& layout = LayoutOf(kFrameLayout);
  MeasureFrameRows(InputRows(frame), OutputRows(frame), frame.height, refcon, layout.analyse_row,
                   layout.analyse_and_copy_row, painted_next ? RowsCopied::kOutsideStrip : RowsCopied::kEvery);
}

void PaintFrame(const RgbaFrame& frame, const BandPalette& palette, bool only_strip) {
  PixelRefcon refcon = RefconFor(frame);
  refcon.palette = &palette;
  DrawFrameRows(InputRows(frame), OutputRows(frame), frame.height, refcon, LayoutOf(kFrameLayout).draw_row, only_strip);
}

}  // namespace frei0r_filter
