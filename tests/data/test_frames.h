// Two frames reduced from real photographs: an 8-bit mountain view and a
// floating-point still life with values above 1.
#ifndef HUEWRIGHT_TESTS_TEST_FRAMES_H
#define HUEWRIGHT_TESTS_TEST_FRAMES_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

struct TestFrame {
  int32_t width = 0;
  int32_t height = 0;
  // Red, green, blue per pixel, rows top to bottom: 0 to 255 for the 8-bit
  // frame, scene values for the float frame.
  std::vector<std::array<float, 3>> rgb;
  const std::array<float, 3>& At(int32_t x, int32_t y) const { return rgb[static_cast<std::size_t>(y) * width + x]; }
};

const TestFrame& MountainFrame();  // 120 x 80, 8-bit
const TestFrame& CarrotsFrame();   // 96 x 64, float

#endif
