// The benches' photograph: the mountain view of the test frames (0..255),
// scaled up bilinearly to any frame size.
#ifndef HUEWRIGHT_BENCH_PHOTO_FRAME_H
#define HUEWRIGHT_BENCH_PHOTO_FRAME_H

#include <algorithm>
#include <array>
#include <cstdint>

#include "test_frames.h"

// Red, green and blue of pixel (x, y) of a width x height frame, 0..1.
inline std::array<float, 3> PhotoAt(int32_t x, int32_t y, int32_t width, int32_t height) {
  const TestFrame& photo = MountainFrame();
  const double fx = (x + 0.5) * photo.width / width - 0.5, fy = (y + 0.5) * photo.height / height - 0.5;
  const int32_t x0 = std::clamp(static_cast<int32_t>(fx), 0, photo.width - 2);
  const int32_t y0 = std::clamp(static_cast<int32_t>(fy), 0, photo.height - 2);
  const double tx = std::clamp(fx - x0, 0.0, 1.0), ty = std::clamp(fy - y0, 0.0, 1.0);
  std::array<float, 3> rgb;
  for (int c = 0; c < 3; ++c) {
    const double top = photo.At(x0, y0)[c] * (1 - tx) + photo.At(x0 + 1, y0)[c] * tx;
    const double bottom = photo.At(x0, y0 + 1)[c] * (1 - tx) + photo.At(x0 + 1, y0 + 1)[c] * tx;
    rgb[c] = static_cast<float>((top * (1 - ty) + bottom * ty) / 255.0);
  }
  return rgb;
}

#endif
