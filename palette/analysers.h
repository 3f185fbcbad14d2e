// The analysis pass's pixel and row functions, written once over the layout
// traits. Each finds a pixel's brightness band and adds its colour to the
// render's BandAccumulator (through the PixelRefcon) in the row of the
// pixel, when that accumulator exists, is enabled and holds that row. The
// layout table (layout_table.h) holds an instance of each per layout; a host
// edge calls the same instances under its own pixel types.
#ifndef HUEWRIGHT_PALETTE_ANALYSERS_H
#define HUEWRIGHT_PALETTE_ANALYSERS_H

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "band_accumulator.h"
#include "frame_measure.h"
#include "layout_traits.h"
#include "pixel_refcon.h"
#include "row_accumulate.h"
#include "row_paint.h"

// The pixel's row is the key to its cells: a host hands each row to one
// thread, so nothing per pixel needs a lock, a call or a thread-local lookup.
// Returns 0. VUYA copies in to out bit for bit as its last step, also when
// nothing is added; in may equal out.
template <class Layout>
int32_t AnalyzePixel(void* refcon, int32_t x, int32_t y, const typename Layout::Pixel* in,
                     typename Layout::Pixel* out) {
  const BandAccumulator* accumulator = refcon ? static_cast<const PixelRefcon*>(refcon)->accumulator : nullptr;
  if (BandAccumulator::Row* row = accumulator ? accumulator->RowAt(y) : nullptr) [[likely]]
    Layout::Accumulate(*row, x, *in);
  // Nothing was written before this copy, so in may be out; raw bytes keep
  // NaN payloads.
  if constexpr (Layout::kCopiesAfterAnalysis) std::memmove(out, in, sizeof *in);
  return 0;
}

// Pixels 0..width-1 of row y, each analysed exactly as AnalyzePixel analyses
// it, without a call per pixel: the row's cells are found once, and the
// row is measured many pixels a step (row_accumulate.h). in and out are the
// same row or rows apart, so copying the row after measuring it gives what
// copying pixel by pixel gives. With kCopies every layout leaves out a copy
// of in, made in the same pass: the measuring pass of a walk that copies
// the rows its drawing pass would only copy (frame_passes.h).
template <class Layout, bool kCopies = false>
void AnalyzeRow(PixelRefcon* refcon, int32_t y, const typename Layout::Pixel* in, typename Layout::Pixel* out,
                int32_t width) {
  constexpr bool kCopied = kCopies || Layout::kCopiesAfterAnalysis;
  const bool streamed = refcon && refcon->streams_copies;
  const BandAccumulator* accumulator = refcon ? refcon->accumulator : nullptr;
  if (BandAccumulator::Row* row = accumulator ? accumulator->RowAt(y) : nullptr)
    AccumulateRow<Layout>(*row, in, width, kCopied ? out : nullptr, streamed);
  else if (kCopied && width > 0)
    row_paint::CopyRowBytes(reinterpret_cast<const unsigned char*>(in), reinterpret_cast<unsigned char*>(out),
                            static_cast<std::size_t>(width) * sizeof *in, streamed);
}

template <class Layout>
void AnalyzeRowAndCopy(PixelRefcon* refcon, int32_t y, const typename Layout::Pixel* in, typename Layout::Pixel* out,
                       int32_t width) {
  AnalyzeRow<Layout, true>(refcon, y, in, out, width);
}

// A whole frame on the calling thread, one row's cells at a time, added in
// the order a render merges its rows, so the sums are the effect's own to
// the last bit; pixels of alpha 0 left out on request.
template <class Layout>
FrameBands AnalyzeFrame(const FrameView& frame, bool skip_transparent) {
  using Pixel = typename Layout::Pixel;
  FrameBands bands;
  BandAccumulator::Row cells;
  const auto* row = static_cast<const unsigned char*>(frame.pixels);
  for (int32_t y = 0; y < frame.height; ++y, row += frame.rowbytes) {
    cells = BandAccumulator::Row{};
    const Pixel* pixel = reinterpret_cast<const Pixel*>(row);
    if (!skip_transparent) {
      AccumulateRow<Layout>(cells, pixel, frame.width);
    } else {
      for (int32_t x = 0; x < frame.width; ++x)
        if (pixel[x].*Layout::kAlpha != 0) Layout::Accumulate(cells, x, pixel[x]);
    }
    BandAccumulator::AddRowInto(cells, bands.sums, bands.counts);
  }
  return bands;
}

#endif
