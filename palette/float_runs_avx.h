// The AVX walk of a float row, four pixels a step, that keeps each lane's
// running cell in registers. Pixel x adds to cell [band][x mod 4], in column
// order, and neighbouring pixels mostly share a band: so lane i holds the
// sums and count of cell [band of lane i][i] in registers and adds each new
// pixel there, as that cell's own additions in the same order; only when a
// lane's band changes is its cell written back and the new band's cell
// read. Every addition is the one the pixel functions make, on the same
// values, so the cells end bit for bit as theirs.
//
// (Adding into the cells in memory four at a time makes each step load what
// the previous one stored, at addresses known only once the bands are, and
// the processor holds every load back: about half the pace of this form on
// footage, timed.)
#ifndef HUEWRIGHT_PALETTE_FLOAT_RUNS_AVX_H
#define HUEWRIGHT_PALETTE_FLOAT_RUNS_AVX_H

#include "wide_measure.h"

#if defined(HUEWRIGHT_WIDE_MEASURE)
#include <immintrin.h>

#include <cstdint>

#include "band_accumulator.h"
#include "row_stores.h"

namespace float_runs {

#define HUEWRIGHT_AVX [[gnu::target("avx"), gnu::always_inline]] inline

// Lane i: the running sums and count of cell [band[i]][i].
struct LaneRuns {
  __m256d sums[kChannelCount];
  __m256d count;
  __m256d band;  // as a double; -1 before the first pixel
};

// 1.0 in each lane whose brightness stays below threshold (NaN never does).
HUEWRIGHT_AVX __m256d Below(__m256d brightness, double threshold) {
  return _mm256_and_pd(_mm256_cmp_pd(brightness, _mm256_set1_pd(threshold), _CMP_LT_OQ), _mm256_set1_pd(1.0));
}

// The bands of four brightnesses, as doubles: 4 less the thresholds each
// stays below.
HUEWRIGHT_AVX __m256d BandsOf(__m256d brightness) {
  const __m256d below = _mm256_add_pd(_mm256_add_pd(Below(brightness, 0.8), Below(brightness, 0.6)),
                                      _mm256_add_pd(Below(brightness, 0.4), Below(brightness, 0.2)));
  return _mm256_sub_pd(_mm256_set1_pd(4.0), below);
}

// Writes each lane's run back to its cell and takes up the cells of bands.
HUEWRIGHT_AVX void SwitchCells(BandAccumulator::Row& row, LaneRuns& runs, __m256d bands) {
  alignas(32) double values[kChannelCount + 1][4];
  alignas(32) double old_bands[4], new_bands[4];
  for (int c = 0; c < kChannelCount; ++c) _mm256_store_pd(values[c], runs.sums[c]);
  _mm256_store_pd(values[kChannelCount], runs.count);
  _mm256_store_pd(old_bands, runs.band);
  _mm256_store_pd(new_bands, bands);
  for (int lane = 0; lane < 4; ++lane) {
    if (old_bands[lane] >= 0.0) {
      BandAccumulator::Cell& cell = row.cells[static_cast<int>(old_bands[lane])][lane];
      for (int c = 0; c < kChannelCount; ++c) cell.sums[c] = values[c][lane];
      cell.count = values[kChannelCount][lane];
    }
    const BandAccumulator::Cell& cell = row.cells[static_cast<int>(new_bands[lane])][lane];
    for (int c = 0; c < kChannelCount; ++c) values[c][lane] = cell.sums[c];
    values[kChannelCount][lane] = cell.count;
  }
  for (int c = 0; c < kChannelCount; ++c) runs.sums[c] = _mm256_load_pd(values[c]);
  runs.count = _mm256_load_pd(values[kChannelCount]);
  runs.band = bands;
}

#undef HUEWRIGHT_AVX

// Pixels x .. x + 3 copied to copy + x.
template <RowCopy kCopy, class Pixel>
[[gnu::target("avx"), gnu::always_inline]] inline void CopyQuad(const Pixel* pixels, Pixel* copy, int32_t x) {
  if constexpr (kCopy != RowCopy::kNone) {
    const auto* from = reinterpret_cast<const unsigned char*>(pixels + x);
    auto* to = reinterpret_cast<unsigned char*>(copy + x);
    for (int i = 0; i < 4; ++i) row_stores::Store16<kCopy>(to + 16 * i, from + 16 * i);
  }
}

// Rows where bands change this often (switches per 64 steps) go faster with
// the cells in memory: a switch costs more than a step.
inline constexpr int32_t kStepsPerCheck = 64;
inline constexpr int32_t kMostSwitches = 16;

}  // namespace float_runs

// Pixels 0 .. (width rounded down to 4) - 1 of pixels into row, as
// Layout::AccumulateQuad adds them, and copied to copy unless kCopy is kNone
// (64-byte aligned when streamed). Returns the number of pixels taken.
template <class Layout, RowCopy kCopy>
[[gnu::target("avx"), gnu::always_inline]] inline int32_t AccumulateQuadRuns(BandAccumulator::Row& row,
                                                                             const typename Layout::Pixel* pixels,
                                                                             typename Layout::Pixel* copy,
                                                                             int32_t width) {
  using namespace float_runs;
  const int32_t whole = width - width % 4;
  if (whole == 0) return 0;
  LaneRuns runs{};
  runs.band = _mm256_set1_pd(-1.0);
  const __m256d one = _mm256_set1_pd(1.0);
  int32_t x = 0;
  while (x < whole) {
    const int32_t check_at = whole - x > 4 * kStepsPerCheck ? x + 4 * kStepsPerCheck : whole;
    int32_t switches = 0;
    for (; x < check_at; x += 4) {
      // Frames come from memory: ask for later pixels early (a prefetch
      // beyond the row cannot fault).
      _mm_prefetch(reinterpret_cast<const char*>(reinterpret_cast<std::uintptr_t>(pixels + x) + 2048), _MM_HINT_T0);
      // Read before the copy is written: a load after a store whose address
      // matches it in the low 12 bits (frames a whole number of pages
      // apart) waits for that store, which for a streamed one is long.
      const QuadValues values = Layout::ValuesOfQuad(pixels + x);
      CopyQuad<kCopy>(pixels, copy, x);
      const __m256d bands = BandsOf(values.brightness);
      if (_mm256_movemask_pd(_mm256_cmp_pd(bands, runs.band, _CMP_NEQ_UQ)) != 0) [[unlikely]] {
        SwitchCells(row, runs, bands);
        ++switches;
      }
      runs.sums[0] = _mm256_add_pd(runs.sums[0], values.c0);
      runs.sums[1] = _mm256_add_pd(runs.sums[1], values.c1);
      runs.sums[2] = _mm256_add_pd(runs.sums[2], values.c2);
      runs.count = _mm256_add_pd(runs.count, one);
    }
    if (switches > kMostSwitches) break;
  }
  // Every lane's run back to its cell (the bands stay); a row that switched
  // too often goes on with the cells in memory.
  SwitchCells(row, runs, runs.band);
  for (; x < whole; x += 4) {
    Layout::AccumulateQuad(row, x, pixels);
    CopyQuad<kCopy>(pixels, copy, x);
  }
  return whole;
}

#endif
#endif
