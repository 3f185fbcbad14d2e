// A render-local home for one analysis pass: one padded slot per worker
// thread, so that a host iteration spread over several threads never has two
// threads add to the same sums. After the pass the render merges the slots
// into BandStats inside WithBandStats.
#ifndef HUEWRIGHT_PALETTE_BAND_ACCUMULATOR_H
#define HUEWRIGHT_PALETTE_BAND_ACCUMULATOR_H

#include <cstdint>

#include "band_stats.h"

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

  // Adds every slot's sums into sums, slot by slot in the order the slots
  // were taken, and its counts into counts (saturating at the largest 32-bit
  // count). Call after the pass, once every thread that added has finished:
  // a pass on one thread then leaves exactly the sums of adding each pixel
  // straight into sums.
  void MergeInto(BandSums& sums, int32_t counts[kBandCount]) const;

 private:
  struct Slot;
  struct Slots;
  Slot& ClaimSlot();

  const bool enabled_;
  // Unique for the life of the process, so a thread's cached slot can never
  // belong to an earlier accumulator at the same address.
  const uint64_t pass_id_;
  Slots* slots_;  // null while disabled
};

#endif
