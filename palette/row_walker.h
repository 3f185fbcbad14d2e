// Our own loop over a frame's rows, for hosts that hand over raw frames
// instead of iterating for us (Premiere's float formats, frei0r), and for the
// tool. It owns the row addresses: the functions it calls never see a
// rowbytes.
#ifndef HUEWRIGHT_PALETTE_ROW_WALKER_H
#define HUEWRIGHT_PALETTE_ROW_WALKER_H

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "pixel_refcon.h"

// A frame by the address of its first pixel (top-left), its width in pixels
// and the signed distance in bytes from one row's start to the next. Pixel
// is a pixel type, or void where the layout is chosen at run time.
template <class Pixel>
struct FrameRows {
  Pixel* first_pixel;
  int32_t width;
  std::ptrdiff_t rowbytes;
};

// Row starts are computed from the first pixel each time, in 64 bits, so a
// negative or padded rowbytes never walks a pointer past the buffer.
template <class Pixel>
Pixel* RowStart(const FrameRows<Pixel>& frame, int32_t row) {
  using Byte = std::conditional_t<std::is_const_v<Pixel>, const unsigned char, unsigned char>;
  Byte* first = reinterpret_cast<Byte*>(frame.first_pixel);
  return reinterpret_cast<Pixel*>(first + static_cast<std::ptrdiff_t>(row) * frame.rowbytes);
}

// Calls fn(refcon, y, input row y, output row y, input.width) for rows
// 0..row_count-1, top down, on the calling thread; returns 0. The caller
// clips the width and the rows to what both frames hold.
template <class In, class Out, class RowFn>
int32_t WalkRows(const FrameRows<In>& input, const FrameRows<Out>& output, int32_t row_count, PixelRefcon* refcon,
                 RowFn fn) {
  if (row_count <= 0 || input.width <= 0) return 0;
  for (int32_t y = 0; y < row_count; ++y) fn(refcon, y, RowStart(input, y), RowStart(output, y), input.width);
  return 0;
}

// The same walk pixel by pixel: fn(refcon, x, y, input pixel, output pixel)
// for columns 0..input.width-1 of each row, left to right; fn's result is
// ignored.
template <class In, class Out, class PixelFn>
int32_t WalkPixels(const FrameRows<In>& input, const FrameRows<Out>& output, int32_t row_count, PixelRefcon* refcon,
                   PixelFn fn) {
  return WalkRows(input, output, row_count, refcon,
                  [&fn](PixelRefcon* record, int32_t y, In* in, Out* out, int32_t width) {
                    for (int32_t x = 0; x < width; ++x) fn(record, x, y, in + x, out + x);
                  });
}

#endif
