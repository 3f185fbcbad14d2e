#include <cmath>
#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

#include "band_stats.h"
#include "clamps.h"
#include "pixel_refcon.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

void FillSums(BandSums& sums, double value) {
  for (auto& band : sums)
    for (double& v : band) v = value;
}

TEST(AnalysisSwitch, StartsOn) {
  BandStats stats;
  EXPECT_EQ(stats.analysis_enabled.load(), 1);
  EXPECT_TRUE(AnalysisEnabled(stats));
  EXPECT_TRUE(AnalysisEnabled(ProcessBandStats()));
}

TEST(AnalysisSwitch, ToggleTurnsOneOffAndAnythingElseOn) {
  struct Case {
    uint8_t before, after;
    bool enabled_before;
  };
  const Case cases[] = {{1, 0, true}, {0, 1, false}, {2, 1, false}, {255, 1, false}};
  for (const Case& c : cases) {
    BandStats stats;
    stats.analysis_enabled = c.before;
    EXPECT_EQ(AnalysisEnabled(stats), c.enabled_before) << int(c.before);
    ToggleAnalysis(stats);
    EXPECT_EQ(stats.analysis_enabled.load(), c.after) << int(c.before);
  }
}

TEST(AnalysisSwitch, TwoTogglesRestoreOn) {
  BandStats stats;
  ToggleAnalysis(stats);
  ToggleAnalysis(stats);
  EXPECT_EQ(stats.analysis_enabled.load(), 1);
}

TEST(BandReset, EachModelResetKeepsTheOtherModelAndClearsCounts) {
  BandStats stats;
  FillSums(stats.rgb_sums, 7.0);
  FillSums(stats.yuv_sums, 9.0);
  for (int32_t& count : stats.counts) count = 3;
  ResetRgbBands(stats);
  for (int band = 0; band < kBandCount; ++band) {
    EXPECT_EQ(stats.counts[band], 0);
    for (int c = 0; c < kChannelCount; ++c) {
      EXPECT_EQ(stats.rgb_sums[band][c], 0.0);
      EXPECT_EQ(stats.yuv_sums[band][c], 9.0);
    }
  }
  FillSums(stats.rgb_sums, 7.0);
  for (int32_t& count : stats.counts) count = 3;
  ResetYuvBands(stats);
  for (int band = 0; band < kBandCount; ++band) {
    EXPECT_EQ(stats.counts[band], 0);
    for (int c = 0; c < kChannelCount; ++c) {
      EXPECT_EQ(stats.rgb_sums[band][c], 7.0);
      EXPECT_EQ(stats.yuv_sums[band][c], 0.0);
    }
  }
}

TEST(BandNormalise, DividesByEachBandsCountThenAppliesGain) {
  struct Case {
    double gain;
    double expected[3];
  };
  const Case cases[] = {{1.0, {25.0, 50.0, 75.0}}, {2.0, {50.0, 100.0, 150.0}}};
  for (const Case& c : cases) {
    BandStats stats;
    for (int band = 0; band < kBandCount; ++band) {
      stats.counts[band] = 4 * (band + 1);
      stats.rgb_sums[band][0] = 100.0 * (band + 1);
      stats.rgb_sums[band][1] = 200.0 * (band + 1);
      stats.rgb_sums[band][2] = 300.0 * (band + 1);
    }
    NormaliseRgbBands(stats, c.gain);
    for (int band = 0; band < kBandCount; ++band)
      for (int ch = 0; ch < kChannelCount; ++ch) EXPECT_EQ(stats.rgb_sums[band][ch], c.expected[ch]) << band;
  }
}

TEST(BandNormalise, YuvAveragesTakeNoGainAndLeaveRgbAlone) {
  BandStats stats;
  stats.counts[2] = 4;
  stats.yuv_sums[2][0] = 2.0;
  stats.yuv_sums[2][1] = -1.0;
  stats.rgb_sums[2][0] = 100.0;
  NormaliseYuvBands(stats);
  EXPECT_EQ(stats.yuv_sums[2][0], 0.5);
  EXPECT_EQ(stats.yuv_sums[2][1], -0.25);
  EXPECT_EQ(stats.rgb_sums[2][0], 100.0);
}

