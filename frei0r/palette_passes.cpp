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

// Every row adds into the accumulator's one row: the sums of 8-bit pixels are
// whole numbers, the same in any order, and one row's cells cost less to
// clear and merge than a frame's. (A float layout's sums would depend on the
// order: the effect keeps a row's cells apart.)
FrameMeasurement::FrameMeasurement(const RgbaFrame& frame, bool painted_next) : accumulator_(true, 1) {
  static_assert(kFrameLayout == PixelLayout::kRgba8);
  PixelRefcon refcon = RefconFor(frame);
  refcon.accumulator = &accumulator_;
  const LayoutInfo& layout = LayoutOf(kFrameLayout);
  auto into_one_row = [](RowFunction analyse) {
    return [analyse](PixelRefcon* record, int32_t, const void* in, void* out, int32_t width) {
      analyse(record, 0, in, out, width);
    };
  };
  MeasureFrameRows(InputRows(frame), OutputRows(frame), frame.height, refcon, into_one_row(layout.analyse_row),
                   into_one_row(layout.analyse_and_copy_row),
                   painted_next ? RowsCopied::kOutsideStrip : RowsCopied::kEvery);
}

void PaintFrame(const RgbaFrame& frame, const BandPalette& palette, bool only_strip) {
  PixelRefcon refcon = RefconFor(frame);
  refcon.palette = &palette;
  DrawFrameRows(InputRows(frame), OutputRows(frame), frame.height, refcon, LayoutOf(kFrameLayout).draw_row, only_strip);
}

}  // namespace frei0r_filter
