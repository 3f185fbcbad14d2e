// The clamp a drawing pass runs on the band averages before its first pixel,
// chosen per pixel format by the render pipelines' table.
#ifndef HUEWRIGHT_PALETTE_CLAMPS_H
#define HUEWRIGHT_PALETTE_CLAMPS_H

#include "band_stats.h"

enum class RgbClamp {
  kNone,  // float ARGB and VUYA: values are painted as they are
  kUnit,  // float BGRA: 0 to 1, NaN to 0 (ClampRgbUnit)
  k8,     // 8-bit: 0 to 255 (ClampRgb8)
  k16,    // 16-bit: 0 to 32768 (ClampRgb16)
  k16Full,  // full-range 16-bit: 0 to 65535 (ClampRgb16Full)
};

void ApplyClamp(BandStats& stats, RgbClamp clamp);

#endif
