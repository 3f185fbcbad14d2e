#include "host_pixel_functions.h"

#include <cstddef>

#include "analysers.h"
#include "writers.h"

namespace {

// The host's structs hold the bytes of palette's at the same places. Each
// wrapper below only converts the pointers; palette's code then reaches the
// pixels through its own struct alone.
static_assert(sizeof(PF_Pixel8) == sizeof(Argb8Pixel) && offsetof(PF_Pixel8, alpha) == offsetof(Argb8Pixel, alpha) &&
              offsetof(PF_Pixel8, red) == offsetof(Argb8Pixel, red) &&
              offsetof(PF_Pixel8, green) == offsetof(Argb8Pixel, green) &&
              offsetof(PF_Pixel8, blue) == offsetof(Argb8Pixel, blue));
static_assert(sizeof(PF_Pixel16) == sizeof(Argb16Pixel) &&
              offsetof(PF_Pixel16, alpha) == offsetof(Argb16Pixel, alpha) &&
              offsetof(PF_Pixel16, red) == offsetof(Argb16Pixel, red) &&
              offsetof(PF_Pixel16, green) == offsetof(Argb16Pixel, green) &&
              offsetof(PF_Pixel16, blue) == offsetof(Argb16Pixel, blue));
static_assert(sizeof(PF_PixelFloat) == sizeof(ArgbFloatPixel) &&
              offsetof(PF_PixelFloat, alpha) == offsetof(ArgbFloatPixel, alpha) &&
              offsetof(PF_PixelFloat, red) == offsetof(ArgbFloatPixel, red) &&
              offsetof(PF_PixelFloat, green) == offsetof(ArgbFloatPixel, green) &&
              offsetof(PF_PixelFloat, blue) == offsetof(ArgbFloatPixel, blue));
static_assert(sizeof(PF_Pixel_BGRA_8u) == sizeof(Bgra8Pixel) &&
              offsetof(PF_Pixel_BGRA_8u, blue) == offsetof(Bgra8Pixel, blue) &&
              offsetof(PF_Pixel_BGRA_8u, green) == offsetof(Bgra8Pixel, green) &&
              offsetof(PF_Pixel_BGRA_8u, red) == offsetof(Bgra8Pixel, red) &&
              offsetof(PF_Pixel_BGRA_8u, alpha) == offsetof(Bgra8Pixel, alpha));
static_assert(sizeof(PF_Pixel_BGRA_32f) == sizeof(BgraFloatPixel) &&
              offsetof(PF_Pixel_BGRA_32f, blue) == offsetof(BgraFloatPixel, blue) &&
              offsetof(PF_Pixel_BGRA_32f, green) == offsetof(BgraFloatPixel, green) &&
              offsetof(PF_Pixel_BGRA_32f, red) == offsetof(BgraFloatPixel, red) &&
              offsetof(PF_Pixel_BGRA_32f, alpha) == offsetof(BgraFloatPixel, alpha));
static_assert(sizeof(PF_Pixel_VUYA_32f) == sizeof(VuyaFloatPixel) &&
              offsetof(PF_Pixel_VUYA_32f, v) == offsetof(VuyaFloatPixel, v) &&
              offsetof(PF_Pixel_VUYA_32f, u) == offsetof(VuyaFloatPixel, u) &&
              offsetof(PF_Pixel_VUYA_32f, y) == offsetof(VuyaFloatPixel, y) &&
              offsetof(PF_Pixel_VUYA_32f, alpha) == offsetof(VuyaFloatPixel, alpha));

// A host pixel pointer as palette's pixel of the same bytes.
template <class Pixel, class HostPixel>
Pixel* AsPalette(HostPixel* pixel) {
  static_assert(sizeof(Pixel) == sizeof(HostPixel) && alignof(Pixel) <= alignof(HostPixel));
  return reinterpret_cast<Pixel*>(pixel);
}
template <class Pixel, class HostPixel>
const Pixel* AsPalette(const HostPixel* pixel) {
  static_assert(sizeof(Pixel) == sizeof(HostPixel) && alignof(Pixel) <= alignof(HostPixel));
  return reinterpret_cast<const Pixel*>(pixel);
}

template <class Layout, class HostPixel>
int32_t Analyze(void* refcon, int32_t x, int32_t y, HostPixel* in, HostPixel* out) {
  using Pixel = typename Layout::Pixel;
  return AnalyzePixel<Layout>(refcon, x, y, AsPalette<Pixel>(in), AsPalette<Pixel>(out));
}
template <class Layout, class HostPixel>
int32_t Draw(void* refcon, int32_t x, int32_t y, HostPixel* in, HostPixel* out) {
  using Pixel = typename Layout::Pixel;
  return DrawPixel<Layout>(refcon, x, y, AsPalette<Pixel>(in), AsPalette<Pixel>(out));
}

}  // namespace

