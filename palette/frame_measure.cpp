#include "frame_measure.h"

#include <stdexcept>
#include <string>

#include "layout_table.h"

FrameBands MeasureFrame(PixelLayout layout, const FrameView& frame, bool skip_transparent) {
  const LayoutInfo& info = LayoutOf(layout);
  if (!info.measure) throw std::invalid_argument(std::string("no palette arithmetic for ") + info.name);
  return info.measure(frame, skip_transparent);
}

void AddFrameBands(FrameBands& total, const FrameBands& more) {
  for (int band = 0; band < kBandCount; ++band) {
    total.counts[band] += more.counts[band];
    for (int channel = 0; channel < kChannelCount; ++channel) total.sums[band][channel] += more.sums[band][channel];
  }
}
