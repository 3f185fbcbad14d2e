#include "filter_instance.h"

#include <cstring>
#include <limits>
#include <memory>

#include "gain_position.h"
#include "palette_passes.h"
#include "publish_frame.h"

namespace frei0r_filter {

std::unique_ptr<FilterInstance> FilterInstance::Create(unsigned width, unsigned height) {
  constexpr unsigned kLargest = std::numeric_limits<int32_t>::max();
  if (width == 0 || height == 0 || width > kLargest || height > kLargest) return nullptr;
  return std::make_unique<FilterInstance>(static_cast<int32_t>(width), static_cast<int32_t>(height));
}

void FilterInstance::SetParam(int index, double value) {
  if (index < 0 || index >= kParamCount || value != value) return;
  if (index == kGain)
    params_[index].store(ClampedPosition(value, kDefaultGainPosition));
  else
    params_[index].store(value >= 0.5 ? 1.0 : 0.0);
}

double FilterInstance::Param(int index) const {
  if (index < 0 || index >= kParamCount) return 0.0;
  return params_[index].load();
}

// As the After Effects render: a measured frame publishes its averages times
// the gain; a painted frame clamps the palette to 0..255 first. With
// "Measure" off nothing is published and the last palette is painted again.
void FilterInstance::Update(const uint32_t* in, uint32_t* out) {
  const bool draw = params_[kSwatches].load() != 0.0;
  const bool measure = params_[kMeasure].load() != 0.0;
  const double gain = GainAtPosition(params_[kGain].load());
  const RgbaFrame frame{in, out, width_, height_};

  std::unique_ptr<FrameMeasurement> measurement;
  if (measure) measurement = std::make_unique<FrameMeasurement>(frame);
  FramePublication publication;
  publication.analysed = measurement ? &measurement->accumulator() : nullptr;
  publication.model = LayoutOf(kFrameLayout).model;
  publication.gain = gain;
  publication.clamp = draw ? LayoutOf(kFrameLayout).clamp : RgbClamp::kNone;
  const BandPalette palette = PublishFrame(stats_, palette_mutex_, publication);
  if (draw)
    PaintFrame(frame, palette);
  else
    PassThrough(in, out);
}

void FilterInstance::PassThrough(const uint32_t* in, uint32_t* out) const {
  if (in != out)
    std::memmove(out, in, static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * sizeof *out);
}

}  // namespace frei0r_filter
