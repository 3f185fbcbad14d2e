// frei0r hands every double parameter over as a position from 0 to 1. The
// gain slider spans 0.001 to 3 with 1 at its default, so the position maps
// linearly in two halves: 0 -> 0.001, 0.5 -> 1 (the default), 1 -> 3.
#ifndef HUEWRIGHT_FREI0R_GAIN_POSITION_H
#define HUEWRIGHT_FREI0R_GAIN_POSITION_H

#include "gain_range.h"

namespace frei0r_filter {

inline constexpr double kDefaultGainPosition = 0.5;

// position must lie in 0..1 (see ClampedPosition).
constexpr double GainAtPosition(double position) {
  if (position >= 0.5) return kGainDefault + (position - 0.5) * ((kGainMax - kGainDefault) * 2.0);
  return kGainMin + position * ((kGainDefault - kGainMin) * 2.0);
}

// A host's value limited to 0..1; NaN keeps fallback.
constexpr double ClampedPosition(double value, double fallback) {
  if (value != value) return fallback;
  if (value < 0.0) return 0.0;
  if (value > 1.0) return 1.0;
  return value;
}

static_assert(GainAtPosition(0.0) == kGainMin && GainAtPosition(0.5) == kGainDefault &&
              GainAtPosition(1.0) == kGainMax);

}  // namespace frei0r_filter

#endif
