// Hosts that cut one row into pieces for several threads. The analysis
// cells are keyed by row on the assumption that a row stays on one thread;
// pieces of one row running at the same time overwrite each other's
// additions to that row's cells. The counts are where that shows: after a
// pass the host reports complete, every row of the area it covered must
// have counted the area's width. When one falls short, the frame is measured
// again on the calling thread, through the same analyser, into a fresh
// accumulator, so the palette is right in any host. (A loss confined to the
// sums of a cell whose count survived escapes the check; the counts catch
// the common case at the cost of one look at each row after the pass.)
#ifndef HUEWRIGHT_PALETTE_SPLIT_ROWS_H
#define HUEWRIGHT_PALETTE_SPLIT_ROWS_H

#include <cstddef>
#include <cstdint>

#include "band_accumulator.h"
#include "frame_measure.h"
#include "layout_table.h"
#include "pixel_refcon.h"

// Whether rows 0..rows-1 of a pass each counted exactly width pixels; true
// for a disabled accumulator, which counts nothing.
bool EveryRowCounted(const BandAccumulator& pass, int32_t rows, int32_t width);

// Every pixel of frame through the layout's analyser into fresh, row by
// row from the top and left to right, on the calling thread. Before each
// row stop() is asked (a host's abort check); its first non-zero code ends
// the walk and is returned, else 0. The frame is only read: the analyser's
// output pixel is a spare one. The layout must be one palette measures.
template <class Stop>
int32_t MeasureFrameAgain(BandAccumulator& fresh, const LayoutInfo& layout, const FrameView& frame, Stop&& stop) {
  PixelRefcon refcon{};
  refcon.accumulator = &fresh;
  const auto* first_row = static_cast<const unsigned char*>(frame.pixels);
  for (int32_t y = 0; y < frame.height; ++y) {
    if (const int32_t code = stop()) return code;
    const unsigned char* row = first_row + y * frame.rowbytes;
    for (int32_t x = 0; x < frame.width; ++x) {
      alignas(16) unsigned char spare[16];
      layout.analyse(&refcon, x, y, row + static_cast<std::size_t>(x) * layout.pixel_bytes, spare);
    }
  }
  return 0;
}

#endif
