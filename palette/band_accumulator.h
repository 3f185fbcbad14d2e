// A render-local home for one analysis pass: one padded slot per worker
// thread, so that a host iteration spread over several threads never has two
// threads add to the same sums. After the pass the render merges the slots
// into BandStats inside WithBandStats.
#ifndef HUEWRIGHT_PALETTE_BAND_ACCUMULATOR_H
#define HUEWRIGHT_PALETTE_BAND_ACCUMULATOR_H

#include <cstdint>

#include "band_stats.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

class BandAccumulator {
 public:
  // enabled is the analysis switch as the render saw it when the pass began:
  // a disabled accumulator adds nothing.
  explicit BandAccumulator(bool enabled);
  ~BandAccumulator();
  BandAccumulator(const BandAccumulator&) = delete;
  BandAccumulator& operator=(const BandAccumulator&) = delete;

  bool enabled() const { return enabled_; }

  // Counts one pixel in band and adds its three values, in the calling
  // thread's own slot. Does nothing when disabled.
  void Add(int band, double c0, double c1, double c2);

  // The same for whole-number channel values (8- and 16-bit pixels), kept
  // as 64-bit integer sums: below 2^53 these equal the double sums exactly,
  // in any order, so they may be spread over lanes (any small integer, such
  // as the column) to keep consecutive pixels from waiting on each other.
  void AddWhole(int32_t lane, int band, uint32_t c0, uint32_t c1, uint32_t c2);

  // Adds every slot's sums into sums, slot by slot in the order the slots
  // were taken, and its counts into counts (saturating at the largest 32-bit
  // count). Call after the pass, once every thread that added has finished:
  // a pass on one thread then leaves exactly the sums of adding each pixel
  // straight into sums.
  void MergeInto(BandSums& sums, int32_t counts[kBandCount]) const;

  static constexpr int kLanes = 2;

  // A band's sums and count, side by side so one pixel touches one line,
  // added two at a time. The count is a double: whole numbers below 2^53 are
  // exact, and it pairs with the last sum.
  struct alignas(16) FloatCell {
    double sums[kChannelCount];
    double count;
  };
  struct WholeCell {
    int64_t count;
    int64_t sums[kChannelCount];
  };
  // One thread's cells, on cache lines of its own so that threads adding
  // side by side never share a line.
  struct alignas(64) Slot {
    FloatCell floats[kBandCount]{};
    WholeCell wholes[kLanes][kBandCount]{};
  };
  // The calling thread's slot for this pass, or null until Add or AddWhole
  // has given it one, and always while disabled. Lets a pixel function skip
  // the checks of Add on every pixel but the first.
  Slot* SlotOfThisThread() const { return CachedSlot(); }

  // Add and AddWhole straight into a slot of SlotOfThisThread.
  struct SlotSink {
    Slot& slot;
    void Add(int band, double c0, double c1, double c2) const { AddTo(slot, band, c0, c1, c2); }
    void AddWhole(int32_t lane, int band, uint32_t c0, uint32_t c1, uint32_t c2) const {
      AddWholeTo(slot, lane, band, c0, c1, c2);
    }
  };

 private:
  static void AddTo(Slot& slot, int band, double c0, double c1, double c2);
  static void AddWholeTo(Slot& slot, int32_t lane, int band, uint32_t c0, uint32_t c1, uint32_t c2);

  struct Slots;

  // The calling thread's slot for this pass, if it has one already.
  Slot* CachedSlot() const {
    const ThreadCache& cache = thread_cache_;
    return cache.pass_id == pass_id_ ? cache.slot : nullptr;
  }
  // Everything but the common case: disabled, first pixel of a thread, or a
  // thread beyond the slots that shares the locked overflow slot.
  void AddSlowly(int band, double c0, double c1, double c2);
  void AddWholeSlowly(int band, uint32_t c0, uint32_t c1, uint32_t c2);
  Slot* ClaimSlot();

  const bool enabled_;
  // Unique for the life of the process, so a thread's cached slot can never
  // belong to an earlier accumulator at the same address.
  const uint64_t pass_id_;
  Slots* slots_;  // null while disabled

  // The slot this thread last added to, and the pass it belongs to; a null
  // slot means the overflow slot.
  struct ThreadCache {
    uint64_t pass_id;
    Slot* slot;
  };
#if defined(__ELF__)
  // The effect is loaded with dlopen; this small block fits the static TLS
  // that the loader keeps spare for such libraries, and saves a call per
  // pixel.
  __attribute__((tls_model("initial-exec")))
#endif
  static constinit inline thread_local ThreadCache thread_cache_{0, nullptr};
};

inline void BandAccumulator::Add(int band, double c0, double c1, double c2) {
  Slot* slot = CachedSlot();
  if (!slot) [[unlikely]]
    return AddSlowly(band, c0, c1, c2);
  AddTo(*slot, band, c0, c1, c2);
}

inline void BandAccumulator::AddTo(Slot& slot, int band, double c0, double c1, double c2) {
  FloatCell& cell = slot.floats[band];
#if defined(__SSE2__)
  // Lane by lane these are the four scalar additions.
  _mm_store_pd(cell.sums, _mm_add_pd(_mm_load_pd(cell.sums), _mm_set_pd(c1, c0)));
  _mm_store_pd(cell.sums + 2, _mm_add_pd(_mm_load_pd(cell.sums + 2), _mm_set_pd(1.0, c2)));
#else
  cell.sums[0] += c0;
  cell.sums[1] += c1;
  cell.sums[2] += c2;
  cell.count += 1.0;
#endif
}

inline void BandAccumulator::AddWhole(int32_t lane, int band, uint32_t c0, uint32_t c1, uint32_t c2) {
  Slot* slot = CachedSlot();
  if (!slot) [[unlikely]]
    return AddWholeSlowly(band, c0, c1, c2);
  AddWholeTo(*slot, lane, band, c0, c1, c2);
}

inline void BandAccumulator::AddWholeTo(Slot& slot, int32_t lane, int band, uint32_t c0, uint32_t c1, uint32_t c2) {
  WholeCell& cell = slot.wholes[lane & (kLanes - 1)][band];
  cell.count += 1;
  cell.sums[0] += c0;
  cell.sums[1] += c1;
  cell.sums[2] += c2;
}

#endif
