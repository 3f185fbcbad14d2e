#include "row_walker.h"

namespace {

// Row starts are computed from the first pixel each time, in 64 bits, so a
// negative or padded rowbytes never walks a pointer past the buffer.
PF_PixelFloat* RowStart(const FloatFrame& frame, int32_t row) {
  char* first = reinterpret_cast<char*>(frame.first_pixel);
  return reinterpret_cast<PF_PixelFloat*>(first + static_cast<int64_t>(row) * frame.rowbytes);
}

}  // namespace

int32_t WalkFloatRows(const FloatFrame& input, const FloatFrame& output, int32_t row_count, PixelRefcon* refcon,
                      FloatPixelFunction fn) {
  if (row_count <= 0 || input.width <= 0 || fn == nullptr) return 0;
  for (int32_t y = 0; y < row_count; ++y) {
    PF_PixelFloat* in = RowStart(input, y);
    PF_PixelFloat* out = RowStart(output, y);
    for (int32_t x = 0; x < input.width; ++x) fn(refcon, x, y, in + x, out + x);
  }
  return 0;
}

int32_t WalkFloatRows(const FloatFrame& input, const FloatFrame& output, int32_t row_count, PixelRefcon* refcon,
                      FloatRowFunction fn) {
  if (row_count <= 0 || input.width <= 0 || fn == nullptr) return 0;
  for (int32_t y = 0; y < row_count; ++y) fn(refcon, y, RowStart(input, y), RowStart(output, y), input.width);
  return 0;
}
