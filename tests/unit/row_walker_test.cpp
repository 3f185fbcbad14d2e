#include <cstdint>
#include <cstdlib>
#include <vector>

#include <gtest/gtest.h>

#include "row_walker.h"

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

}  // namespace