TEST(BandNormalise, EmptyBandAveragesToNaNAndNonZeroSumToInfinity) {
  BandStats stats;
  stats.rgb_sums[1][0] = 5.0;
  stats.rgb_sums[1][1] = -5.0;
  NormaliseRgbBands(stats, 2.0);
  NormaliseYuvBands(stats);
  EXPECT_TRUE(std::isnan(stats.rgb_sums[0][0]));
  EXPECT_TRUE(std::isnan(stats.yuv_sums[4][2]));
  EXPECT_EQ(stats.rgb_sums[1][0], kInf);
  EXPECT_EQ(stats.rgb_sums[1][1], -kInf);
}

struct ClampCase {
  double in;
  double unit, eight, sixteen;
};

const ClampCase kClampCases[] = {
    {0.5, 0.5, 0.5, 0.5},
    {0.0, 0.0, 0.0, 0.0},
    {1.0, 1.0, 1.0, 1.0},
    {1.5, 1.0, 1.5, 1.5},
    {-0.25, 0.0, 0.0, 0.0},
    {-4.0, 0.0, 0.0, 0.0},
    {254.9, 1.0, 254.9, 254.9},
    {255.0, 1.0, 255.0, 255.0},
    {300.0, 1.0, 255.0, 300.0},
    {32768.0, 1.0, 255.0, 32768.0},
    {40000.0, 1.0, 255.0, 32768.0},
    {kInf, 1.0, 255.0, 32768.0},
    {-kInf, 0.0, 0.0, 0.0},
    {kNaN, 0.0, kNaN, kNaN},
};

void ExpectSame(double actual, double expected, double in, const char* which) {
  if (std::isnan(expected)) {
    EXPECT_TRUE(std::isnan(actual)) << which << " of " << in;
  } else {
    EXPECT_EQ(actual, expected) << which << " of " << in;
  }
}

TEST(BandClamp, LimitsEachValueToTheFormatsRange) {
  for (const ClampCase& c : kClampCases) {
    struct Clamp {
      RgbClamp kind;
      double expected;
      const char* name;
    };
    const Clamp clamps[] = {{RgbClamp::kNone, c.in, "none"},
                            {RgbClamp::kUnit, c.unit, "unit"},
                            {RgbClamp::k8, c.eight, "8-bit"},
                            {RgbClamp::k16, c.sixteen, "16-bit"}};
    for (const Clamp& clamp : clamps) {
      BandStats stats;
      FillSums(stats.rgb_sums, c.in);
      FillSums(stats.yuv_sums, c.in);
      ApplyClamp(stats, clamp.kind);
      for (int band = 0; band < kBandCount; ++band) {
        for (int ch = 0; ch < kChannelCount; ++ch) {
          ExpectSame(stats.rgb_sums[band][ch], clamp.expected, c.in, clamp.name);
          ExpectSame(stats.yuv_sums[band][ch], c.in, c.in, "yuv is never clamped");
        }
      }
      // A second clamp changes nothing.
      BandStats again;
      FillSums(again.rgb_sums, stats.rgb_sums[0][0]);
      ApplyClamp(again, clamp.kind);
      ExpectSame(again.rgb_sums[0][0], clamp.expected, c.in, clamp.name);
    }
  }
}

TEST(BandPaletteCopy, CopiesBothModelsOfEveryBand) {
  BandStats stats;
  for (int band = 0; band < kBandCount; ++band) {
    for (int ch = 0; ch < kChannelCount; ++ch) {
      stats.rgb_sums[band][ch] = band * 10 + ch;
      stats.yuv_sums[band][ch] = -(band * 10 + ch);
    }
  }
  const BandPalette palette = CopyPalette(stats);
  for (int band = 0; band < kBandCount; ++band) {
    for (int ch = 0; ch < kChannelCount; ++ch) {
      EXPECT_EQ(palette.rgb[band][ch], band * 10 + ch);
      EXPECT_EQ(palette.yuv[band][ch], -(band * 10 + ch));
    }
  }
}

}  // namespace
