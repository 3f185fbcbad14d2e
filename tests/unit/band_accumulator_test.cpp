#include "band_accumulator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <limits>
#include <thread>
#include <vector>

#include "analysis_helpers.h"
#include "pixel_refcon.h"
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

// The documented order of a pass: within a row, the pixels of columns
// x = k (mod 4) summed apart, left to right; then row by row from the top,
// each row's four partial sums added in column order k = 0..3.
Totals DirectPass(const std::vector<ArgbFloatPixel>& frame) {
  Totals totals;
  for (int32_t y = 0; y < kHeight; ++y) {
    double partial[kBandCount][4][kChannelCount] = {};
    int32_t counts[kBandCount][4] = {};
    for (int32_t x = 0; x < kWidth; ++x) {
      const ArgbFloatPixel& pixel = frame[y * kWidth + x];
      const double red = pixel.red, green = pixel.green, blue = pixel.blue;
      const double brightness = ((std::max(green, 0.0) + std::max(red, 0.0)) + std::max(blue, 0.0)) * 0.333;
      const int band = SelectBand(brightness);
      counts[band][x % 4] += 1;
      partial[band][x % 4][0] += std::abs(red);
      partial[band][x % 4][1] += std::abs(green);
      partial[band][x % 4][2] += std::abs(blue);
    }
    for (int band = 0; band < kBandCount; ++band)
      for (int lane = 0; lane < 4; ++lane) {
        totals.counts[band] += counts[band][lane];
        if (counts[band][lane] == 0) continue;
        for (int c = 0; c < kChannelCount; ++c) totals.sums[band][c] += partial[band][lane][c];
      }
  }
  return totals;
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
  Totals direct;
  for (const Argb16Pixel& pixel : frame) {
    const int band = SelectBand((double(pixel.red + pixel.green + pixel.blue) * 0.333) * 3.05e-5);
    direct.counts[band] += 1;
    direct.sums[band][0] += pixel.red;
    direct.sums[band][1] += pixel.green;
    direct.sums[band][2] += pixel.blue;
  }
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

}  // namespace
