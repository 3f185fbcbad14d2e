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

#include <cstdint>

#include "band_accumulator.h"
#include "frame_measure.h"
#include "pixel_refcon.h"

// Whether rows 0..rows-1 of a pass each counted exactly width pixels; true
// for a disabled accumulator, which counts nothing.
bool EveryRowCounted(const BandAccumulator& pass, int32_t rows, int32_t width);

// The host's pixel callback shape that the analysers have.
template <class Pixel>
using PixelAnalyser = int32_t (*)(void* refcon, int32_t x, int32_t y, Pixel* in, Pixel* out);

// Every pixel of frame through analyse into fresh, row by row from the top
// and left to right, on the calling thread. Before each row stop() is asked
// (a host's abort check); its first non-zero code ends the walk and is
// returned, else 0. The frame is only read: the analyser's output pixel is
// a spare one.
template <class Pixel, class Stop>
int32_t MeasureFrameAgain(BandAccumulator& fresh, PixelAnalyser<Pixel> analyse, const FrameView& frame, Stop&& stop) {
  PixelRefcon refcon{};
  refcon.accumulator = &fresh;
  const auto* row = static_cast<const unsigned char*>(frame.pixels);
  for (int32_t y = 0; y < frame.height; ++y, row += frame.rowbytes) {
    if (const int32_t code = stop()) return code;
    // The callback shape takes in as non-const; analysers only read it.
    auto* pixels = reinterpret_cast<Pixel*>(const_cast<unsigned char*>(row));
    for (int32_t x = 0; x < frame.width; ++x) {
      Pixel spare;
      analyse(&refcon, x, y, pixels + x, &spare);
    }
  }
  return 0;
}

#endif
