#include "publish_frame.h"

BandPalette PublishFrame(const FramePublication& frame) {
  return WithBandStats([&](BandStats& stats) {
    if (frame.reset_yuv_first) ResetYuvBands(stats);
    if (frame.analysed && frame.model == BandModel::kRgb) {
      ResetRgbBands(stats);
      frame.analysed->MergeInto(stats.rgb_sums, stats.counts);
      NormaliseRgbBands(stats, frame.gain);
    } else if (frame.analysed) {
      ResetYuvBands(stats);
      frame.analysed->MergeInto(stats.yuv_sums, stats.counts);
      NormaliseYuvBands(stats);
    }
    ApplyClamp(stats, frame.clamp);
    return CopyPalette(stats);
  });
}
