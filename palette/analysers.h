// The analysis pass's pixel and row functions, written once over the layout
// traits. Each finds a pixel's brightness band and adds its colour to the
// render's BandAccumulator (through the PixelRefcon) in the row of the
// pixel, when that accumulator exists, is enabled and holds that row. The
// layout table (layout_table.h) holds an instance of each per layout; a host
// edge calls the same instances under its own pixel types.
#ifndef HUEWRIGHT_PALETTE_ANALYSERS_H
#define HUEWRIGHT_PALETTE_ANALYSERS_H

#include <cstdint>
#include <cstring>

#include "band_accumulator.h"
#include "frame_measure.h"
#include "layout_traits.h"
#include "pixel_refcon.h"

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

// Pixels two at a time where the layout measures pairs, then one by one.
template <class Layout>
void AnalyzeRowInPairs(BandAccumulator::Row& row, const typename Layout::Pixel* in, int32_t x, int32_t width) {
  if constexpr (Layout::kMeasuresSeveralAtOnce)
    for (; x + 1 < width; x += 2) Layout::AccumulatePair(row, x, in[x], in[x + 1]);
  for (; x < width; ++x) Layout::Accumulate(row, x, in[x]);
}

#if defined(HUEWRIGHT_WIDE_MEASURE)
// Four at a time, the rest as above.
template <class Layout>
[[gnu::target("avx")]] void AnalyzeRowWithAvx(BandAccumulator::Row& row, const typename Layout::Pixel* in,
                                              int32_t width) {
  int32_t x = 0;
  for (; x + 3 < width; x += 4) Layout::AccumulateQuad(row, x, in);
  // Leaves the upper halves of the vector registers clean for the SSE2 code
  // that runs next: dirty, they slow every SSE instruction after them (the
  // host's too). GCC for Windows does not emit this on its own.
  _mm256_zeroupper();
  AnalyzeRowInPairs<Layout>(row, in, x, width);
}
#endif

// The whole row into its cells: four pixels at a time where the processor
// has AVX, two at a time, then one by one, as far as the layout can.
template <class Layout>
void AnalyzeRowCells(BandAccumulator::Row& row, const typename Layout::Pixel* in, int32_t width) {
#if defined(HUEWRIGHT_WIDE_MEASURE)
  if constexpr (Layout::kMeasuresSeveralAtOnce)
    if (CpuHasAvx()) return AnalyzeRowWithAvx<Layout>(row, in, width);
#endif
  AnalyzeRowInPairs<Layout>(row, in, 0, width);
}

// Pixels 0..width-1 of row y, each analysed exactly as AnalyzePixel analyses
// it, without a call per pixel: the row's cells are found once. in and out
// are the same row or rows apart, so copying the row after measuring it
// gives what copying pixel by pixel gives.
template <class Layout>
void AnalyzeRow(PixelRefcon* refcon, int32_t y, const typename Layout::Pixel* in, typename Layout::Pixel* out,
                int32_t width) {
  const BandAccumulator* accumulator = refcon ? refcon->accumulator : nullptr;
  if (BandAccumulator::Row* row = accumulator ? accumulator->RowAt(y) : nullptr)
    AnalyzeRowCells<Layout>(*row, in, width);
  // Pixel by pixel, as AnalyzePixel copies: a pixel's bytes move inline,
  // where a whole-row memmove would be a library call.
  if constexpr (Layout::kCopiesAfterAnalysis)
    if (in != out)
      for (int32_t x = 0; x < width; ++x) std::memmove(out + x, in + x, sizeof *in);
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
    for (int32_t x = 0; x < frame.width; ++x) {
      if (skip_transparent && pixel[x].*Layout::kAlpha == 0) continue;
      Layout::Accumulate(cells, x, pixel[x]);
    }
    BandAccumulator::AddRowInto(cells, bands.sums, bands.counts);
  }
  return bands;
}

#endif
