#include "frame_measure.h"

#include "layout_traits.h"

namespace {

// Receives what the layout's accumulation step adds, pixel by pixel in row
// order: the sums a single-threaded pass gives.
struct PlainSink {
  FrameBands& bands;
  void Add(int band, double c0, double c1, double c2) const {
    ++bands.counts[band];
    bands.sums[band][0] += c0;
    bands.sums[band][1] += c1;
    bands.sums[band][2] += c2;
  }
  // Whole channel values; their double sums stay exact below 2^53.
  void AddWhole(int32_t, int band, uint32_t c0, uint32_t c1, uint32_t c2) const { Add(band, c0, c1, c2); }
};

template <class Layout>
FrameBands Measure(const FrameView& frame, bool skip_transparent) {
  using Pixel = typename Layout::Pixel;
  FrameBands bands;
  PlainSink sink{bands};
  const auto* row = static_cast<const unsigned char*>(frame.pixels);
  for (int32_t y = 0; y < frame.height; ++y, row += frame.rowbytes) {
    const Pixel* pixel = reinterpret_cast<const Pixel*>(row);
    for (int32_t x = 0; x < frame.width; ++x) {
      if (skip_transparent && pixel[x].*Layout::kAlpha == 0) continue;
      Layout::Accumulate(sink, x, pixel[x]);
    }
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
