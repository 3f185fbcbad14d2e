#include "row_walker.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "band_accumulator.h"
#include "layout_table.h"
#include "swatch_layout.h"

namespace {

struct Call {
  int32_t x, y;
  BgraFloatPixel* in;
  BgraFloatPixel* out;
  bool operator==(const Call&) const = default;
};

std::vector<Call> calls;
const void* seen_refcon = nullptr;

int32_t RecordCall(void* refcon, int32_t x, int32_t y, BgraFloatPixel* in, BgraFloatPixel* out) {
  seen_refcon = refcon;
  calls.push_back({x, y, in, out});
  return 7;  // the walker ignores results
}

struct WalkCase {
  const char* name;
  int32_t width;
  int32_t rows;
  int32_t in_stride;   // pixels from one row's start to the next
  int32_t out_stride;
};

class RowWalker : public ::testing::Test {
 protected:
  void SetUp() override {
    calls.clear();
    seen_refcon = nullptr;
  }
};

TEST_F(RowWalker, VisitsRowsTopDownLeftToRightAtEachFramesRowbytes) {
  const WalkCase cases[] = {
      {"packed", 3, 2, 3, 3},
      {"padded input", 3, 3, 5, 3},
      {"padded output", 2, 4, 2, 6},
      {"bottom-up input", 4, 3, -4, 4},
      {"both bottom-up", 2, 3, -3, -2},
      {"one pixel", 1, 1, 1, 1},
  };
  for (const WalkCase& c : cases) {
    SetUp();
    const int32_t in_rows = c.rows * std::abs(c.in_stride);
    const int32_t out_rows = c.rows * std::abs(c.out_stride);
    std::vector<BgraFloatPixel> in_buffer(in_rows), out_buffer(out_rows);
    // A bottom-up frame's first row is the last one in memory.
    BgraFloatPixel* in_first = c.in_stride > 0 ? in_buffer.data() : in_buffer.data() + in_rows + c.in_stride;
    BgraFloatPixel* out_first = c.out_stride > 0 ? out_buffer.data() : out_buffer.data() + out_rows + c.out_stride;
    const FrameRows<BgraFloatPixel> input{in_first, c.width, c.in_stride * 16};
    const FrameRows<BgraFloatPixel> output{out_first, 999, c.out_stride * 16};  // the output's width is not used
    PixelRefcon refcon{};
    EXPECT_EQ(WalkPixels(input, output, c.rows, &refcon, RecordCall), 0) << c.name;

    std::vector<Call> expected;
    for (int32_t y = 0; y < c.rows; ++y)
      for (int32_t x = 0; x < c.width; ++x)
        expected.push_back({x, y, in_first + y * c.in_stride + x, out_first + y * c.out_stride + x});
    EXPECT_EQ(calls, expected) << c.name;
    EXPECT_EQ(seen_refcon, &refcon) << c.name;
  }
}

TEST_F(RowWalker, NothingToWalkCallsNothing) {
  BgraFloatPixel pixel{};
  PixelRefcon refcon{};
  const struct {
    int32_t width, rows;
  } cases[] = {{0, 5}, {5, 0}, {-3, 5}, {5, -1}, {0, 0}};
  for (const auto& c : cases) {
    const FrameRows<BgraFloatPixel> frame{&pixel, c.width, 16};
    EXPECT_EQ(WalkPixels(frame, frame, c.rows, &refcon, RecordCall), 0);
  }
  EXPECT_TRUE(calls.empty());
}

template <class Pixel>
Pixel FloatPixel(float a, float b, float c, float d) {
  if constexpr (sizeof(Pixel) == 16) return Pixel{a, b, c, d};
  return Pixel{};
}

// A frame of varied floats: negatives, values above 1, NaN with a payload;
// or, for integer layouts, varied bytes.
template <class Pixel>
std::vector<Pixel> VariedFrame(int32_t width, int32_t rows) {
  std::vector<Pixel> frame;
  uint32_t state = 12345;
  if constexpr (sizeof(Pixel) != 16) {
    frame.resize(static_cast<std::size_t>(width) * rows);
    unsigned char* bytes = reinterpret_cast<unsigned char*>(frame.data());
    for (std::size_t i = 0; i < frame.size() * sizeof(Pixel); ++i) {
      state = state * 1664525u + 1013904223u;
      bytes[i] = static_cast<unsigned char>(state >> 24);
    }
    return frame;
  }
  auto next = [&state] {
    state = state * 1664525u + 1013904223u;
    return static_cast<float>((state >> 8) % 3000) / 2000.0f - 0.25f;
  };
  for (int32_t i = 0; i < width * rows; ++i) frame.push_back(FloatPixel<Pixel>(next(), next(), next(), next()));
  const uint32_t nan_bits = 0x7fc01234;
  std::memcpy(reinterpret_cast<unsigned char*>(&frame[width + 3]) + 4, &nan_bits, sizeof nan_bits);
  return frame;
}

struct RowCase {
  const char* name;
  PixelFunction pixel_function;
  RowFunction row_function;
};

// What one walk leaves: the output bytes and the merged sums.
template <class Pixel>
struct WalkResult {
  std::vector<Pixel> out;
  BandSums sums{};
  int32_t counts[kBandCount]{};
  bool operator==(const WalkResult& other) const {
    return std::memcmp(out.data(), other.out.data(), out.size() * sizeof out[0]) == 0 &&
           std::memcmp(sums, other.sums, sizeof sums) == 0 && std::memcmp(counts, other.counts, sizeof counts) == 0;
  }
};

// The walks of the pixel function (byPixel) or of the row function.
template <class Pixel>
WalkResult<Pixel> WalkWith(const RowCase& c, bool by_pixel, bool prepared_bounds, bool in_place) {
  constexpr int32_t kWidth = 37, kRows = 24;
  std::vector<Pixel> in = VariedFrame<Pixel>(kWidth, kRows);
  WalkResult<Pixel> result;
  result.out.assign(in.size(), FloatPixel<Pixel>(9.0f, 9.0f, 9.0f, 9.0f));
  BandPalette palette{};
  for (int band = 0; band < kBandCount; ++band)
    for (int c = 0; c < kChannelCount; ++c) palette.rgb[band][c] = palette.yuv[band][c] = 0.3 * band - 0.1 * c;
  palette.rgb[2][1] = std::numeric_limits<double>::quiet_NaN();
  BandAccumulator accumulator(true, kRows);
  PixelRefcon refcon{};
  refcon.frame_width = kWidth;
  refcon.frame_height = kRows;
  refcon.accumulator = &accumulator;
  refcon.palette = &palette;
  if (prepared_bounds) PrepareSwatchBounds(refcon);
  Pixel* out = in_place ? in.data() : result.out.data();
  const FrameRows<Pixel> input{in.data(), kWidth, kWidth * int32_t{sizeof(Pixel)}},
      output{out, kWidth, kWidth * int32_t{sizeof(Pixel)}};
  if (by_pixel)
    WalkPixels(input, output, kRows, &refcon, c.pixel_function);
  else
    WalkRows(input, output, kRows, &refcon, c.row_function);
  if (in_place) result.out = in;
  accumulator.MergeInto(result.sums, result.counts);
  return result;
}

template <class Pixel>
void ExpectRowsLeaveWhatPixelsLeave(PixelLayout layout) {
  const LayoutInfo& info = LayoutOf(layout);
  const RowCase cases[] = {
      {"analyser", info.analyse, info.analyse_row},
      {"writer", info.draw, info.draw_row},
  };
  for (const RowCase& c : cases)
    for (bool prepared : {true, false})
      for (bool in_place : {false, true}) {
        const WalkResult<Pixel> by_pixel = WalkWith<Pixel>(c, true, prepared, in_place);
        const WalkResult<Pixel> by_row = WalkWith<Pixel>(c, false, prepared, in_place);
        EXPECT_TRUE(by_row == by_pixel) << info.name << " " << c.name << (prepared ? " prepared" : " exact bounds")
                                        << (in_place ? " in place" : "");
      }
}

TEST_F(RowWalker, RowFunctionsLeaveExactlyWhatTheirPixelFunctionsLeave) {
  ExpectRowsLeaveWhatPixelsLeave<Argb8Pixel>(PixelLayout::kArgb8);
  ExpectRowsLeaveWhatPixelsLeave<Argb16Pixel>(PixelLayout::kArgb16);
  ExpectRowsLeaveWhatPixelsLeave<ArgbFloatPixel>(PixelLayout::kArgbFloat);
  ExpectRowsLeaveWhatPixelsLeave<Bgra8Pixel>(PixelLayout::kBgra8);
  ExpectRowsLeaveWhatPixelsLeave<BgraFloatPixel>(PixelLayout::kBgraFloat);
  ExpectRowsLeaveWhatPixelsLeave<VuyaFloatPixel>(PixelLayout::kVuyaFloat);
  ExpectRowsLeaveWhatPixelsLeave<Rgba8Pixel>(PixelLayout::kRgba8);
  ExpectRowsLeaveWhatPixelsLeave<RgbaFloatPixel>(PixelLayout::kRgbaFloat);
}

}  // namespace
