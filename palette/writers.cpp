#include "writers.h"

#include <cstring>

#include "layout_traits.h"
#include "pixel_refcon.h"
#include "swatch_layout.h"

namespace {

// Refcons whose bounds were not prepared take the exact double comparisons.
[[gnu::noinline]] int CellByExactComparison(const PixelRefcon& record, int32_t x, int32_t y) {
  return SwatchCellAt(record, x, y);
}

// Paints pixel (x, y) if it lies in a cell, else copies it. Draw has already
// found the row inside the strip when the bounds are prepared. Out of line,
// so that the common path below stays a straight run without taken jumps.
template <class Layout>
[[gnu::noinline]] int32_t DrawCellOrCopy(const PixelRefcon* record, int32_t x, int32_t y, typename Layout::Pixel* in,
                                         typename Layout::Pixel* out) {
  int cell = -1;
  if (record && record->palette)
    cell = record->swatch.ready ? SwatchColumnCellIn(record->swatch, x) : CellByExactComparison(*record, x, y);
  if (cell < 0) {
    std::memmove(out, in, sizeof *in);
    return 0;
  }
  Layout::Paint(*record->palette, cell, *in, *out);
  return 0;
}

// Most pixels lie in rows outside the strip: with prepared bounds those take
// one subtraction and one comparison, then the copy (raw bytes, so that NaN
// payloads survive; in may be out).
template <class Layout>
int32_t Draw(void* refcon, int32_t x, int32_t y, typename Layout::Pixel* in, typename Layout::Pixel* out) {
  const auto* record = static_cast<const PixelRefcon*>(refcon);
  if (record && record->swatch.ready && !SwatchRowIn(record->swatch, y)) [[likely]] {
    std::memmove(out, in, sizeof *in);
    return 0;
  }
  return DrawCellOrCopy<Layout>(record, x, y, in, out);
}

}  // namespace

int32_t DrawArgb8(void* refcon, int32_t x, int32_t y, PF_Pixel8* in, PF_Pixel8* out) {
  return Draw<Argb8Layout>(refcon, x, y, in, out);
}

int32_t DrawBgra8(void* refcon, int32_t x, int32_t y, PF_Pixel8* in, PF_Pixel8* out) {
  return Draw<Bgra8Layout>(refcon, x, y, in, out);
}

int32_t DrawRgba8(void* refcon, int32_t x, int32_t y, PF_Pixel8* in, PF_Pixel8* out) {
  return Draw<Rgba8Layout>(refcon, x, y, in, out);
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
