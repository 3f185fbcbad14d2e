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
  // thread's own slot.
  void Add(int band, double c0, double c1, double c2);

  // Adds every slot's sums into sums and its counts into counts (saturating
  // at the largest 32-bit count).
  void MergeInto(BandSums& sums, int32_t counts[kBandCount]) const;

 private:
  const bool enabled_;
  struct Slots;
  Slots* slots_;  // allocated lazily by the implementation
};

#endif
