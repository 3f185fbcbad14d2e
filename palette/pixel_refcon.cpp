#include "pixel_refcon.h"

#include <cstring>

#include "layout_traits.h"

BandPalette CopyPalette(const BandStats& stats) {
  BandPalette palette;
  std::memcpy(palette.rgb, stats.rgb_sums, sizeof palette.rgb);
  std::memcpy(palette.yuv, stats.yuv_sums, sizeof palette.yuv);
  PrepareSwatchPixels(palette);
  return palette;
}

void PrepareSwatchPixels(BandPalette& palette) {
  SwatchPixels& swatches = palette.swatches;
  for (int band = 0; band < kBandCount; ++band) {
    swatches.argb8[band] = Argb8Layout::SwatchOf(palette.rgb[band]);
    swatches.bgra8[band] = Bgra8Layout::SwatchOf(palette.rgb[band]);
    swatches.rgba8[band] = Rgba8Layout::SwatchOf(palette.rgb[band]);
    swatches.argb16[band] = Argb16Layout::SwatchOf(palette.rgb[band]);
    swatches.rgba16[band] = Rgba16Layout::SwatchOf(palette.rgb[band]);
  }
  swatches.ready = true;
}
