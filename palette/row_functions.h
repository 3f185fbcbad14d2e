// Row forms of the analysers and writers, for the frames our own code walks
// (the frei0r filter, Premiere's float frames, the tool): pixels 0..width-1
// of row y, each treated exactly as the pixel function of the same name
// treats it, without a call per pixel. in and out are the same row or rows
// that do not overlap.
//
// The analysers add row y's pixels to refcon->accumulator (nothing when it
// is null, disabled or lacks row y); only the VUYA one writes out (a copy of
// in). The writers paint from refcon->palette with refcon's swatch bounds;
// a refcon without prepared bounds or palette takes the pixel functions.
#ifndef HUEWRIGHT_PALETTE_ROW_FUNCTIONS_H
#define HUEWRIGHT_PALETTE_ROW_FUNCTIONS_H

#include <cstdint>

#include "pf_pixels.h"

struct PixelRefcon;

template <class Pixel>
using RowFunction = void (*)(PixelRefcon* refcon, int32_t y, Pixel* in, Pixel* out, int32_t width);

void AnalyzeArgb8Row(PixelRefcon* refcon, int32_t y, PF_Pixel8* in, PF_Pixel8* out, int32_t width);
void AnalyzeBgra8Row(PixelRefcon* refcon, int32_t y, PF_Pixel8* in, PF_Pixel8* out, int32_t width);
void AnalyzeRgba8Row(PixelRefcon* refcon, int32_t y, PF_Pixel8* in, PF_Pixel8* out, int32_t width);
void AnalyzeArgb16Row(PixelRefcon* refcon, int32_t y, PF_Pixel16* in, PF_Pixel16* out, int32_t width);
void AnalyzeArgbFloatRow(PixelRefcon* refcon, int32_t y, PF_PixelFloat* in, PF_PixelFloat* out, int32_t width);
void AnalyzeBgraFloatRow(PixelRefcon* refcon, int32_t y, PF_PixelFloat* in, PF_PixelFloat* out, int32_t width);
void AnalyzeVuyaFloatRow(PixelRefcon* refcon, int32_t y, PF_PixelFloat* in, PF_PixelFloat* out, int32_t width);

// The same, and out left a copy of in, in one pass over the row: the
// measuring pass of a walk that copies the rows its drawing pass would only
// copy (frame_passes.h).
void AnalyzeArgb8RowAndCopy(PixelRefcon* refcon, int32_t y, PF_Pixel8* in, PF_Pixel8* out, int32_t width);
void AnalyzeBgra8RowAndCopy(PixelRefcon* refcon, int32_t y, PF_Pixel8* in, PF_Pixel8* out, int32_t width);
void AnalyzeRgba8RowAndCopy(PixelRefcon* refcon, int32_t y, PF_Pixel8* in, PF_Pixel8* out, int32_t width);
void AnalyzeArgb16RowAndCopy(PixelRefcon* refcon, int32_t y, PF_Pixel16* in, PF_Pixel16* out, int32_t width);
void AnalyzeArgbFloatRowAndCopy(PixelRefcon* refcon, int32_t y, PF_PixelFloat* in, PF_PixelFloat* out, int32_t width);
void AnalyzeBgraFloatRowAndCopy(PixelRefcon* refcon, int32_t y, PF_PixelFloat* in, PF_PixelFloat* out, int32_t width);
void AnalyzeVuyaFloatRowAndCopy(PixelRefcon* refcon, int32_t y, PF_PixelFloat* in, PF_PixelFloat* out, int32_t width);

void DrawArgb8Row(PixelRefcon* refcon, int32_t y, PF_Pixel8* in, PF_Pixel8* out, int32_t width);
void DrawBgra8Row(PixelRefcon* refcon, int32_t y, PF_Pixel8* in, PF_Pixel8* out, int32_t width);
void DrawRgba8Row(PixelRefcon* refcon, int32_t y, PF_Pixel8* in, PF_Pixel8* out, int32_t width);
void DrawArgb16Row(PixelRefcon* refcon, int32_t y, PF_Pixel16* in, PF_Pixel16* out, int32_t width);
void DrawArgbFloatRow(PixelRefcon* refcon, int32_t y, PF_PixelFloat* in, PF_PixelFloat* out, int32_t width);
void DrawBgraFloatRow(PixelRefcon* refcon, int32_t y, PF_PixelFloat* in, PF_PixelFloat* out, int32_t width);
void DrawVuyaFloatRow(PixelRefcon* refcon, int32_t y, PF_PixelFloat* in, PF_PixelFloat* out, int32_t width);

#endif
