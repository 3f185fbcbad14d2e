#include "split_rows.h"

bool EveryRowCounted(const BandAccumulator& pass, int32_t rows, int32_t width) {
  if (!pass.enabled()) return true;
  const double expected = width > 0 ? static_cast<double>(width) : 0.0;
  for (int32_t y = 0; y < rows; ++y) {
    const BandAccumulator::Row* row = pass.RowAt(y);
    if (!row) continue;  // not a row of the pass: nothing counts there, measured again or not
    // Whole numbers far below 2^53: exact in any order.
    double counted = 0.0;
    for (const auto& band : row->cells)
      for (const BandAccumulator::Cell& cell : band) counted += cell.count;
    if (counted != expected) return false;
  }
  return true;
}
