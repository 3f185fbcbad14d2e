// The guard against hosts that split rows: the row count check after a pass
// and the walk that measures the frame again.
#include "split_rows.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "layout_table.h"
#include "pixels.h"
#include "scalar_reference.h"

namespace {

constexpr int32_t kWidth = 9, kHeight = 4;

// Random pixels of any channel type, one NaN among the float ones.
template <class Pixel>
std::vector<Pixel> RandomFrame(unsigned seed) {
  std::mt19937 random(seed);
  std::vector<Pixel> frame(kWidth * kHeight);
  for (Pixel& pixel : frame) {
    unsigned char bytes[sizeof(Pixel)];
    for (unsigned char& byte : bytes) byte = static_cast<unsigned char>(random());
    std::memcpy(&pixel, bytes, sizeof pixel);
    if constexpr (sizeof(Pixel) == 16) {
      // Bytes of float channels make mostly tiny or huge values: use 0..1.
      float channels[4];
      for (float& c : channels) c = std::uniform_real_distribution<float>(-0.2f, 1.3f)(random);
      std::memcpy(&pixel, channels, sizeof pixel);
    }
  }
  if constexpr (sizeof(Pixel) == 16) {
    const float nan = NAN;
    std::memcpy(reinterpret_cast<unsigned char*>(&frame[5]) + 2 * sizeof nan, &nan, sizeof nan);
  }
  return frame;
}

template <class Pixel>
void AnalyseRow(const LayoutInfo& layout, BandAccumulator& pass, std::vector<Pixel>& frame, int32_t y, int32_t from,
                int32_t to) {
  PixelRefcon refcon{};
  refcon.accumulator = &pass;
  for (int32_t x = from; x < to; ++x) layout.analyse(&refcon, x, y, &frame[y * kWidth + x], &frame[y * kWidth + x]);
}

// Bit for bit, any NaN matching any NaN.
bool SameSums(const BandSums& a, const BandSums& b) {
  for (int band = 0; band < kBandCount; ++band)
    for (int c = 0; c < kChannelCount; ++c) {
      const bool both_nan = std::isnan(a[band][c]) && std::isnan(b[band][c]);
      if (!both_nan && std::memcmp(&a[band][c], &b[band][c], sizeof(double)) != 0) return false;
    }
  return true;
}

struct LayoutCase {
  const char* name;
  scalar_reference::Layout layout;
};

// One layout: a pass whose row 2 was split between two threads that raced
// (the right piece added into the row's cells as they were before the left
// piece: the left piece's additions are lost) fails the check; the frame
// measured again gives the documented sums of the whole frame.
template <class Pixel>
void CheckLayout(PixelLayout layout, const LayoutCase& c) {
  SCOPED_TRACE(c.name);
  const LayoutInfo& analyse = LayoutOf(layout);
  std::vector<Pixel> frame = RandomFrame<Pixel>(11);
  BandAccumulator pass(true, kHeight);
  for (int32_t y = 0; y < kHeight; ++y) AnalyseRow(analyse, pass, frame, y, 0, kWidth);
  EXPECT_TRUE(EveryRowCounted(pass, kHeight, kWidth));
  EXPECT_FALSE(EveryRowCounted(pass, kHeight, kWidth + 1));

  BandAccumulator raced(true, kHeight);
  for (int32_t y = 0; y < kHeight; ++y) {
    if (y != 2) {
      AnalyseRow(analyse, raced, frame, y, 0, kWidth);
      continue;
    }
    const BandAccumulator::Row before = *raced.RowAt(y);
    AnalyseRow(analyse, raced, frame, y, 0, kWidth / 2);
    *raced.RowAt(y) = before;
    AnalyseRow(analyse, raced, frame, y, kWidth / 2, kWidth);
  }
  EXPECT_FALSE(EveryRowCounted(raced, kHeight, kWidth));

  BandAccumulator fresh(true, kHeight);
  const FrameView view = {frame.data(), kWidth, kHeight, static_cast<std::ptrdiff_t>(kWidth * sizeof(Pixel))};
  int32_t rows_asked = 0;
  EXPECT_EQ(MeasureFrameAgain(fresh, analyse, view, [&] { return ++rows_asked, 0; }), 0);
  EXPECT_EQ(rows_asked, kHeight);
  EXPECT_TRUE(EveryRowCounted(fresh, kHeight, kWidth));
  BandSums sums{};
  int32_t counts[kBandCount]{};
  fresh.MergeInto(sums, counts);
  const scalar_reference::Bands want = scalar_reference::MeasureFrame(c.layout, frame.data(), kWidth, kHeight,
                                                                      kWidth * sizeof(Pixel));
  for (int band = 0; band < kBandCount; ++band) EXPECT_EQ(counts[band], want.counts[band]) << "band " << band;
  EXPECT_TRUE(SameSums(sums, want.sums));
}

TEST(SplitRows, LostAdditionsAreCaughtAndTheFrameMeasuredAgainIsTheWholeFrame) {
  CheckLayout<Argb8Pixel>(PixelLayout::kArgb8, {"argb8", scalar_reference::Layout::kArgb8});
  CheckLayout<Bgra8Pixel>(PixelLayout::kBgra8, {"bgra8", scalar_reference::Layout::kBgra8});
  CheckLayout<Argb16Pixel>(PixelLayout::kArgb16, {"argb16", scalar_reference::Layout::kArgb16});
  CheckLayout<ArgbFloatPixel>(PixelLayout::kArgbFloat, {"argb32f", scalar_reference::Layout::kArgbFloat});
}

TEST(SplitRows, DisabledPassesAndRowsOutsideThePassAreNotChecked) {
  EXPECT_TRUE(EveryRowCounted(BandAccumulator(false, kHeight), kHeight, kWidth));
  BandAccumulator empty(true, 2);
  EXPECT_TRUE(EveryRowCounted(empty, 2, 0));
  EXPECT_FALSE(EveryRowCounted(empty, 2, 1));
  EXPECT_TRUE(EveryRowCounted(empty, 0, 1));
}

// The host's abort code ends the walk at the row where it comes; the
// frame is only read.
TEST(SplitRows, MeasuringAgainStopsAtTheFirstCodeAndNeverWritesTheFrame) {
  std::vector<VuyaFloatPixel> frame = RandomFrame<VuyaFloatPixel>(3);
  const std::vector<VuyaFloatPixel> before = frame;
  BandAccumulator fresh(true, kHeight);
  const FrameView view = {frame.data(), kWidth, kHeight, static_cast<std::ptrdiff_t>(kWidth * sizeof frame[0])};
  int32_t rows_asked = 0;
  EXPECT_EQ(MeasureFrameAgain(fresh, LayoutOf(PixelLayout::kVuyaFloat), view,
                              [&] { return ++rows_asked == 3 ? 42 : 0; }),
            42);
  EXPECT_TRUE(EveryRowCounted(fresh, 2, kWidth));
  EXPECT_FALSE(EveryRowCounted(fresh, 3, kWidth));
  EXPECT_EQ(std::memcmp(frame.data(), before.data(), frame.size() * sizeof frame[0]), 0);
}

}  // namespace
