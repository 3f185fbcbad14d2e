#include "band_accumulator.h"

#include <algorithm>
#include <limits>
#include <mutex>
#include <vector>

namespace {

uint32_t RowsToHold(bool enabled, int32_t rows) { return enabled && rows > 0 ? static_cast<uint32_t>(rows) : 0u; }

int32_t SaturatingCount(int64_t count) {
  return static_cast<int32_t>(std::clamp<int64_t>(count, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

// A cell's count: a whole number, far below 2^63.
int64_t CountOf(double count) { return count >= 0.0 && count < 9.0e18 ? static_cast<int64_t>(count) : 0; }

// Storage of passes that finished, for the next ones; a few renders run at
// once at most, so a few buffers are kept.
constexpr std::size_t kPooledStorages = 4;

}  // namespace

struct BandAccumulator::StoragePool {
  // Room reserved up front: giving storage back never allocates.
  StoragePool() { free.reserve(kPooledStorages); }
  std::mutex mutex;
  std::vector<Storage> free;  // guarded by mutex
};

BandAccumulator::StoragePool& BandAccumulator::Pool() {
  static StoragePool pool;
  return pool;
}

BandAccumulator::Storage BandAccumulator::TakeStorage(uint32_t rows) {
  Storage storage;
  if (rows == 0) return storage;
  {
    StoragePool& pool = Pool();
    std::lock_guard<std::mutex> hold(pool.mutex);
    const auto fits = std::find_if(pool.free.begin(), pool.free.end(),
                                   [rows](const Storage& candidate) { return candidate.capacity >= rows; });
    if (fits != pool.free.end()) {
      storage = std::move(*fits);
      pool.free.erase(fits);
    }
  }
  if (!storage.rows) storage = {std::unique_ptr<Row[]>(new Row[rows]), rows};
  std::fill_n(storage.rows.get(), rows, Row{});
  return storage;
}

void BandAccumulator::GiveBack(Storage storage) {
  if (!storage.rows) return;
  StoragePool& pool = Pool();
  std::lock_guard<std::mutex> hold(pool.mutex);
  if (pool.free.size() < kPooledStorages) pool.free.push_back(std::move(storage));
}

BandAccumulator::BandAccumulator(bool enabled, int32_t rows)
    : enabled_(enabled),
      row_count_(RowsToHold(enabled, rows)),
      storage_(TakeStorage(row_count_)),
      rows_(storage_.rows.get()) {}

BandAccumulator::~BandAccumulator() { GiveBack(std::move(storage_)); }

void BandAccumulator::AddRowInto(const Row& row, BandSums& sums, int64_t counts[kBandCount]) {
  for (int band = 0; band < kBandCount; ++band) {
    for (const Cell& cell : row.cells[band]) {
      // An empty cell holds zeros: adding them would change nothing.
      if (cell.count == 0.0) continue;
      counts[band] += CountOf(cell.count);
      for (int channel = 0; channel < kChannelCount; ++channel) sums[band][channel] += cell.sums[channel];
    }
  }
}

void BandAccumulator::MergeInto(BandSums& sums, int32_t counts[kBandCount]) const {
  if (!row_count_) return;
  int64_t totals[kBandCount];
  for (int band = 0; band < kBandCount; ++band) totals[band] = counts[band];
  for (uint32_t y = 0; y < row_count_; ++y) AddRowInto(rows_[y], sums, totals);
  for (int band = 0; band < kBandCount; ++band) counts[band] = SaturatingCount(totals[band]);
}
