#include "frame_measure.h"

#include "layout_traits.h"
#include "row_accumulate.h"

namespace {

template <class Layout>
FrameBands Measure(const FrameView& frame, bool skip_transparent) {
  using Pixel = typename Layout::Pixel;
  FrameBands bands;
  // One row's cells at a time, added in the order a render merges its rows,
  // so the sums are the effect's own to the last bit.
  BandAccumulator::Row cells;
  const auto* row = static_cast<const unsigned char*>(frame.pixels);
  for (int32_t y = 0; y < frame.height; ++y, row += frame.rowbytes) {
    cells = BandAccumulator::Row{};
    const Pixel* pixel = reinterpret_cast<const Pixel*>(row);
    if (!skip_transparent) {
      AccumulateRow<Layout>(cells, pixel, frame.width);
    } else {
      for (int32_t x = 0; x < frame.width; ++x)
        if (pixel[x].*Layout::kAlpha != 0) Layout::Accumulate(cells, x, pixel[x]);
    }
    BandAccumulator::AddRowInto(cells, bands.sums, bands.counts);
  }
  return bands;
}

}  // namespace

FrameBands MeasureFrame(MeasuredLayout layout, const FrameView& frame, bool skip_transparent) {
  switch (layout) {
    case MeasuredLayout::kArgb8:
      return Measure<Argb8Layout>(frame, skip_transparent);
    case MeasuredLayout::kBgra8:
      return Measure<Bgra8Layout>(frame, skip_transparent);
    case MeasuredLayout::kArgb16:
      return Measure<Argb16Layout>(frame, skip_transparent);
    case MeasuredLayout::kArgbFloat:
      return Measure<ArgbFloatLayout>(frame, skip_transparent);
    case MeasuredLayout::kBgraFloat:
      return Measure<BgraFloatLayout>(frame, skip_transparent);
    case MeasuredLayout::kVuyaFloat:
      return Measure<VuyaFloatLayout>(frame, skip_transparent);
  }
  return {};
}

void AddFrameBands(FrameBands& total, const FrameBands& more) {
  for (int band = 0; band < kBandCount; ++band) {
    total.counts[band] += more.counts[band];
    for (int channel = 0; channel < kChannelCount; ++channel) total.sums[band][channel] += more.sums[band][channel];
  }
}
