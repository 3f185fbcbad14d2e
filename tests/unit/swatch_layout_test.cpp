#include <cmath>
#include <cstdint>
#include <limits>
#include <iterator>
#include <vector>

#include <gtest/gtest.h>

#include "swatch_layout.h"

namespace {

PixelRefcon Frame(double width, double height) {
  PixelRefcon refcon{};
  refcon.frame_width = width;
  refcon.frame_height = height;
  return refcon;
}

// The cell of every column of a row inside the strip.
std::vector<int> ColumnCells(const PixelRefcon& refcon, int32_t columns, int32_t row) {
  std::vector<int> cells;
  for (int32_t x = 0; x < columns; ++x) cells.push_back(SwatchCellAt(refcon, x, row));
  return cells;
}

// First column of each cell and first column past the strip.
std::vector<int32_t> CellStarts(const std::vector<int>& cells) {
  std::vector<int32_t> starts;
  for (size_t x = 0; x < cells.size(); ++x) {
    const int previous = x == 0 ? -1 : cells[x - 1];
    if (cells[x] != previous) starts.push_back(static_cast<int32_t>(x));
  }
  return starts;
}

TEST(SwatchColumns, CellsSplitTheWidthAsDecimalArithmeticWould) {
  struct Case {
    double width;
    std::vector<int32_t> starts;  // cell 0..4, then pass-through
  };
  const Case cases[] = {
      {100, {10, 26, 42, 58, 74, 90}},
      {1920, {192, 500, 807, 1114, 1421, 1728}},
      {10, {1, 3, 5, 6, 8, 9}},
  };
  for (const Case& c : cases) {
    const PixelRefcon refcon = Frame(c.width, 100);
    const std::vector<int> cells = ColumnCells(refcon, static_cast<int32_t>(c.width), 90);
    EXPECT_EQ(cells.front(), -1) << c.width;
    EXPECT_EQ(cells.back(), -1) << c.width;
    EXPECT_EQ(CellStarts(cells), c.starts) << c.width;
    // Starts alternate: pass-through, then cells 0..4 in order, then pass-through.
    for (int k = 0; k < kBandCount; ++k) EXPECT_EQ(cells[c.starts[k]], k) << c.width;
  }
}

TEST(SwatchRows, StripIncludesBothEdges) {
  struct Case {
    double height;
    int32_t first_row, last_row;  // -1, -1 when no row is painted
  };
  const Case cases[] = {{100, 80, 95}, {1080, 864, 1026}, {20, 16, 19}, {1, -1, -1}};
  for (const Case& c : cases) {
    const PixelRefcon refcon = Frame(100, c.height);
    int32_t first = -1, last = -1;
    for (int32_t y = 0; y < static_cast<int32_t>(c.height) + 2; ++y) {
      if (SwatchCellAt(refcon, 50, y) >= 0) {
        if (first < 0) first = y;
        last = y;
      } else if (first >= 0) {
        EXPECT_GT(y, last) << "strip rows must be contiguous, height " << c.height;
      }
    }
    EXPECT_EQ(first, c.first_row) << c.height;
    EXPECT_EQ(last, c.last_row) << c.height;
  }
}

TEST(SwatchCells, DegenerateFrameSizesMatchNothing) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  constexpr double kInf = std::numeric_limits<double>::infinity();
  const PixelRefcon frames[] = {Frame(0, 100),    Frame(-100, 100), Frame(kNaN, 100), Frame(100, kNaN),
                                Frame(100, -100), Frame(kInf, 100)};
  for (const PixelRefcon& refcon : frames) {
    for (int32_t y = -200; y <= 200; y += 5)
      for (int32_t x = -200; x <= 200; x += 3)
        ASSERT_EQ(SwatchCellAt(refcon, x, y), -1)
            << refcon.frame_width << "x" << refcon.frame_height << " at " << x << "," << y;
  }
}

TEST(SwatchCells, NegativeCoordinatesPassThrough) {
  const PixelRefcon refcon = Frame(100, 100);
  EXPECT_EQ(SwatchCellAt(refcon, -1, 85), -1);
  EXPECT_EQ(SwatchCellAt(refcon, 50, -85), -1);
  EXPECT_EQ(SwatchCellAt(refcon, 50, 85), 2);
}

