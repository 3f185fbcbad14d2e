// The effect's own loop over frames of 16-byte pixels, for hosts that hand
// over raw float frames instead of iterating for us.
#ifndef HUEWRIGHT_PALETTE_ROW_WALKER_H
#define HUEWRIGHT_PALETTE_ROW_WALKER_H

#include <cstdint>

#include "pf_pixels.h"
#include "pixel_refcon.h"

// A frame by the address of its first pixel (top-left), its width in pixels
// and the signed distance in bytes from one row's start to the next.
struct FloatFrame {
  PF_PixelFloat* first_pixel;
  int32_t width;
  int32_t rowbytes;
};

using FloatPixelFunction = int32_t (*)(void*, int32_t, int32_t, PF_PixelFloat*, PF_PixelFloat*);
// The same work over a whole row: pixels 0..width-1 of row y, left to right,
// each treated exactly as the pixel function of the same name treats it.
using FloatRowFunction = void (*)(PixelRefcon* refcon, int32_t y, PF_PixelFloat* in, PF_PixelFloat* out,
                                  int32_t width);

// Calls fn for rows 0..row_count-1 and columns 0..input.width-1, row by row,
// left to right, on the calling thread; ignores its result and returns 0.
// The caller clips the width and the rows to what both frames hold.
int32_t WalkFloatRows(const FloatFrame& input, const FloatFrame& output, int32_t row_count, PixelRefcon* refcon,
                      FloatPixelFunction fn);
// The same walk handing whole rows to fn: no call per pixel.
int32_t WalkFloatRows(const FloatFrame& input, const FloatFrame& output, int32_t row_count, PixelRefcon* refcon,
                      FloatRowFunction fn);

#endif
