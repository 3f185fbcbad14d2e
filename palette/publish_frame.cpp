#include "publish_frame.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

BandSums& SumsOf(BandStats& stats, ColourModel model) {
  return model == ColourModel::kRgb ? stats.rgb_sums : stats.yuv_sums;
}

void Reset(BandStats& stats, ColourModel model) {
  if (model == ColourModel::kRgb)
    ResetRgbBands(stats);
  else
    ResetYuvBands(stats);
}

// A render's pass: the record's own 32-bit counts, as the pass left them.
void MergePass(BandStats& stats, const FramePublication& frame) {
  BandSums& sums = SumsOf(stats, frame.model);
  frame.analysed->MergeInto(sums, stats.counts);
  if (frame.model == ColourModel::kRgb)
    NormaliseRgbBands(stats, frame.gain);
  else
    NormaliseYuvBands(stats);
}

// Bands merged already: averaged by their 64-bit counts, which the record
// keeps as far as 32 bits hold them.
void MergeBands(BandStats& stats, const FramePublication& frame) {
  BandSums& sums = SumsOf(stats, frame.model);
  std::memcpy(sums, frame.measured->sums, sizeof sums);
  NormaliseSums(sums, frame.measured->counts, frame.model == ColourModel::kRgb ? frame.gain : 1.0);
  for (int band = 0; band < kBandCount; ++band)
    stats.counts[band] =
        static_cast<int32_t>(std::min<int64_t>(frame.measured->counts[band], std::numeric_limits<int32_t>::max()));
}

}  // namespace

BandPalette PublishFrame(BandStats& stats, std::mutex& lock, const FramePublication& frame) {
  std::lock_guard<std::mutex> hold(lock);
  if (frame.reset_yuv_first) ResetYuvBands(stats);
  if (frame.analysed || frame.measured) Reset(stats, frame.model);
  if (frame.analysed)
    MergePass(stats, frame);
  else if (frame.measured)
    MergeBands(stats, frame);
  ApplyClamp(stats, frame.clamp);
  return CopyPalette(stats);
}
