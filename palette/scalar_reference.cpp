#include "scalar_reference.h"

#include <cmath>
#include <cstring>

namespace scalar_reference {
namespace {

// Channel i (memory position) of a pixel of channels of type T.
template <class T>
T ChannelAt(const void* pixel, int i) {
  T value;
  std::memcpy(&value, static_cast<const unsigned char*>(pixel) + i * sizeof(T), sizeof(T));
  return value;
}

// A negative channel is black for the brightness; NaN and -0.0 stay.
double RaisedToZero(double value) {
  if (value < 0.0) return 0.0;
  return value;
}

// Limited to 0..1 in that order, so NaN passes both tests.
double LimitedToUnit(double value) {
  if (value < 0.0) value = 0.0;
  if (value > 1.0) value = 1.0;
  return value;
}

Measure Integer(uint32_t red, uint32_t green, uint32_t blue, double unit) {
  const uint32_t sum = red + green + blue;
  const double brightness = (static_cast<double>(sum) * 0.333) * unit;
  return {brightness, BandOf(brightness), {double(red), double(green), double(blue)}};
}

}  // namespace

std::size_t PixelBytes(Layout layout) {
  switch (layout) {
    case Layout::kArgb8:
    case Layout::kBgra8:
    case Layout::kRgba8:
      return 4;
    case Layout::kArgb16:
      return 8;
    case Layout::kArgbFloat:
    case Layout::kBgraFloat:
    case Layout::kVuyaFloat:
      return 16;
  }
  return 0;
}

int BandOf(double brightness) {
  if (brightness < 0.2) return 0;
  if (brightness >= 0.2 && brightness < 0.4) return 1;
  if (brightness >= 0.4 && brightness < 0.6) return 2;
  if (brightness >= 0.6 && brightness < 0.8) return 3;
  return 4;  // 0.8 and above, and NaN
}

// 0.003921568627451 is near 1/255 but not equal to it, as 0.333 is not 1/3.
Measure EightBit(uint8_t red, uint8_t green, uint8_t blue) { return Integer(red, green, blue, 0.003921568627451); }

// 3.05e-5, not 1/32768.
Measure SixteenBit(uint16_t red, uint16_t green, uint16_t blue) { return Integer(red, green, blue, 3.05e-5); }

// The brightness takes the channels raised to zero, the sums their magnitudes.
Measure FloatRgb(float red, float green, float blue) {
  const double r = red, g = green, b = blue;
  const double brightness = ((RaisedToZero(g) + RaisedToZero(r)) + RaisedToZero(b)) * 0.333;
  return {brightness, BandOf(brightness), {std::fabs(r), std::fabs(g), std::fabs(b)}};
}

// The colour of the pixel, limited to 0..1 and rounded to float, measured as
// a float RGB pixel; the sums get it converted back to luma and colour
// differences, each rounded to float.
Measure Vuya(float v, float u, float y) {
  const double vd = v, ud = u, yd = y;
  const float red = static_cast<float>(LimitedToUnit(vd * 1.403 + yd));
  const float green = static_cast<float>(LimitedToUnit((yd - ud * 0.344) - vd * 0.714));
  const float blue = static_cast<float>(LimitedToUnit(ud * 1.77 + yd));
  const double brightness =
      ((RaisedToZero(double(green)) + RaisedToZero(double(red))) + RaisedToZero(double(blue))) * 0.333;
  const float luma = static_cast<float>((double(red) * 0.299 + double(green) * 0.587) + double(blue) * 0.114);
  const float red_difference = static_cast<float>(double(red - luma) * 0.713);
  const float blue_difference = static_cast<float>(double(blue - luma) * 0.565);
  return {brightness, BandOf(brightness), {double(luma), double(red_difference), double(blue_difference)}};
}

Measure MeasurePixel(Layout layout, const void* pixel) {
  switch (layout) {
    case Layout::kArgb8:  // alpha, red, green, blue
      return EightBit(ChannelAt<uint8_t>(pixel, 1), ChannelAt<uint8_t>(pixel, 2), ChannelAt<uint8_t>(pixel, 3));
    case Layout::kBgra8:  // blue, green, red, alpha
      return EightBit(ChannelAt<uint8_t>(pixel, 2), ChannelAt<uint8_t>(pixel, 1), ChannelAt<uint8_t>(pixel, 0));
    case Layout::kRgba8:  // red, green, blue, alpha
      return EightBit(ChannelAt<uint8_t>(pixel, 0), ChannelAt<uint8_t>(pixel, 1), ChannelAt<uint8_t>(pixel, 2));
    case Layout::kArgb16:
      return SixteenBit(ChannelAt<uint16_t>(pixel, 1), ChannelAt<uint16_t>(pixel, 2), ChannelAt<uint16_t>(pixel, 3));
    case Layout::kArgbFloat:
      return FloatRgb(ChannelAt<float>(pixel, 1), ChannelAt<float>(pixel, 2), ChannelAt<float>(pixel, 3));
    case Layout::kBgraFloat:
      return FloatRgb(ChannelAt<float>(pixel, 2), ChannelAt<float>(pixel, 1), ChannelAt<float>(pixel, 0));
    case Layout::kVuyaFloat:  // V, U, Y, alpha
      return Vuya(ChannelAt<float>(pixel, 0), ChannelAt<float>(pixel, 1), ChannelAt<float>(pixel, 2));
  }
  return {};
}

Bands MeasureFrame(Layout layout, const void* first_pixel, int32_t width, int32_t height, std::ptrdiff_t rowbytes) {
  Bands bands{};
  const std::size_t size = PixelBytes(layout);
  for (int32_t y = 0; y < height; ++y) {
    const auto* row = static_cast<const unsigned char*>(first_pixel) + static_cast<std::ptrdiff_t>(y) * rowbytes;
    double partial[kBands][kLanes][3] = {};
    int64_t counts[kBands][kLanes] = {};
    for (int32_t x = 0; x < width; ++x) {
      const Measure m = MeasurePixel(layout, row + static_cast<std::size_t>(x) * size);
      const int lane = x % kLanes;
      counts[m.band][lane] += 1;
      for (int c = 0; c < 3; ++c) partial[m.band][lane][c] += m.added[c];
    }
    for (int band = 0; band < kBands; ++band)
      for (int lane = 0; lane < kLanes; ++lane) {
        if (counts[band][lane] == 0) continue;
        bands.counts[band] += counts[band][lane];
        for (int c = 0; c < 3; ++c) bands.sums[band][c] += partial[band][lane][c];
      }
  }
  return bands;
}

}  // namespace scalar_reference