TEST(SwatchCells, ZeroHeightPutsBothStripEdgesOnRowZero) {
  const PixelRefcon refcon = Frame(100, 0);
  EXPECT_EQ(SwatchCellAt(refcon, 10, 0), 0);
  EXPECT_EQ(SwatchCellAt(refcon, 89, 0), 4);
  EXPECT_EQ(SwatchCellAt(refcon, 10, 1), -1);
}

// Frame sizes for the prepared bounds: every small size, common frame sizes,
// and values whose products round, overflow 32 bits or are not numbers.
std::vector<double> BoundsSizes() {
  std::vector<double> sizes;
  for (int size = 0; size <= 400; ++size) sizes.push_back(size);
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  constexpr double kInf = std::numeric_limits<double>::infinity();
  for (double size : {1920.0, 1080.0, 3840.0, 2160.0, 4096.0, 8192.0, 8191.0, 16384.0, -0.0, -1.0, -100.0, -1920.0,
                      0.5, 2.5, 12.75, 5e-324, 1e-300, 2147483647.0, 2386092942.0, 2684354560.0, 4294967296.0, 1e300,
                      -1e300, kInf, -kInf, kNaN})
    sizes.push_back(size);
  return sizes;
}

// Coordinates around every bound a size can produce, a small range from the
// origin, and the ends of the int32 range.
std::vector<int32_t> ProbesFor(double size, const std::vector<double>& fractions) {
  std::vector<int32_t> probes;
  for (int32_t n = -3; n <= 420; ++n) probes.push_back(n);
  probes.push_back(std::numeric_limits<int32_t>::min());
  probes.push_back(std::numeric_limits<int32_t>::max());
  for (double fraction : fractions) {
    const double bound = fraction * size;
    if (!(bound > -2147483640.0 && bound < 2147483640.0)) continue;
    for (int64_t n = static_cast<int64_t>(std::floor(bound)) - 2; n <= static_cast<int64_t>(std::ceil(bound)) + 2; ++n)
      probes.push_back(static_cast<int32_t>(n));
  }
  return probes;
}

PixelRefcon Prepared(double width, double height) {
  PixelRefcon refcon = Frame(width, height);
  PrepareSwatchBounds(refcon);
  return refcon;
}

TEST(SwatchBounds, ColumnsMatchTheDoubleComparisonsForEveryWidth) {
  const std::vector<double> fractions(std::begin(kSwatchEdges), std::end(kSwatchEdges));
  for (double width : BoundsSizes()) {
    // Height 0 puts row 0 inside the strip, so every column is looked up.
    const PixelRefcon refcon = Prepared(width, 0);
    for (int32_t x : ProbesFor(width, fractions))
      ASSERT_EQ(SwatchCellIn(refcon.swatch, x, 0), SwatchCellAt(refcon, x, 0)) << "width " << width << " x " << x;
  }
}

TEST(SwatchBounds, RowsMatchTheDoubleComparisonsForEveryHeight) {
  for (double height : BoundsSizes()) {
    const PixelRefcon refcon = Prepared(100, height);
    for (int32_t y : ProbesFor(height, {kSwatchTop, kSwatchBottom}))
      ASSERT_EQ(SwatchCellIn(refcon.swatch, 50, y), SwatchCellAt(refcon, 50, y)) << "height " << height << " y " << y;
  }
}

TEST(SwatchBounds, WholeFramesMatchTheDoubleComparisons) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  const double sizes[] = {0, 1, 7, 10, 64, 100, 333, -5, kNaN};
  for (double width : sizes) {
    for (double height : sizes) {
      const PixelRefcon refcon = Prepared(width, height);
      for (int32_t y = -2; y <= 340; ++y)
        for (int32_t x = -2; x <= 340; ++x)
          ASSERT_EQ(SwatchCellIn(refcon.swatch, x, y), SwatchCellAt(refcon, x, y))
              << width << "x" << height << " at " << x << "," << y;
    }
  }
}

}  // namespace
