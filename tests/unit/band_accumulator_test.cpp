#include "band_accumulator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <ios>
#include <limits>
#include <memory>
#include <thread>
#include <vector>

#include "analysis_helpers.h"
#include "pixel_refcon.h"
#include "scalar_reference.h"
#include "select_band.h"

namespace {

constexpr int32_t kWidth = 256;
constexpr int32_t kHeight = 96;

struct Totals {
  BandSums sums{};
  int32_t counts[kBandCount]{};

  bool operator==(const Totals& other) const {
    return std::memcmp(sums, other.sums, sizeof sums) == 0 && std::memcmp(counts, other.counts, sizeof counts) == 0;
  }
};

// Float channels that are multiples of 1/64, so every partial sum is exact
// and the totals cannot depend on the order in which threads add.
std::vector<ArgbFloatPixel> ExactFrame(int seed) {
  std::vector<ArgbFloatPixel> frame;
  for (int32_t i = 0; i < kWidth * kHeight; ++i) {
    const int v = (i * 37 + seed * 11) % 97;
    frame.push_back({1.0f, v / 64.0f, ((v * 5) % 67) / 64.0f, -((v * 3) % 61) / 64.0f});
  }
  return frame;
}

// Analyses rows [first, last) of frame through refcon.
void AnalyseRows(PixelRefcon* refcon, std::vector<ArgbFloatPixel>& frame, int32_t first, int32_t last) {
  for (int32_t y = first; y < last; ++y)
    for (int32_t x = 0; x < kWidth; ++x) {
      ArgbFloatPixel* pixel = &frame[y * kWidth + x];
      AnalyserOf(PixelLayout::kArgbFloat)(refcon, x, y, pixel, pixel);
    }
}

// One pass over frame, its rows split over thread_count threads.
Totals RunPass(std::vector<ArgbFloatPixel>& frame, int thread_count) {
  BandAccumulator accumulator(true, kHeight);
  PixelRefcon refcon{};
  refcon.accumulator = &accumulator;
  std::vector<std::thread> threads;
  const int32_t rows_per_thread = (kHeight + thread_count - 1) / thread_count;
  for (int t = 0; t < thread_count; ++t) {
    const int32_t first = std::min(kHeight, t * rows_per_thread);
    const int32_t last = std::min(kHeight, first + rows_per_thread);
    threads.emplace_back(AnalyseRows, &refcon, std::ref(frame), first, last);
  }
  for (std::thread& thread : threads) thread.join();
  Totals totals;
  accumulator.MergeInto(totals.sums, totals.counts);
  return totals;
}

// The documented arithmetic and order of a pass, by the scalar reference.
template <class Pixel>
Totals DirectPass(scalar_reference::Layout layout, const std::vector<Pixel>& frame) {
  const scalar_reference::Bands bands =
      scalar_reference::MeasureFrame(layout, frame.data(), kWidth, kHeight, kWidth * sizeof(Pixel));
  Totals totals;
  std::memcpy(totals.sums, bands.sums, sizeof totals.sums);
  for (int band = 0; band < kBandCount; ++band) totals.counts[band] = static_cast<int32_t>(bands.counts[band]);
  return totals;
}
Totals DirectPass(const std::vector<ArgbFloatPixel>& frame) {
  return DirectPass(scalar_reference::Layout::kArgbFloat, frame);
}

TEST(BandAccumulator, PassSplitOverThreadsMatchesOneThread) {
  auto frame = ExactFrame(1);
  const Totals direct = DirectPass(frame);
  int32_t pixels = 0;
  for (int32_t count : direct.counts) pixels += count;
  ASSERT_EQ(pixels, kWidth * kHeight);
  for (int threads : {1, 2, 4, 16}) EXPECT_TRUE(RunPass(frame, threads) == direct) << threads << " threads";
}

TEST(BandAccumulator, ConcurrentPassesKeepTheirOwnTotals) {
  constexpr int kPasses = 4;
  std::vector<std::vector<ArgbFloatPixel>> frames;
  std::vector<Totals> expected;
  for (int p = 0; p < kPasses; ++p) {
    frames.push_back(ExactFrame(p + 2));
    expected.push_back(DirectPass(frames.back()));
  }
  std::vector<Totals> results(kPasses);
  std::vector<std::thread> renders;
  for (int p = 0; p < kPasses; ++p)
    renders.emplace_back([&, p] { results[p] = RunPass(frames[p], 3); });
  for (std::thread& render : renders) render.join();
  for (int p = 0; p < kPasses; ++p) EXPECT_TRUE(results[p] == expected[p]) << "pass " << p;
}

TEST(BandAccumulator, WholeNumberPassesSplitOverThreadsMatchOneThread) {
  std::vector<Argb16Pixel> frame;
  for (int32_t i = 0; i < kWidth * kHeight; ++i) {
    const auto v = static_cast<uint16_t>((i * 2654435761u) >> 16);
    frame.push_back({32768, v, static_cast<uint16_t>(v / 3), static_cast<uint16_t>(65535 - v)});
  }
  auto pass = [&frame](int thread_count) {
    BandAccumulator accumulator(true, kHeight);
    PixelRefcon refcon{};
    refcon.accumulator = &accumulator;
    std::vector<std::thread> threads;
    for (int t = 0; t < thread_count; ++t) {
      threads.emplace_back([&, t] {
        for (int32_t y = t; y < kHeight; y += thread_count)
          for (int32_t x = 0; x < kWidth; ++x) {
            Argb16Pixel* pixel = &frame[y * kWidth + x];
            AnalyserOf(PixelLayout::kArgb16)(&refcon, x, y, pixel, pixel);
          }
      });
    }
    for (std::thread& thread : threads) thread.join();
    Totals totals;
    accumulator.MergeInto(totals.sums, totals.counts);
    return totals;
  };
  const Totals direct = DirectPass(scalar_reference::Layout::kArgb16, frame);
  for (int threads : {1, 3, 16}) EXPECT_TRUE(pass(threads) == direct) << threads << " threads";
}

TEST(BandAccumulator, AnyThreadCountLeavesTheRowOrderSums) {
  // Values that round when added: only the same order of additions gives
  // the same bits, so the totals show the order the threads did not change.
  std::vector<ArgbFloatPixel> frame;
  for (int32_t i = 0; i < kWidth * kHeight; ++i)
    frame.push_back({1.0f, 0.1f + i * 1e-5f, 0.7f / (1 + i % 13), 0.3f * (i % 7) / 7.0f});
  const Totals expected = DirectPass(frame);
  for (int threads : {1, 2, 3, 8}) EXPECT_TRUE(RunPass(frame, threads) == expected) << threads << " threads";
}

TEST(BandAccumulator, FreshAccumulatorNeverSeesAnEarlierPassesPixels) {
  ArgbFloatPixel grey{1.0f, 0.5f, 0.5f, 0.5f};
  for (int round = 1; round <= 3; ++round) {
    BandAccumulator accumulator(true, 1);  // same stack address every round
    PixelRefcon refcon{};
    refcon.accumulator = &accumulator;
    for (int i = 0; i < round; ++i) AnalyserOf(PixelLayout::kArgbFloat)(&refcon, 0, 0, &grey, &grey);
    Totals totals;
    accumulator.MergeInto(totals.sums, totals.counts);
    EXPECT_EQ(totals.counts[2], round);
    EXPECT_EQ(totals.sums[2][0], 0.5 * round);
  }
}

TEST(BandAccumulator, DisabledHoldsNoRowAndAddsNothing) {
  BandAccumulator accumulator(false, 4);
  EXPECT_FALSE(accumulator.enabled());
  EXPECT_EQ(accumulator.RowAt(0), nullptr);
  ArgbFloatPixel grey{1.0f, 0.5f, 0.5f, 0.5f};
  PixelRefcon refcon{};
  refcon.accumulator = &accumulator;
  AnalyserOf(PixelLayout::kArgbFloat)(&refcon, 0, 0, &grey, &grey);
  Totals totals;
  totals.counts[1] = 5;
  totals.sums[1][0] = 4.0;
  accumulator.MergeInto(totals.sums, totals.counts);
  EXPECT_EQ(totals.counts[1], 5);
  EXPECT_EQ(totals.sums[1][0], 4.0);
}

TEST(BandAccumulator, RowsOutsideThePassAreNotCounted) {
  BandAccumulator accumulator(true, 2);
  EXPECT_NE(accumulator.RowAt(1), nullptr);
  for (int32_t y : {-1, 2, INT32_MIN, INT32_MAX}) EXPECT_EQ(accumulator.RowAt(y), nullptr) << y;
  ArgbFloatPixel grey{1.0f, 0.5f, 0.5f, 0.5f};
  PixelRefcon refcon{};
  refcon.accumulator = &accumulator;
  for (int32_t y : {-1, 0, 1, 2}) AnalyserOf(PixelLayout::kArgbFloat)(&refcon, 0, y, &grey, &grey);
  Totals totals;
  accumulator.MergeInto(totals.sums, totals.counts);
  EXPECT_EQ(totals.counts[2], 2);
  EXPECT_EQ(BandAccumulator(true, -5).RowAt(0), nullptr);
}

TEST(BandAccumulator, MergeAddsToWhatIsThereAndSaturatesCounts) {
  BandAccumulator accumulator(true, 2);
  for (int x = 0; x < 3; ++x) accumulator.RowAt(x % 2)->Add(x, 0, 1.0, 2.0, 3.0);
  accumulator.RowAt(1)->Add(7, 4, 0.5, 0.5, 0.5);
  Totals totals;
  totals.counts[0] = std::numeric_limits<int32_t>::max() - 1;
  totals.counts[4] = 10;
  totals.sums[4][2] = 1.0;
  accumulator.MergeInto(totals.sums, totals.counts);
  EXPECT_EQ(totals.counts[0], std::numeric_limits<int32_t>::max());
  EXPECT_EQ(totals.counts[4], 11);
  EXPECT_EQ(totals.sums[0][1], 6.0);
  EXPECT_EQ(totals.sums[4][2], 1.5);
}


// Sums that round show the order of the merge. 2^-53 is half an ulp of 1.0:
// added to 1.0 it rounds away (to even), while three of them added first
// make 3 * 2^-53, and 1.0 plus that rounds to 1 + 2^-51. Channel 0 holds
// 1.0 in the first cell and 2^-53 in three later ones, channel 1 the mirror,
// so only the documented order (rows from the top, lanes from 0 within a
// row) gives exactly 1.0 and 1 + 2^-51.
TEST(BandAccumulator, MergeAddsRowsFromTheTopAndLanesInOrder) {
  const double tiny = std::ldexp(1.0, -53);
  struct Case {
    const char* what;
    int32_t rows;
    int32_t y[4], x[4];  // the four cells, in merge order
  };
  const Case cases[] = {{"one lane of four rows", 4, {0, 1, 2, 3}, {0, 0, 0, 0}},
                        {"four lanes of one row", 1, {0, 0, 0, 0}, {0, 1, 2, 3}}};
  for (const Case& c : cases) {
    BandAccumulator accumulator(true, c.rows);
    for (int i = 0; i < 4; ++i)
      accumulator.RowAt(c.y[i])->Add(c.x[i], 3, i == 0 ? 1.0 : tiny, i == 3 ? 1.0 : tiny, 0.0);
    Totals totals;
    accumulator.MergeInto(totals.sums, totals.counts);
    EXPECT_EQ(totals.sums[3][0], 1.0) << c.what << ": " << std::hexfloat << totals.sums[3][0];
    EXPECT_EQ(totals.sums[3][1], 1.0 + std::ldexp(1.0, -51)) << c.what << ": " << std::hexfloat << totals.sums[3][1];
    EXPECT_EQ(totals.counts[3], 4) << c.what;
  }
}

// Row storage goes back to a process-wide pool and serves later passes of
// other heights; nothing an earlier pass added may reach a later one's sums.
TEST(BandAccumulator, PooledRowsCarryNothingIntoPassesOfOtherHeights) {
  // Held for the whole test, these take whatever earlier tests left in the
  // pool, so that each pass below reuses the storage of the one before.
  std::vector<std::unique_ptr<BandAccumulator>> holders;
  for (int i = 0; i < 8; ++i) holders.push_back(std::make_unique<BandAccumulator>(true, 1));
  for (int32_t rows : {300, 100, 200, 300}) {
    BandAccumulator accumulator(true, rows);
    for (int32_t y = 0; y < rows; ++y) accumulator.RowAt(y)->Add(y, y % kBandCount, 1.0, 2.0, 4.0);
    Totals totals;
    accumulator.MergeInto(totals.sums, totals.counts);
    for (int band = 0; band < kBandCount; ++band) {
      const int32_t count = (rows - band + kBandCount - 1) / kBandCount;  // rows y with y % 5 == band
      EXPECT_EQ(totals.counts[band], count) << rows << " rows, band " << band;
      EXPECT_EQ(totals.sums[band][2], 4.0 * count) << rows << " rows, band " << band;
    }
  }
}

}  // namespace
