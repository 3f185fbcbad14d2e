#include "band_accumulator.h"

#include <algorithm>
#include <atomic>
#include <limits>
#include <memory>
#include <mutex>
#include <thread>

// One slot per hardware thread, handed out in order. Threads beyond that
// share one overflow slot under a lock: slower, still exact.
struct BandAccumulator::Slots {
  explicit Slots(int32_t count) : slot_count(count), slots(new Slot[static_cast<size_t>(count)]) {}

  const int32_t slot_count;
  std::unique_ptr<Slot[]> slots;
  std::atomic<int32_t> claimed{0};
  Slot overflow;
  std::mutex overflow_mutex;
  bool overflow_used = false;  // guarded by overflow_mutex
};

namespace {

constexpr int32_t kMinSlots = 4;
constexpr int32_t kMaxSlots = 256;

std::atomic<uint64_t> next_pass_id{1};

int32_t SlotCountForThisMachine() {
  const auto threads = static_cast<int32_t>(std::min<unsigned>(std::thread::hardware_concurrency(), kMaxSlots));
  return std::max(threads, kMinSlots);
}

int32_t SaturatingCount(int64_t count) {
  return static_cast<int32_t>(std::clamp<int64_t>(count, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

// A float cell's count: a whole number, far below 2^63.
int64_t CountOf(double count) {
  return count >= 0.0 && count < 9.0e18 ? static_cast<int64_t>(count) : 0;
}

}  // namespace

BandAccumulator::BandAccumulator(bool enabled)
    : enabled_(enabled),
      pass_id_(next_pass_id.fetch_add(1, std::memory_order_relaxed)),
      slots_(enabled ? new Slots(SlotCountForThisMachine()) : nullptr) {}

BandAccumulator::~BandAccumulator() { delete slots_; }

BandAccumulator::Slot* BandAccumulator::ClaimSlot() {
  const int32_t index = slots_->claimed.fetch_add(1, std::memory_order_relaxed);
  Slot* slot = index < slots_->slot_count ? &slots_->slots[index] : nullptr;
  thread_cache_ = {pass_id_, slot};
  return slot;
}

// A disabled accumulator never caches a slot (its pass id is never stored),
// so every Add of a disabled pass lands here and stops.
void BandAccumulator::AddSlowly(int band, double c0, double c1, double c2) {
  if (!slots_) return;
  if (thread_cache_.pass_id != pass_id_) {
    if (ClaimSlot()) return Add(band, c0, c1, c2);
  }
  std::lock_guard<std::mutex> hold(slots_->overflow_mutex);
  slots_->overflow_used = true;
  AddTo(slots_->overflow, band, c0, c1, c2);
}

void BandAccumulator::AddWholeSlowly(int band, uint32_t c0, uint32_t c1, uint32_t c2) {
  if (!slots_) return;
  if (thread_cache_.pass_id != pass_id_) {
    if (ClaimSlot()) return AddWhole(0, band, c0, c1, c2);
  }
  std::lock_guard<std::mutex> hold(slots_->overflow_mutex);
  slots_->overflow_used = true;
  WholeCell& cell = slots_->overflow.wholes[0][band];
  cell.count += 1;
  cell.sums[0] += c0;
  cell.sums[1] += c1;
  cell.sums[2] += c2;
}

void BandAccumulator::MergeInto(BandSums& sums, int32_t counts[kBandCount]) const {
  if (!slots_) return;
  int64_t totals[kBandCount];
  for (int band = 0; band < kBandCount; ++band) totals[band] = counts[band];
  auto merge = [&](const Slot& slot) {
    for (int band = 0; band < kBandCount; ++band) {
      totals[band] += CountOf(slot.floats[band].count);
      for (int lane = 0; lane < kLanes; ++lane) totals[band] += slot.wholes[lane][band].count;
      for (int channel = 0; channel < kChannelCount; ++channel) {
        int64_t whole = 0;
        for (int lane = 0; lane < kLanes; ++lane) whole += slot.wholes[lane][band].sums[channel];
        sums[band][channel] += slot.floats[band].sums[channel];
        if (whole != 0) sums[band][channel] += static_cast<double>(whole);
      }
    }
  };
  const int32_t used = std::min(slots_->claimed.load(std::memory_order_acquire), slots_->slot_count);
  for (int32_t index = 0; index < used; ++index) merge(slots_->slots[index]);
  {
    std::lock_guard<std::mutex> hold(slots_->overflow_mutex);
    if (slots_->overflow_used) merge(slots_->overflow);
  }
  for (int band = 0; band < kBandCount; ++band) counts[band] = SaturatingCount(totals[band]);
}
