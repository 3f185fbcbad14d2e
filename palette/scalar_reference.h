// The analysis arithmetic of every pixel layout written out plainly: one
// scalar operation at a time, in the documented order and precision, the
// band rule as a chain of comparisons, the channels read by memory position.
// The effect never calls it. It is the one model the tests hold every
// measurement path to, bit for bit: the layout traits, the SSE2 pairs, the
// AVX quads, the row walks, MeasureFrame and whole renders.
#ifndef HUEWRIGHT_PALETTE_SCALAR_REFERENCE_H
#define HUEWRIGHT_PALETTE_SCALAR_REFERENCE_H

#include <cstddef>
#include <cstdint>

namespace scalar_reference {

constexpr int kBands = 5;
// Columns whose pixels a row sums apart (x modulo kLanes).
constexpr int kLanes = 4;

enum class Layout { kArgb8, kBgra8, kRgba8, kArgb16, kArgbFloat, kBgraFloat, kVuyaFloat };

// Bytes of one pixel of the layout.
std::size_t PixelBytes(Layout layout);

// What one pixel does to the band sums: its brightness estimate, the band
// that picks, and the three values it adds to that band's sums (red, green,
// blue; luma, red difference, blue difference for VUYA).
struct Measure {
  double brightness;
  int band;
  double added[3];
};

int BandOf(double brightness);
Measure EightBit(uint8_t red, uint8_t green, uint8_t blue);
Measure SixteenBit(uint16_t red, uint16_t green, uint16_t blue);
Measure FloatRgb(float red, float green, float blue);
Measure Vuya(float v, float u, float y);
// The pixel whose bytes, in the layout's memory order, start at pixel.
Measure MeasurePixel(Layout layout, const void* pixel);

// A frame's band sums before averaging, added in the documented order:
// within a row the pixels of columns x = k (mod kLanes) are summed apart,
// left to right; rows are then added from the top, each row's partial sums
// band by band and lane k = 0, 1, ... (empty lanes skipped).
struct Bands {
  double sums[kBands][3];
  int64_t counts[kBands];
};
// rowbytes: signed distance from one row's start to the next.
Bands MeasureFrame(Layout layout, const void* first_pixel, int32_t width, int32_t height, std::ptrdiff_t rowbytes);

}  // namespace scalar_reference

#endif
