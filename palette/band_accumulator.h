// A render-local home for one analysis pass: the sums of every frame row
// apart. A host that spreads a pass over several threads hands each row to
// one thread, so the row a pixel lies in (its y) is all a pixel function
// needs to find cells no other thread adds to: no thread-local lookup, no
// lock, no call. After the pass the render merges the rows, in row order,
// into BandStats inside WithBandStats; the result therefore does not depend
// on how many threads ran the pass or which rows each one took.
//
// Use: build one per pass with the rows the pass may visit, point the
// PixelRefcon's accumulator at it, call the analysers with each pixel's x
// and y (several threads at once, a row never on two threads at once), then
// MergeInto once every call has returned. A caller that walks its own frame
// on one thread does the same with its own row numbers.
#ifndef HUEWRIGHT_PALETTE_BAND_ACCUMULATOR_H
#define HUEWRIGHT_PALETTE_BAND_ACCUMULATOR_H

#include <emmintrin.h>

#include <cstdint>
#include <memory>

#include "band_stats.h"

class BandAccumulator {
 public:
  // Consecutive pixels of a row add into different cells (by x), so that a
  // run of pixels in one band (sky, black borders) does not wait on one
  // memory chain of read-modify-writes.
  static constexpr int kLanes = 4;

  // A band's three sums and its count, side by side so that one pixel
  // touches one line, added two at a time. The count is a double: whole
  // numbers below 2^53 are exact, and whole-number channel values (8- and
  // 16-bit pixels) add exactly in any order. (Integer cells for those
  // pixels, which skip the three conversions, were timed through the host's
  // per-pixel calls: 64-bit lanes no faster, one packed 32-bit add slower.
  // The call and the cell's read-modify-write cost more than converting.)
  struct alignas(32) Cell {
    double sums[kChannelCount];
    double count;
  };

  // One row's cells, on cache lines of its own so that threads on
  // neighbouring rows never share a line.
  struct alignas(64) Row {
    Cell cells[kBandCount][kLanes];

    // Counts the pixel in column x into band (0..4) and adds its three values.
    void Add(int32_t x, int band, double c0, double c1, double c2);
    // The same with the values already in registers: (c0, c1) and (c2, 1.0).
    void AddPacked(int32_t x, int band, __m128d c0_c1, __m128d c2_one);
  };

  // enabled is the analysis switch as the render saw it when the pass began:
  // a disabled accumulator holds no rows and adds nothing. rows is the
  // number of frame rows the pass may visit (0..rows-1); a pixel in any other
  // row is not counted. Throws std::bad_alloc when the rows do not fit.
  BandAccumulator(bool enabled, int32_t rows);
  ~BandAccumulator();
  BandAccumulator(const BandAccumulator&) = delete;
  BandAccumulator& operator=(const BandAccumulator&) = delete;

  bool enabled() const { return enabled_; }

  // The cells of row y, or null when disabled or y is not one of the rows.
  Row* RowAt(int32_t y) const {
    return static_cast<uint32_t>(y) < row_count_ ? &rows_[static_cast<uint32_t>(y)] : nullptr;
  }

  // Adds every row's sums into sums, row by row from the top and within a
  // row lane by lane, and the counts into counts (saturating at the largest
  // 32-bit count). Call after the pass, once every thread that added has
  // finished.
  void MergeInto(BandSums& sums, int32_t counts[kBandCount]) const;

  // Adds one row's cells into sums and counts, band by band and within a
  // band lane by lane: the order MergeInto takes for each row, for callers
  // that keep a row of their own and wider counts.
  static void AddRowInto(const Row& row, BandSums& sums, int64_t counts[kBandCount]);

 private:
  // Row storage comes from a small process-wide pool and goes back to it:
  // a fresh megabyte per render would cost more page faults than the adds.
  struct Storage {
    std::unique_ptr<Row[]> rows;
    uint32_t capacity = 0;
  };
  struct StoragePool;
  static StoragePool& Pool();
  static Storage TakeStorage(uint32_t rows);
  static void GiveBack(Storage storage);

  const bool enabled_;
  const uint32_t row_count_;  // 0 while disabled
  Storage storage_;
  Row* rows_;
};

// Lane by lane these are the four scalar additions.
inline void BandAccumulator::Row::AddPacked(int32_t x, int band, __m128d c0_c1, __m128d c2_one) {
  Cell& cell = cells[band][x & (kLanes - 1)];
  _mm_store_pd(cell.sums, _mm_add_pd(_mm_load_pd(cell.sums), c0_c1));
  _mm_store_pd(cell.sums + 2, _mm_add_pd(_mm_load_pd(cell.sums + 2), c2_one));
}

inline void BandAccumulator::Row::Add(int32_t x, int band, double c0, double c1, double c2) {
  AddPacked(x, band, _mm_set_pd(c1, c0), _mm_set_pd(1.0, c2));
}

#endif
