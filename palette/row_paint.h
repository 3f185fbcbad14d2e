// The drawing pass over whole rows, for any layout, on raw bytes: a row
// outside the swatch strip is a copy of its input (CopyRowBytes); a row
// inside it is a copy left and right of the cells, and each cell is filled
// with its swatch pixel (DrawStripRowBytes). Written over pixel sizes and
// byte patterns, not channel names: a layout supplies its five swatch pixels
// and the bits a swatch keeps from the input (VUYA keeps alpha), and the
// result is what its per-pixel writer leaves, pixel by pixel.
//
// Our own 16-byte loops rather than memcpy: the pixel code makes no library
// calls (tests/artifact/check_pixel_calls.py), and memory, not instructions,
// sets the pace of a copy this size.
#ifndef HUEWRIGHT_PALETTE_ROW_PAINT_H
#define HUEWRIGHT_PALETTE_ROW_PAINT_H

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "band_stats.h"
#include "row_stores.h"

// One layout's swatches for one drawing pass: each band's swatch pixel, and
// the bits of a painted pixel that come from its input pixel instead. Only
// the first pixel_bytes (4, 8 or 16) of each are used.
struct RowSwatches {
  int32_t pixel_bytes;
  alignas(16) unsigned char pixels[kBandCount][16];
  alignas(16) unsigned char keep[16];
  bool keeps_input;  // any bit of keep set
};

namespace row_paint {

typedef unsigned char Bytes16 __attribute__((vector_size(16)));

inline Bytes16 Load16(const unsigned char* p) {
  Bytes16 v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
inline void Store16(unsigned char* p, Bytes16 v) { std::memcpy(p, &v, sizeof v); }

// pixel_bytes bytes of pattern repeated across 16.
inline Bytes16 Repeated(const unsigned char* pattern, int32_t pixel_bytes) {
  unsigned char bytes[16];
  for (int i = 0; i < 16; ++i) bytes[i] = pattern[i % pixel_bytes];
  return Load16(bytes);
}

template <RowCopy kCopy>
inline void CopyBytes(const unsigned char* in, unsigned char* out, std::size_t bytes) {
  std::size_t i = 0;
  for (; i + 64 <= bytes; i += 64) {
    const auto a = Load16(in + i), b = Load16(in + i + 16), c = Load16(in + i + 32), d = Load16(in + i + 48);
    row_stores::Store16<kCopy>(out + i, &a);
    row_stores::Store16<kCopy>(out + i + 16, &b);
    row_stores::Store16<kCopy>(out + i + 32, &c);
    row_stores::Store16<kCopy>(out + i + 48, &d);
  }
  for (; i + 16 <= bytes; i += 16) Store16(out + i, Load16(in + i));
  for (; i + 4 <= bytes; i += 4) {
    uint32_t word;
    std::memcpy(&word, in + i, 4);
    std::memcpy(out + i, &word, 4);
  }
}

// The same from back to front: the part past the last whole 64 bytes, then
// 64 bytes at a time towards the start.
template <RowCopy kCopy>
inline void CopyBytesBackward(const unsigned char* in, unsigned char* out, std::size_t bytes) {
  const std::size_t whole = bytes - bytes % 64;
  CopyBytes<RowCopy::kCached>(in + whole, out + whole, bytes - whole);
  for (std::size_t i = whole; i >= 64; i -= 64) {
    const auto a = Load16(in + i - 64), b = Load16(in + i - 48), c = Load16(in + i - 32), d = Load16(in + i - 16);
    row_stores::Store16<kCopy>(out + i - 64, &a);
    row_stores::Store16<kCopy>(out + i - 48, &b);
    row_stores::Store16<kCopy>(out + i - 32, &c);
    row_stores::Store16<kCopy>(out + i - 16, &d);
  }
}

// Copies bytes (a multiple of 4) from in to out; in and out are the same row
// or do not overlap. streamed asks for streaming stores (row_stores.h),
// taken where out is aligned for them. Runs back to front where front to
// back would stall (LoadsWaitOnCopy).
inline void CopyRowBytes(const unsigned char* in, unsigned char* out, std::size_t bytes, bool streamed = false) {
  if (in == out) return;
  const bool streams = streamed && StreamsTo(out);
  if (LoadsWaitOnCopy(in, out))
    return streams ? CopyBytesBackward<RowCopy::kStreamed>(in, out, bytes)
                   : CopyBytesBackward<RowCopy::kCached>(in, out, bytes);
  streams ? CopyBytes<RowCopy::kStreamed>(in, out, bytes) : CopyBytes<RowCopy::kCached>(in, out, bytes);
}

// Pixels begin .. end - 1 of out become swatch, with the kept bits from in.
inline void FillCell(const unsigned char* in, unsigned char* out, int64_t begin, int64_t end,
                     const unsigned char* swatch, const RowSwatches& swatches) {
  const std::size_t pixel_bytes = static_cast<std::size_t>(swatches.pixel_bytes);
  std::size_t i = static_cast<std::size_t>(begin) * pixel_bytes;
  const std::size_t stop = static_cast<std::size_t>(end) * pixel_bytes;
  // Every 16-byte step starts on a pixel, so the repeated pattern lines up.
  const Bytes16 paint = Repeated(swatch, swatches.pixel_bytes);
  if (swatches.keeps_input) {
    const Bytes16 keep = Repeated(swatches.keep, swatches.pixel_bytes);
    for (; i + 16 <= stop; i += 16) Store16(out + i, (Load16(in + i) & keep) | (paint & ~keep));
    for (; i < stop; ++i)
      out[i] = static_cast<unsigned char>((in[i] & swatches.keep[i % pixel_bytes]) |
                                          (swatch[i % pixel_bytes] & ~swatches.keep[i % pixel_bytes]));
    return;
  }
  for (; i + 16 <= stop; i += 16) Store16(out + i, paint);
  for (; i < stop; ++i) out[i] = swatch[i % pixel_bytes];
}

// The edges column_edges[0..5] of the cells (SwatchBounds), limited to
// 0..width: cell k spans edges[k] .. edges[k + 1] - 1 within edges[0] ..
// edges[5] - 1. Prepared bounds are non-decreasing wherever that range holds
// a column.
inline int64_t WithinRow(int64_t edge, int32_t width) { return edge < 0 ? 0 : edge > width ? width : edge; }

// One row of the swatch strip, width pixels: a copy of in left and right of
// the cells, each cell painted. in and out are the same row or do not
// overlap.
inline void DrawStripRowBytes(const unsigned char* in, unsigned char* out, int32_t width,
                              const int64_t column_edges[kBandCount + 1], const RowSwatches& swatches) {
  if (width <= 0) return;
  const std::size_t pixel_bytes = static_cast<std::size_t>(swatches.pixel_bytes);
  int64_t edges[kBandCount + 1];
  for (int k = 0; k <= kBandCount; ++k) edges[k] = WithinRow(column_edges[k], width);
  const int64_t first = edges[0], end = edges[kBandCount] > first ? edges[kBandCount] : first;
  CopyRowBytes(in, out, static_cast<std::size_t>(first) * pixel_bytes);
  CopyRowBytes(in + end * pixel_bytes, out + end * pixel_bytes, static_cast<std::size_t>(width - end) * pixel_bytes);
  for (int k = 0; k < kBandCount; ++k) {
    const int64_t begin = edges[k] > first ? edges[k] : first;
    const int64_t stop = edges[k + 1] < end ? edges[k + 1] : end;
    if (begin < stop) FillCell(in, out, begin, stop, swatches.pixels[k], swatches);
  }
}

}  // namespace row_paint

#endif
