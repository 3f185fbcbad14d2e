#include "writers.h"

#include <cstring>

#include "layout_traits.h"
#include "pixel_refcon.h"
#include "swatch_layout.h"

namespace {

template <class Layout>
int32_t Draw(void* refcon, int32_t x, int32_t y, typename Layout::Pixel* in, typename Layout::Pixel* out) {
  const auto* record = static_cast<const PixelRefcon*>(refcon);
  const int cell = record && record->palette ? SwatchCellAt(*record, x, y) : -1;
  if (cell < 0) [[likely]] {
    // Raw bytes, so that NaN payloads survive; in may be out.
    std::memmove(out, in, sizeof *in);
    return 0;
  }
  Layout::Paint(*record->palette, cell, *in, *out);
  return 0;
}

}  // namespace

int32_t DrawArgb8(void* refcon, int32_t x, int32_t y, PF_Pixel8* in, PF_Pixel8* out) {
  return Draw<Argb8Layout>(refcon, x, y, in, out);
}

int32_t DrawBgra8(void* refcon, int32_t x, int32_t y, PF_Pixel8* in, PF_Pixel8* out) {
  return Draw<Bgra8Layout>(refcon, x, y, in, out);
}

int32_t DrawArgb16(void* refcon, int32_t x, int32_t y, PF_Pixel16* in, PF_Pixel16* out) {
  return Draw<Argb16Layout>(refcon, x, y, in, out);
}

int32_t DrawArgbFloat(void* refcon, int32_t x, int32_t y, PF_PixelFloat* in, PF_PixelFloat* out) {
  return Draw<ArgbFloatLayout>(refcon, x, y, in, out);
}

int32_t DrawBgraFloat(void* refcon, int32_t x, int32_t y, PF_PixelFloat* in, PF_PixelFloat* out) {
  return Draw<BgraFloatLayout>(refcon, x, y, in, out);
}

int32_t DrawVuyaFloat(void* refcon, int32_t x, int32_t y, PF_PixelFloat* in, PF_PixelFloat* out) {
  return Draw<VuyaFloatLayout>(refcon, x, y, in, out);
}
