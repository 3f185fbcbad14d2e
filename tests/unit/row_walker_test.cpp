#include <cstdint>
#include <cstdlib>
#include <vector>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "analysers.h"
#include "band_accumulator.h"
#include "row_functions.h"
#include "row_walker.h"
#include "swatch_layout.h"
#include "writers.h"

namespace {

struct Call {
  int32_t x, y;
  PF_PixelFloat* in;
  PF_PixelFloat* out;
  bool operator==(const Call&) const = default;
};

std::vector<Call> calls;
const void* seen_refcon = nullptr;

int32_t RecordCall(void* refcon, int32_t x, int32_t y, PF_PixelFloat* in, PF_PixelFloat* out) {
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
    std::vector<PF_PixelFloat> in_buffer(in_rows), out_buffer(out_rows);
    // A bottom-up frame's first row is the last one in memory.
    PF_PixelFloat* in_first = c.in_stride > 0 ? in_buffer.data() : in_buffer.data() + in_rows + c.in_stride;
    PF_PixelFloat* out_first = c.out_stride > 0 ? out_buffer.data() : out_buffer.data() + out_rows + c.out_stride;
    const FloatFrame input{in_first, c.width, c.in_stride * 16};
    const FloatFrame output{out_first, 999, c.out_stride * 16};  // the output's width is not used
    PixelRefcon refcon{};
    EXPECT_EQ(WalkFloatRows(input, output, c.rows, &refcon, RecordCall), 0) << c.name;

    std::vector<Call> expected;
    for (int32_t y = 0; y < c.rows; ++y)
      for (int32_t x = 0; x < c.width; ++x)
        expected.push_back({x, y, in_first + y * c.in_stride + x, out_first + y * c.out_stride + x});
    EXPECT_EQ(calls, expected) << c.name;
    EXPECT_EQ(seen_refcon, &refcon) << c.name;
  }
}

TEST_F(RowWalker, NothingToWalkCallsNothing) {
  PF_PixelFloat pixel{};
  PixelRefcon refcon{};
  const struct {
    int32_t width, rows;
  } cases[] = {{0, 5}, {5, 0}, {-3, 5}, {5, -1}, {0, 0}};
  for (const auto& c : cases) {
    const FloatFrame frame{&pixel, c.width, 16};
    EXPECT_EQ(WalkFloatRows(frame, frame, c.rows, &refcon, RecordCall), 0);
  }
  EXPECT_TRUE(calls.empty());
}

// A frame of varied floats: negatives, values above 1, NaN with a payload.
std::vector<PF_PixelFloat> VariedFrame(int32_t width, int32_t rows) {
  std::vector<PF_PixelFloat> frame;
  uint32_t state = 12345;
  auto next = [&state] {
    state = state * 1664525u + 1013904223u;
    return static_cast<float>((state >> 8) % 3000) / 2000.0f - 0.25f;
  };
  for (int32_t i = 0; i < width * rows; ++i) frame.push_back({next(), next(), next(), next()});
  const uint32_t nan_bits = 0x7fc01234;
  std::memcpy(&frame[width + 3].red, &nan_bits, sizeof nan_bits);
  return frame;
}

struct RowCase {
  const char* name;
  FloatPixelFunction pixel_function;
  FloatRowFunction row_function;
};

// What one walk leaves: the output bytes and the merged sums.
struct WalkResult {
  std::vector<PF_PixelFloat> out;
  BandSums sums{};
  int32_t counts[kBandCount]{};
  bool operator==(const WalkResult& other) const {
    return std::memcmp(out.data(), other.out.data(), out.size() * sizeof out[0]) == 0 &&
           std::memcmp(sums, other.sums, sizeof sums) == 0 && std::memcmp(counts, other.counts, sizeof counts) == 0;
  }
};

template <class Fn>
WalkResult WalkWith(Fn fn, bool prepared_bounds, bool in_place) {
  constexpr int32_t kWidth = 37, kRows = 24;
  std::vector<PF_PixelFloat> in = VariedFrame(kWidth, kRows);
  WalkResult result;
  result.out.assign(in.size(), PF_PixelFloat{9.0f, 9.0f, 9.0f, 9.0f});
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
  PF_PixelFloat* out = in_place ? in.data() : result.out.data();
  WalkFloatRows({in.data(), kWidth, kWidth * 16}, {out, kWidth, kWidth * 16}, kRows, &refcon, fn);
  if (in_place) result.out = in;
  accumulator.MergeInto(result.sums, result.counts);
  return result;
}

TEST_F(RowWalker, RowFunctionsLeaveExactlyWhatTheirPixelFunctionsLeave) {
  const RowCase cases[] = {
      {"AnalyzeBgraFloat", AnalyzeBgraFloat, AnalyzeBgraFloatRow},
      {"AnalyzeVuyaFloat", AnalyzeVuyaFloat, AnalyzeVuyaFloatRow},
      {"DrawBgraFloat", DrawBgraFloat, DrawBgraFloatRow},
      {"DrawVuyaFloat", DrawVuyaFloat, DrawVuyaFloatRow},
  };
  for (const RowCase& c : cases)
    for (bool prepared : {true, false})
      for (bool in_place : {false, true}) {
        const WalkResult by_pixel = WalkWith(c.pixel_function, prepared, in_place);
        const WalkResult by_row = WalkWith(c.row_function, prepared, in_place);
        EXPECT_TRUE(by_row == by_pixel) << c.name << (prepared ? " prepared" : " exact bounds")
                                        << (in_place ? " in place" : "");
      }
}

}  // namespace
