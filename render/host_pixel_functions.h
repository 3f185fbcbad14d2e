// The pixel functions the effect hands to the host's iteration, in the
// host's callback shape, and the row functions of its own walk over
// Premiere's float worlds: each a thin wrapper that maps the host's pixel
// struct onto palette's and runs palette's analyser or writer of that layout.
#ifndef HUEWRIGHT_RENDER_HOST_PIXEL_FUNCTIONS_H
#define HUEWRIGHT_RENDER_HOST_PIXEL_FUNCTIONS_H

#include <cstdint>

#include "pf_pixels.h"
#include "pixel_refcon.h"

int32_t AnalyzeArgb8(void* refcon, int32_t x, int32_t y, PF_Pixel8* in, PF_Pixel8* out);
int32_t AnalyzeArgb16(void* refcon, int32_t x, int32_t y, PF_Pixel16* in, PF_Pixel16* out);
int32_t AnalyzeArgbFloat(void* refcon, int32_t x, int32_t y, PF_PixelFloat* in, PF_PixelFloat* out);
// Premiere's 8-bit iteration hands BGRA bytes over as PF_Pixel8.
int32_t AnalyzeBgra8(void* refcon, int32_t x, int32_t y, PF_Pixel8* in, PF_Pixel8* out);
int32_t AnalyzeBgraFloat(void* refcon, int32_t x, int32_t y, PF_Pixel_BGRA_32f* in, PF_Pixel_BGRA_32f* out);
int32_t AnalyzeVuyaFloat(void* refcon, int32_t x, int32_t y, PF_Pixel_VUYA_32f* in, PF_Pixel_VUYA_32f* out);

int32_t DrawArgb8(void* refcon, int32_t x, int32_t y, PF_Pixel8* in, PF_Pixel8* out);
int32_t DrawArgb16(void* refcon, int32_t x, int32_t y, PF_Pixel16* in, PF_Pixel16* out);
int32_t DrawArgbFloat(void* refcon, int32_t x, int32_t y, PF_PixelFloat* in, PF_PixelFloat* out);
int32_t DrawBgra8(void* refcon, int32_t x, int32_t y, PF_Pixel8* in, PF_Pixel8* out);
int32_t DrawBgraFloat(void* refcon, int32_t x, int32_t y, PF_Pixel_BGRA_32f* in, PF_Pixel_BGRA_32f* out);
int32_t DrawVuyaFloat(void* refcon, int32_t x, int32_t y, PF_Pixel_VUYA_32f* in, PF_Pixel_VUYA_32f* out);

// Pixels 0..width-1 of row y, each exactly as the pixel function of the
// same name treats it.
void AnalyzeBgraFloatRow(PixelRefcon* refcon, int32_t y, const PF_Pixel_BGRA_32f* in, PF_Pixel_BGRA_32f* out,
                         int32_t width);
void AnalyzeVuyaFloatRow(PixelRefcon* refcon, int32_t y, const PF_Pixel_VUYA_32f* in, PF_Pixel_VUYA_32f* out,
                         int32_t width);
void DrawBgraFloatRow(PixelRefcon* refcon, int32_t y, const PF_Pixel_BGRA_32f* in, PF_Pixel_BGRA_32f* out,
                      int32_t width);
void DrawVuyaFloatRow(PixelRefcon* refcon, int32_t y, const PF_Pixel_VUYA_32f* in, PF_Pixel_VUYA_32f* out,
                      int32_t width);

#endif
