// Whole rows of one layout added to a BandAccumulator row's cells, each
// pixel's band and values exactly those of Layout::Accumulate, without a
// call per pixel. Integer layouts add whole numbers, exact in any order, so
// a row's sums go to its first lane where the pixel functions spread them
// over four: merged, both give the same doubles. Float layouts keep the
// pixel functions' lanes and order (four or two pixels a step).
#ifndef HUEWRIGHT_PALETTE_ROW_ACCUMULATE_H
#define HUEWRIGHT_PALETTE_ROW_ACCUMULATE_H

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "band_accumulator.h"
#include "float_runs_avx.h"
#include "integer_rows.h"
#include "layout_traits.h"
#include "row_paint.h"

namespace row_accumulate {

// Memory position (0..3) of a channel member: palette's pixel structs list
// their channels in memory order.
template <class Pixel, auto kMember>
constexpr int SlotOf() {
  constexpr Pixel kSlots{0, 1, 2, 3};
  return static_cast<int>(kSlots.*kMember);
}

template <class Layout>
concept IntegerLayout = requires {
  Layout::kBandStarts;
};

template <class Layout>
void AccumulateIntegerRow(BandAccumulator::Row& row, const typename Layout::Pixel* in, int32_t width,
                          typename Layout::Pixel* copy_to, bool streamed) {
  using Pixel = typename Layout::Pixel;
  using Channel = std::remove_cvref_t<decltype(in->*Layout::kRed)>;
  constexpr int kRed = SlotOf<Pixel, Layout::kRed>(), kGreen = SlotOf<Pixel, Layout::kGreen>();
  constexpr int kBlue = SlotOf<Pixel, Layout::kBlue>(), kAlpha = SlotOf<Pixel, Layout::kAlpha>();
  IntegerBandSums bands{};
  SumIntegerRow<Channel, kAlpha>(in, width, Layout::kBandStarts, bands, copy_to, streamed);
  for (int band = 0; band < kBandCount; ++band) {
    const uint64_t* slots = bands.slots[band];
    if (slots[kAlpha] == 0) continue;
    BandAccumulator::Cell& cell = row.cells[band][0];
    cell.sums[0] += static_cast<double>(slots[kRed]);
    cell.sums[1] += static_cast<double>(slots[kGreen]);
    cell.sums[2] += static_cast<double>(slots[kBlue]);
    cell.count += static_cast<double>(slots[kAlpha]);
  }
}

// Float pixels two at a time, then a last one alone.
template <class Layout>
void AccumulateFloatPairs(BandAccumulator::Row& row, const typename Layout::Pixel* in, int32_t x, int32_t width) {
  for (; x + 1 < width; x += 2) Layout::AccumulatePair(row, x, in[x], in[x + 1]);
  for (; x < width; ++x) Layout::Accumulate(row, x, in[x]);
}

#if defined(HUEWRIGHT_WIDE_MEASURE)
// Four at a time (copied as they are read with copy_to), the rest as above.
template <class Layout, RowCopy kCopy>
[[gnu::target("avx")]] int32_t AccumulateFloatQuads(BandAccumulator::Row& row, const typename Layout::Pixel* in,
                                                    typename Layout::Pixel* copy_to, int32_t width) {
  const int32_t x = AccumulateQuadRuns<Layout, kCopy>(row, in, copy_to, width);
  // Leaves the upper halves of the vector registers clean for the SSE2 code
  // that runs next: dirty, they slow every SSE instruction after them (the
  // host's too). GCC for Windows does not emit this on its own.
  _mm256_zeroupper();
  AccumulateFloatPairs<Layout>(row, in, x, width);
  return x;
}
#endif

}  // namespace row_accumulate

// Adds pixels 0..width-1 of in to row. With copy_to (not in, not
// overlapping it), in is also copied there while it is in cache (streamed:
// row_stores.h).
template <class Layout>
void AccumulateRow(BandAccumulator::Row& row, const typename Layout::Pixel* in, int32_t width,
                   typename Layout::Pixel* copy_to = nullptr, bool streamed = false) {
  using namespace row_accumulate;
  if (width <= 0) return;
  if (!IntegerLayout<Layout> && copy_to && copy_to != in && LoadsWaitOnCopy(in, copy_to)) {
    // Reading and copying interleaved would stall: read first. (Integer
    // rows read a step whole before they store it, which keeps clear.)
    AccumulateRow<Layout>(row, in, width);
    row_paint::CopyRowBytes(reinterpret_cast<const unsigned char*>(in), reinterpret_cast<unsigned char*>(copy_to),
                            static_cast<std::size_t>(width) * sizeof *in, streamed);
    return;
  }
  if constexpr (IntegerLayout<Layout>) {
    AccumulateIntegerRow<Layout>(row, in, width, copy_to, streamed);
  } else {
    // Pixels not copied on the way (all of them without AVX) are copied after.
    int32_t copied = 0;
    if (copy_to == in) copy_to = nullptr;
#if defined(HUEWRIGHT_WIDE_MEASURE)
    if (CpuHasAvx()) {
      if (!copy_to)
        AccumulateFloatQuads<Layout, RowCopy::kNone>(row, in, copy_to, width);
      else if (streamed && StreamsTo(copy_to))
        copied = AccumulateFloatQuads<Layout, RowCopy::kStreamed>(row, in, copy_to, width);
      else
        copied = AccumulateFloatQuads<Layout, RowCopy::kCached>(row, in, copy_to, width);
    } else
#endif
      AccumulateFloatPairs<Layout>(row, in, 0, width);
    if (copy_to)
      row_paint::CopyRowBytes(reinterpret_cast<const unsigned char*>(in + copied),
                              reinterpret_cast<unsigned char*>(copy_to + copied),
                              static_cast<std::size_t>(width - copied) * sizeof *in, streamed);
  }
}

#endif
