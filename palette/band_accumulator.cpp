#include "band_accumulator.h"

#include <algorithm>
#include <atomic>
#include <limits>
#include <memory>
#include <mutex>
#include <thread>

// Sums and counts of one thread, on cache lines of its own so that threads
// adding side by side never share a line.
struct alignas(64) BandAccumulator::Slot {
  BandSums sums{};
  int64_t counts[kBandCount]{};

  void Add(int band, double c0, double c1, double c2) {
    counts[band] += 1;
    sums[band][0] += c0;
    sums[band][1] += c1;
    sums[band][2] += c2;
  }
};

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

// The slot this thread last added to, and the pass it belongs to.
struct CachedSlot {
  uint64_t pass_id = 0;
  void* slot = nullptr;
  bool shared = false;
};
thread_local CachedSlot cached_slot;

int32_t SlotCountForThisMachine() {
  const auto threads = static_cast<int32_t>(std::min<unsigned>(std::thread::hardware_concurrency(), kMaxSlots));
  return std::max(threads, kMinSlots);
}

int32_t SaturatingCount(int64_t count) {
  return static_cast<int32_t>(std::clamp<int64_t>(count, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

}  // namespace

BandAccumulator::BandAccumulator(bool enabled)
    : enabled_(enabled),
      pass_id_(next_pass_id.fetch_add(1, std::memory_order_relaxed)),
      slots_(enabled ? new Slots(SlotCountForThisMachine()) : nullptr) {}

BandAccumulator::~BandAccumulator() { delete slots_; }

BandAccumulator::Slot& BandAccumulator::ClaimSlot() {
  const int32_t index = slots_->claimed.fetch_add(1, std::memory_order_relaxed);
  const bool shared = index >= slots_->slot_count;
  Slot& slot = shared ? slots_->overflow : slots_->slots[index];
  cached_slot = {pass_id_, &slot, shared};
  return slot;
}

void BandAccumulator::Add(int band, double c0, double c1, double c2) {
  if (!slots_) return;
  if (cached_slot.pass_id != pass_id_) ClaimSlot();
  Slot& slot = *static_cast<Slot*>(cached_slot.slot);
  if (!cached_slot.shared) {
    slot.Add(band, c0, c1, c2);
    return;
  }
  std::lock_guard<std::mutex> hold(slots_->overflow_mutex);
  slots_->overflow_used = true;
  slot.Add(band, c0, c1, c2);
}

void BandAccumulator::MergeInto(BandSums& sums, int32_t counts[kBandCount]) const {
  if (!slots_) return;
  int64_t totals[kBandCount];
  for (int band = 0; band < kBandCount; ++band) totals[band] = counts[band];
  auto merge = [&](const Slot& slot) {
    for (int band = 0; band < kBandCount; ++band) {
      totals[band] += slot.counts[band];
      for (int channel = 0; channel < kChannelCount; ++channel) sums[band][channel] += slot.sums[band][channel];
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
