#include "pixel_refcon.h"

#include <cstring>

BandPalette CopyPalette(const BandStats& stats) {
  BandPalette palette;
  std::memcpy(palette.rgb, stats.rgb_sums, sizeof palette.rgb);
  std::memcpy(palette.yuv, stats.yuv_sums, sizeof palette.yuv);
  return palette;
}
