#include "palette_readout.h"

#include <algorithm>
#include <cmath>

#include "layout_traits.h"
#include "swatch_layout.h"

namespace huewright {
namespace {

// A centre coordinate inside [0, size); the fraction is in [0, 1].
int Centre(double fraction, int size) {
  const int at = static_cast<int>(std::floor(fraction * size));
  return std::clamp(at, 0, std::max(size - 1, 0));
}

// Takes what the effect's analysers add for each pixel and keeps only the
// band: the counts then follow the effect's band rule exactly.
struct BandCounter {
  std::array<int64_t, kBands>& counts;
  void Add(int band, double, double, double) const { ++counts[band]; }
  void AddWhole(int32_t, int band, uint32_t, uint32_t, uint32_t) const { ++counts[band]; }
};

template <class Layout>
void Count(const minihost::World& world, std::array<int64_t, kBands>& counts) {
  BandCounter counter{counts};
  for (A_long y = 0; y < world.Height(); ++y)
    for (A_long x = 0; x < world.Width(); ++x)
      Layout::Accumulate(counter, x, world.At<typename Layout::Pixel>(x, y));
}

}  // namespace

CellCentre SwatchCentre(int band, int width, int height) {
  const double across = (kSwatchEdges[band] + kSwatchEdges[band + 1]) / 2;
  return {Centre(across, width), Centre((kSwatchTop + kSwatchBottom) / 2, height)};
}

std::array<int64_t, kBands> CountBands(const minihost::World& input) {
  std::array<int64_t, kBands> counts{};
  switch (input.Layout()) {
    case PixelLayout::kArgb8:
      Count<Argb8Layout>(input, counts);
      break;
    case PixelLayout::kBgra8:
      Count<Bgra8Layout>(input, counts);
      break;
    case PixelLayout::kArgb16:
      Count<Argb16Layout>(input, counts);
      break;
    case PixelLayout::kArgbFloat:
      Count<ArgbFloatLayout>(input, counts);
      break;
    case PixelLayout::kBgraFloat:
      Count<BgraFloatLayout>(input, counts);
      break;
    case PixelLayout::kVuyaFloat:
      Count<VuyaFloatLayout>(input, counts);
      break;
    case PixelLayout::kVuya8:
      throw std::invalid_argument("the tool does not count VUYA 8u frames");
  }
  return counts;
}

PaletteReadout ReadPalette(const minihost::World& input, const minihost::World& output) {
  PaletteReadout palette;
  const std::array<int64_t, kBands> counts = CountBands(input);
  for (int band = 0; band < kBands; ++band) {
    const CellCentre at = SwatchCentre(band, output.Width(), output.Height());
    float rgba[4];
    UnpackRow(output.Layout(), output.PixelAddress(at.x, at.y), rgba, 1);
    palette[band].rgb = {rgba[0], rgba[1], rgba[2]};
    palette[band].count = counts[band];
  }
  return palette;
}

}  // namespace huewright
