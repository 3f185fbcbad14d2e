#include "depth_choice.h"

#include <cstdio>

namespace huewright {

PixelLayout ChooseLayout(bool premiere, std::optional<PixelLayout> requested, const SampleFacts& samples) {
  if (requested) return *requested;
  if (premiere) return samples.integer ? PixelLayout::kBgra8 : PixelLayout::kBgraFloat;
  if (!samples.integer) return PixelLayout::kArgbFloat;
  return samples.bits > 8 ? PixelLayout::kArgb16 : PixelLayout::kArgb8;
}

std::string PrecisionLoss(PixelLayout layout, const SampleFacts& samples) {
  if (IsFloatLayout(layout)) return {};
  const std::string world(LayoutDescription(layout));
  if (!samples.integer) return "float values are clamped to 0-1 and quantised in the " + world + " world";
  if (samples.bits > 8 && IsEightBitLayout(layout))
    return std::to_string(samples.bits) + "-bit samples are reduced to 8 bits in the " + world + " world";
  return {};
}

void PrecisionWarning::Check(PixelLayout layout, const SampleFacts& samples, const std::string& path) {
  if (said_) return;
  const std::string loss = PrecisionLoss(layout, samples);
  if (loss.empty()) return;
  said_ = true;
  std::fprintf(stderr, "huewright: warning: %s: %s (leave out --depth/--format to follow the input)\n", path.c_str(),
               loss.c_str());
}

}  // namespace huewright
