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

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "layout_traits.h"
#include "pixel_refcon.h"
#include "row_paint.h"
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

// The layout's swatch pixels as bytes for the row writer (row_paint.h):
// each painted once over an input of zero bits and once over one bits; the
// bits that differ are the input's.
template <class Layout>
RowSwatches SwatchesOf(const BandPalette& palette) {
  using Pixel = typename Layout::Pixel;
  static_assert(sizeof(Pixel) == 4 || sizeof(Pixel) == 8 || sizeof(Pixel) == 16);
  RowSwatches swatches{};
  swatches.pixel_bytes = sizeof(Pixel);
  Pixel zeros, ones;
  std::memset(&zeros, 0, sizeof zeros);
  std::memset(&ones, 0xff, sizeof ones);
  for (int band = 0; band < kBandCount; ++band) {
    Pixel over_zeros, over_ones;
    Layout::Paint(palette, band, zeros, over_zeros);
    Layout::Paint(palette, band, ones, over_ones);
    unsigned char a[sizeof(Pixel)], b[sizeof(Pixel)];
    std::memcpy(a, &over_zeros, sizeof a);
    std::memcpy(b, &over_ones, sizeof b);
    for (std::size_t i = 0; i < sizeof(Pixel); ++i) {
      swatches.keep[i] |= static_cast<unsigned char>(a[i] ^ b[i]);
      swatches.pixels[band][i] = a[i];
    }
  }
  for (std::size_t i = 0; i < sizeof(Pixel); ++i) swatches.keeps_input |= swatches.keep[i] != 0;
  return swatches;
}

// DrawPixel over pixels 0..width-1 of row y, without a call per pixel: with
// prepared bounds a row outside the strip is a copy (raw bytes, as DrawPixel
// copies them; streamed where refcon asks) and a row inside is a copy with
// each cell filled with its swatch; anything else takes DrawPixel itself.
template <class Layout>
void DrawRow(PixelRefcon* refcon, int32_t y, const typename Layout::Pixel* in, typename Layout::Pixel* out,
             int32_t width) {
  if (!refcon || !refcon->swatch.ready || !refcon->palette) {
    for (int32_t x = 0; x < width; ++x) DrawPixel<Layout>(refcon, x, y, in + x, out + x);
    return;
  }
  if (width <= 0) return;
  const auto* in_bytes = reinterpret_cast<const unsigned char*>(in);
  auto* out_bytes = reinterpret_cast<unsigned char*>(out);
  if (!SwatchRowIn(refcon->swatch, y))
    return row_paint::CopyRowBytes(in_bytes, out_bytes, static_cast<std::size_t>(width) * sizeof *in,
                                   refcon->streams_copies);
  const RowSwatches swatches = SwatchesOf<Layout>(*refcon->palette);
  row_paint::DrawStripRowBytes(in_bytes, out_bytes, width, refcon->swatch.column_edges, swatches);
}

#endif
