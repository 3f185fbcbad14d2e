// The drawing pass's pixel and row functions, written once over the layout
// traits. A pixel inside a swatch cell is painted from refcon->palette;
// every other pixel, and every pixel when the palette is null, is copied
// from in to out bit for bit. Correct when in == out. Integer channels take
// the band value truncated toward zero, keeping the channel's low bits (NaN
// stores 0; run the layout's clamp first); float channels take the nearest
// float, NaN painting 0. Swatches are opaque (255, 32768, 1.0), except that
// VUYA keeps the input pixel's alpha.
#ifndef HUEWRIGHT_PALETTE_WRITERS_H
#define HUEWRIGHT_PALETTE_WRITERS_H

#include <cstdint>
#include <cstring>

#include "layout_traits.h"
#include "pixel_refcon.h"
#include "swatch_layout.h"

// Refcons whose bounds were not prepared take the exact double comparisons.
[[gnu::noinline]] inline int CellByExactComparison(const PixelRefcon& record, int32_t x, int32_t y) {
  return SwatchCellAt(record, x, y);
}

// Paints pixel (x, y) if it lies in a cell, else copies it. DrawPixel has
// already found the row inside the strip when the bounds are prepared. Out
// of line, so that the common path below stays a straight run without taken
// jumps.
template <class Layout>
[[gnu::noinline]] int32_t DrawCellOrCopy(const PixelRefcon* record, int32_t x, int32_t y,
                                         const typename Layout::Pixel* in, typename Layout::Pixel* out) {
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
// payloads survive; in may be out). Returns 0.
template <class Layout>
int32_t DrawPixel(void* refcon, int32_t x, int32_t y, const typename Layout::Pixel* in, typename Layout::Pixel* out) {
  const auto* record = static_cast<const PixelRefcon*>(refcon);
  if (record && record->swatch.ready && !SwatchRowIn(record->swatch, y)) [[likely]] {
    std::memmove(out, in, sizeof *in);
    return 0;
  }
  return DrawCellOrCopy<Layout>(record, x, y, in, out);
}

// DrawPixel over pixels 0..width-1 of row y: with prepared bounds a row
// outside the strip is copied pixel by pixel (raw bytes, in column order, as
// DrawPixel copies them) and a row inside looks up each column's cell;
// anything else takes DrawPixel itself.
template <class Layout>
void DrawRow(PixelRefcon* refcon, int32_t y, const typename Layout::Pixel* in, typename Layout::Pixel* out,
             int32_t width) {
  if (!refcon || !refcon->swatch.ready || !refcon->palette) {
    for (int32_t x = 0; x < width; ++x) DrawPixel<Layout>(refcon, x, y, in + x, out + x);
    return;
  }
  if (!SwatchRowIn(refcon->swatch, y)) {
    for (int32_t x = 0; x < width; ++x) std::memmove(out + x, in + x, sizeof *in);
    return;
  }
  for (int32_t x = 0; x < width; ++x) {
    const int cell = SwatchColumnCellIn(refcon->swatch, x);
    if (cell < 0)
      std::memmove(out + x, in + x, sizeof *in);
    else
      Layout::Paint(*refcon->palette, cell, in[x], out[x]);
  }
}

#endif