int32_t AnalyzeArgb8(void* refcon, int32_t x, int32_t y, PF_Pixel8* in, PF_Pixel8* out) {
  return Analyze<Argb8Layout>(refcon, x, y, in, out);
}
int32_t AnalyzeArgb16(void* refcon, int32_t x, int32_t y, PF_Pixel16* in, PF_Pixel16* out) {
  return Analyze<Argb16Layout>(refcon, x, y, in, out);
}
int32_t AnalyzeArgbFloat(void* refcon, int32_t x, int32_t y, PF_PixelFloat* in, PF_PixelFloat* out) {
  return Analyze<ArgbFloatLayout>(refcon, x, y, in, out);
}
int32_t AnalyzeBgra8(void* refcon, int32_t x, int32_t y, PF_Pixel8* in, PF_Pixel8* out) {
  return Analyze<Bgra8Layout>(refcon, x, y, in, out);
}
int32_t AnalyzeBgraFloat(void* refcon, int32_t x, int32_t y, PF_Pixel_BGRA_32f* in, PF_Pixel_BGRA_32f* out) {
  return Analyze<BgraFloatLayout>(refcon, x, y, in, out);
}
int32_t AnalyzeVuyaFloat(void* refcon, int32_t x, int32_t y, PF_Pixel_VUYA_32f* in, PF_Pixel_VUYA_32f* out) {
  return Analyze<VuyaFloatLayout>(refcon, x, y, in, out);
}

int32_t DrawArgb8(void* refcon, int32_t x, int32_t y, PF_Pixel8* in, PF_Pixel8* out) {
  return Draw<Argb8Layout>(refcon, x, y, in, out);
}
int32_t DrawArgb16(void* refcon, int32_t x, int32_t y, PF_Pixel16* in, PF_Pixel16* out) {
  return Draw<Argb16Layout>(refcon, x, y, in, out);
}
int32_t DrawArgbFloat(void* refcon, int32_t x, int32_t y, PF_PixelFloat* in, PF_PixelFloat* out) {
  return Draw<ArgbFloatLayout>(refcon, x, y, in, out);
}
int32_t DrawBgra8(void* refcon, int32_t x, int32_t y, PF_Pixel8* in, PF_Pixel8* out) {
  return Draw<Bgra8Layout>(refcon, x, y, in, out);
}
int32_t DrawBgraFloat(void* refcon, int32_t x, int32_t y, PF_Pixel_BGRA_32f* in, PF_Pixel_BGRA_32f* out) {
  return Draw<BgraFloatLayout>(refcon, x, y, in, out);
}
int32_t DrawVuyaFloat(void* refcon, int32_t x, int32_t y, PF_Pixel_VUYA_32f* in, PF_Pixel_VUYA_32f* out) {
  return Draw<VuyaFloatLayout>(refcon, x, y, in, out);
}

void AnalyzeBgraFloatRow(PixelRefcon* refcon, int32_t y, const PF_Pixel_BGRA_32f* in, PF_Pixel_BGRA_32f* out,
                         int32_t width) {
  AnalyzeRow<BgraFloatLayout>(refcon, y, AsPalette<BgraFloatPixel>(in), AsPalette<BgraFloatPixel>(out), width);
}
void AnalyzeVuyaFloatRow(PixelRefcon* refcon, int32_t y, const PF_Pixel_VUYA_32f* in, PF_Pixel_VUYA_32f* out,
                         int32_t width) {
  AnalyzeRow<VuyaFloatLayout>(refcon, y, AsPalette<VuyaFloatPixel>(in), AsPalette<VuyaFloatPixel>(out), width);
}
void DrawBgraFloatRow(PixelRefcon* refcon, int32_t y, const PF_Pixel_BGRA_32f* in, PF_Pixel_BGRA_32f* out,
                      int32_t width) {
  DrawRow<BgraFloatLayout>(refcon, y, AsPalette<BgraFloatPixel>(in), AsPalette<BgraFloatPixel>(out), width);
}
void DrawVuyaFloatRow(PixelRefcon* refcon, int32_t y, const PF_Pixel_VUYA_32f* in, PF_Pixel_VUYA_32f* out,
                      int32_t width) {
  DrawRow<VuyaFloatLayout>(refcon, y, AsPalette<VuyaFloatPixel>(in), AsPalette<VuyaFloatPixel>(out), width);
}
