// Per-pixel functions of the analysis pass, one per pixel layout, in the
// shape of the host's iteration callback. Each finds the pixel's brightness
// band and adds its colour to the render's BandAccumulator (through the
// PixelRefcon) in the row of the pixel, when that accumulator exists, is
// enabled and holds that row. All return 0.
#ifndef HUEWRIGHT_PALETTE_ANALYSERS_H
#define HUEWRIGHT_PALETTE_ANALYSERS_H

#include <cstdint>

#include "pf_pixels.h"

struct PixelRefcon;

// Half-open bands split at 0.2, 0.4, 0.6 and 0.8. Counting the thresholds
// that brightness stays below keeps it branch-free, and every comparison
// with NaN fails, so NaN lands in the brightest band.
constexpr int32_t SelectBand(double brightness) {
  return 4 - (brightness < 0.8) - (brightness < 0.6) - (brightness < 0.4) - (brightness < 0.2);
}

int32_t AnalyzeArgb8(void* refcon, int32_t x, int32_t y, PF_Pixel8* in, PF_Pixel8* out);
// The same four bytes taken in memory order blue, green, red, alpha.
int32_t AnalyzeBgra8(void* refcon, int32_t x, int32_t y, PF_Pixel8* in, PF_Pixel8* out);
// Bytes in memory order red, green, blue, alpha.
int32_t AnalyzeRgba8(void* refcon, int32_t x, int32_t y, PF_Pixel8* in, PF_Pixel8* out);
int32_t AnalyzeArgb16(void* refcon, int32_t x, int32_t y, PF_Pixel16* in, PF_Pixel16* out);
int32_t AnalyzeArgbFloat(void* refcon, int32_t x, int32_t y, PF_PixelFloat* in, PF_PixelFloat* out);
// Floats in memory order blue, green, red, alpha.
int32_t AnalyzeBgraFloat(void* refcon, int32_t x, int32_t y, PF_PixelFloat* in, PF_PixelFloat* out);
// Floats in memory order V, U, Y, alpha. Always copies in to out bit for bit
// as its last step, also when nothing is added; in may equal out.
int32_t AnalyzeVuyaFloat(void* refcon, int32_t x, int32_t y, PF_PixelFloat* in, PF_PixelFloat* out);

// Their row forms: row_functions.h.

#endif
