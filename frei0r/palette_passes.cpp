#include "palette_passes.h"

#include <cstddef>

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

// Every row, top down, rows packed.
void WalkRgbaFrame(const RgbaFrame& frame, PixelRefcon& refcon, RowFunction fn) {
  const std::ptrdiff_t rowbytes = std::ptrdiff_t{frame.width} * LayoutOf(kFrameLayout).pixel_bytes;
  WalkRows(FrameRows<const void>{frame.in, frame.width, rowbytes}, FrameRows<void>{frame.out, frame.width, rowbytes},
           frame.height, &refcon, fn);
}

}  // namespace

FrameMeasurement::FrameMeasurement(const RgbaFrame& frame) : accumulator_(true, frame.height) {
  PixelRefcon refcon = RefconFor(frame);
  refcon.accumulator = &accumulator_;
  WalkRgbaFrame(frame, refcon, LayoutOf(kFrameLayout).analyse_row);
}

void PaintFrame(const RgbaFrame& frame, const BandPalette& palette) {
  PixelRefcon refcon = RefconFor(frame);
  refcon.palette = &palette;
  WalkRgbaFrame(frame, refcon, LayoutOf(kFrameLayout).draw_row);
}

}  // namespace frei0r_filter
