#include "clamps.h"

void ApplyClamp(BandStats& stats, RgbClamp clamp) {
  switch (clamp) {
    case RgbClamp::kNone:
      return;
    case RgbClamp::kUnit:
      ClampRgbUnit(stats);
      return;
    case RgbClamp::k8:
      ClampRgb8(stats);
      return;
    case RgbClamp::k16:
      ClampRgb16(stats);
      return;
    case RgbClamp::k16Full:
      ClampRgb16Full(stats);
      return;
  }
}
