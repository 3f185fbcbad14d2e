#include "band_accumulator.h"

#include <algorithm>
#include <limits>

namespace {

uint32_t RowsToHold(bool enabled, int32_t rows) { return enabled && rows > 0 ? static_cast<uint32_t>(rows) : 0u; }

int32_t SaturatingCount(int64_t count) {
  return static_cast<int32_t>(std::clamp<int64_t>(count, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

// A cell's count: a whole number, far below 2^63.
int64_t CountOf(double count) { return count >= 0.0 && count < 9.0e18 ? static_cast<int64_t>(count) : 0; }

}  // namespace

BandAccumulator::BandAccumulator(bool enabled, int32_t rows)
    : enabled_(enabled),
      row_count_(RowsToHold(enabled, rows)),
      rows_(row_count_ ? new Row[row_count_]() : nullptr) {}

void BandAccumulator::MergeInto(BandSums& sums, int32_t counts[kBandCount]) const {
  if (!row_count_) return;
  int64_t totals[kBandCount];
  for (int band = 0; band < kBandCount; ++band) totals[band] = counts[band];
  for (uint32_t y = 0; y < row_count_; ++y) {
    for (int band = 0; band < kBandCount; ++band) {
      for (const Cell& cell : rows_[y].cells[band]) {
        // An empty cell holds zeros: adding them would change nothing.
        if (cell.count == 0.0) continue;
        totals[band] += CountOf(cell.count);
        for (int channel = 0; channel < kChannelCount; ++channel) sums[band][channel] += cell.sums[channel];
      }
    }
  }
  for (int band = 0; band < kBandCount; ++band) counts[band] = SaturatingCount(totals[band]);
}
