// The brightness band rule every analyser shares.
#ifndef HUEWRIGHT_PALETTE_SELECT_BAND_H
#define HUEWRIGHT_PALETTE_SELECT_BAND_H

#include <cstdint>

// Half-open bands split at 0.2, 0.4, 0.6 and 0.8. Counting the thresholds
// that brightness stays below keeps it branch-free, and every comparison
// with NaN fails, so NaN lands in the brightest band.
constexpr int32_t SelectBand(double brightness) {
  return 4 - (brightness < 0.8) - (brightness < 0.6) - (brightness < 0.4) - (brightness < 0.2);
}

#endif
