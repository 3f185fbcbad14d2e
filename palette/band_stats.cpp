#include "band_stats.h"

namespace {

template <class Body>
void ForEachSum(BandSums& sums, Body&& body) {
  for (auto& band : sums)
    for (double& value : band) body(value);
}

// Strict comparisons: a value equal to a limit stays, NaN fails both tests.
double ClampAbove(double value, double upper) {
  if (value > upper) return upper;
  if (value < 0.0) return 0.0;
  return value;
}

void Normalise(BandSums& sums, const int32_t counts[kBandCount], double gain) {
  int64_t wide[kBandCount];
  for (int band = 0; band < kBandCount; ++band) wide[band] = counts[band];
  NormaliseSums(sums, wide, gain);
}

}  // namespace

bool AnalysisEnabled(const BandStats& stats) { return stats.analysis_enabled.load() == 1; }

void ToggleAnalysis(BandStats& stats) {
  uint8_t seen = stats.analysis_enabled.load();
  while (!stats.analysis_enabled.compare_exchange_weak(seen, seen == 1 ? 0 : 1)) {
  }
}

void ResetRgbBands(BandStats& stats) {
  ForEachSum(stats.rgb_sums, [](double& value) { value = 0.0; });
  for (int32_t& count : stats.counts) count = 0;
}

void ResetYuvBands(BandStats& stats) {
  ForEachSum(stats.yuv_sums, [](double& value) { value = 0.0; });
  for (int32_t& count : stats.counts) count = 0;
}

void NormaliseRgbBands(BandStats& stats, double gain) { Normalise(stats.rgb_sums, stats.counts, gain); }

// Multiplying by 1.0 changes no value, NaN and infinities included.
void NormaliseYuvBands(BandStats& stats) { Normalise(stats.yuv_sums, stats.counts, 1.0); }

void NormaliseSums(BandSums& sums, const int64_t counts[kBandCount], double gain) {
  for (int band = 0; band < kBandCount; ++band) {
    // No zero test: an empty band divides 0.0 by 0.0 and averages to NaN.
    const double n = static_cast<double>(counts[band]);
    for (double& value : sums[band]) value = (value / n) * gain;
  }
}

void ClampRgbUnit(BandStats& stats) {
  ForEachSum(stats.rgb_sums, [](double& value) {
    value = value != value ? 0.0 : ClampAbove(value, 1.0);
  });
}

void ClampRgb8(BandStats& stats) {
  ForEachSum(stats.rgb_sums, [](double& value) { value = ClampAbove(value, 255.0); });
}

void ClampRgb16(BandStats& stats) {
  ForEachSum(stats.rgb_sums, [](double& value) { value = ClampAbove(value, 32768.0); });
}

void ClampRgb16Full(BandStats& stats) {
  ForEachSum(stats.rgb_sums, [](double& value) { value = ClampAbove(value, 65535.0); });
}

BandStats& ProcessBandStats() {
  static BandStats stats;
  return stats;
}

std::mutex& BandStatsMutex() {
  static std::mutex mutex;
  return mutex;
}
