// Per-pixel functions of the drawing pass, one per pixel layout, in the shape
// of the host's iteration callback. A pixel inside a swatch cell is painted
// from refcon->palette; every other pixel, and every pixel when the palette
// is null, is copied from in to out bit for bit. Correct when in == out.
// All return 0.
#ifndef HUEWRIGHT_PALETTE_WRITERS_H
#define HUEWRIGHT_PALETTE_WRITERS_H

#include <cstdint>

#include "pf_pixels.h"

struct PixelRefcon;

// Integer channels take the band value truncated toward zero, keeping the
// channel's low bits (NaN stores 0); run the layout's clamp first. Float
// channels take the nearest float. Swatches are opaque (255, 32768, 1.0),
// except that VUYA keeps the input pixel's alpha.
int32_t DrawArgb8(void* refcon, int32_t x, int32_t y, PF_Pixel8* in, PF_Pixel8* out);
// Bytes in memory order blue, green, red, alpha.
int32_t DrawBgra8(void* refcon, int32_t x, int32_t y, PF_Pixel8* in, PF_Pixel8* out);
// Bytes in memory order red, green, blue, alpha.
int32_t DrawRgba8(void* refcon, int32_t x, int32_t y, PF_Pixel8* in, PF_Pixel8* out);
int32_t DrawArgb16(void* refcon, int32_t x, int32_t y, PF_Pixel16* in, PF_Pixel16* out);
int32_t DrawArgbFloat(void* refcon, int32_t x, int32_t y, PF_PixelFloat* in, PF_PixelFloat* out);
// Floats in memory order blue, green, red, alpha.
int32_t DrawBgraFloat(void* refcon, int32_t x, int32_t y, PF_PixelFloat* in, PF_PixelFloat* out);
// Floats in memory order V, U, Y, alpha, painted from the palette's yuv model.
int32_t DrawVuyaFloat(void* refcon, int32_t x, int32_t y, PF_PixelFloat* in, PF_PixelFloat* out);

// Their row forms: row_functions.h.

#endif
