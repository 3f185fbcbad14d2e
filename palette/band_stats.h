// The process-wide record of what the effect has measured: an analysis
// switch, the colour sums of five brightness bands in two colour models and
// the number of pixels in each band.
#ifndef HUEWRIGHT_PALETTE_BAND_STATS_H
#define HUEWRIGHT_PALETTE_BAND_STATS_H

#include <atomic>
#include <cstdint>
#include <mutex>

inline constexpr int kBandCount = 5;
inline constexpr int kChannelCount = 3;

using BandSums = double[kBandCount][kChannelCount];

struct BandStats {
  // 1 means on; any other value means off.
  std::atomic<uint8_t> analysis_enabled{1};
  BandSums rgb_sums{};
  BandSums yuv_sums{};
  int32_t counts[kBandCount]{};
};

bool AnalysisEnabled(const BandStats& stats);
void ToggleAnalysis(BandStats& stats);
void ResetRgbBands(BandStats& stats);
void ResetYuvBands(BandStats& stats);
void NormaliseRgbBands(BandStats& stats, double gain);
void NormaliseYuvBands(BandStats& stats);
// The averaging step on sums held apart from the record, with counts of any
// size: each value becomes (value / count) * gain; an empty band gives NaN.
// A gain of 1.0 leaves the plain average, as NormaliseYuvBands has it.
void NormaliseSums(BandSums& sums, const int64_t counts[kBandCount], double gain);
void ClampRgbUnit(BandStats& stats);
void ClampRgb8(BandStats& stats);
void ClampRgb16(BandStats& stats);
void ClampRgb16Full(BandStats& stats);

// The one record of the process. Its switch may be read and flipped at any
// time; sums and counts are only touched inside WithBandStats.
BandStats& ProcessBandStats();
std::mutex& BandStatsMutex();

// Runs body(stats) on the process-wide record under its lock. Renders keep
// this section short: merge, normalise, clamp and copy the palette out.
template <class Body>
decltype(auto) WithBandStats(Body&& body) {
  std::lock_guard<std::mutex> hold(BandStatsMutex());
  return body(ProcessBandStats());
}

#endif
