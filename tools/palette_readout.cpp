#include "palette_readout.h"

#include <algorithm>
#include <cmath>

#include "pf_pixels.h"

namespace huewright {
namespace {

constexpr double kCellEdges[kBands + 1] = {0.1, 0.26, 0.42, 0.58, 0.74, 0.9};
constexpr double kStripTop = 0.8;
constexpr double kStripBottom = 0.95;

// A centre coordinate inside [0, size); the fraction is in [0, 1].
int Centre(double fraction, int size) {
  const int at = static_cast<int>(std::floor(fraction * size));
  return std::clamp(at, 0, std::max(size - 1, 0));
}

template <class Pixel>
void CountIntegerPixels(const minihost::World& world, double (*brightness)(int32_t, int32_t, int32_t),
                        std::array<int64_t, kBands>& counts) {
  for (A_long y = 0; y < world.Height(); ++y)
    for (A_long x = 0; x < world.Width(); ++x) {
      const Pixel& p = world.At<Pixel>(x, y);
      ++counts[BandOf(brightness(p.red, p.green, p.blue))];
    }
}

template <class Pixel>
void CountFloatPixels(const minihost::World& world, std::array<int64_t, kBands>& counts) {
  for (A_long y = 0; y < world.Height(); ++y)
    for (A_long x = 0; x < world.Width(); ++x) {
      const Pixel& p = world.At<Pixel>(x, y);
      ++counts[BandOf(BrightnessFloat(p.red, p.green, p.blue))];
    }
}

// VUYA frames are counted by the RGB they stand for.
void CountVuyaPixels(const minihost::World& world, std::array<int64_t, kBands>& counts) {
  for (A_long y = 0; y < world.Height(); ++y)
    for (A_long x = 0; x < world.Width(); ++x) {
      const PF_Pixel_VUYA_32f& p = world.At<PF_Pixel_VUYA_32f>(x, y);
      float r, g, b;
      YuvToRgb({p.y, p.u, p.v}, r, g, b);
      ++counts[BandOf(BrightnessFloat(r, g, b))];
    }
}

}  // namespace

int BandOf(double brightness) {
  if (brightness >= 0.8) return 4;
  if (brightness >= 0.6) return 3;
  if (brightness >= 0.4) return 2;
  if (brightness >= 0.2) return 1;
  return 0;
}

double Brightness8(int32_t red, int32_t green, int32_t blue) {
  return static_cast<double>(red + green + blue) * 0.333 * 0.003921568627451;
}

double Brightness16(int32_t red, int32_t green, int32_t blue) {
  return static_cast<double>(red + green + blue) * 0.333 * 3.05e-5;
}

double BrightnessFloat(float red, float green, float blue) {
  const double r = std::max(static_cast<double>(red), 0.0);
  const double g = std::max(static_cast<double>(green), 0.0);
  const double b = std::max(static_cast<double>(blue), 0.0);
  return ((g + r) + b) * 0.333;
}

CellCentre SwatchCentre(int band, int width, int height) {
  const double across = (kCellEdges[band] + kCellEdges[band + 1]) / 2;
  return {Centre(across, width), Centre((kStripTop + kStripBottom) / 2, height)};
}

std::array<int64_t, kBands> CountBands(const minihost::World& input, HostLayout layout) {
  std::array<int64_t, kBands> counts{};
  switch (layout) {
    case HostLayout::Argb8:
      CountIntegerPixels<PF_Pixel8>(input, Brightness8, counts);
      break;
    case HostLayout::Bgra8:
      CountIntegerPixels<PF_Pixel_BGRA_8u>(input, Brightness8, counts);
      break;
    case HostLayout::Argb16:
      CountIntegerPixels<PF_Pixel16>(input, Brightness16, counts);
      break;
    case HostLayout::Argb32f:
      CountFloatPixels<PF_PixelFloat>(input, counts);
      break;
    case HostLayout::Bgra32f:
      CountFloatPixels<PF_Pixel_BGRA_32f>(input, counts);
      break;
    case HostLayout::Vuya32f:
      CountVuyaPixels(input, counts);
      break;
  }
  return counts;
}

PaletteReadout ReadPalette(const minihost::World& input, const RgbaImage& output, HostLayout layout) {
  PaletteReadout palette;
  const std::array<int64_t, kBands> counts = CountBands(input, layout);
  for (int band = 0; band < kBands; ++band) {
    const CellCentre at = SwatchCentre(band, output.width, output.height);
    const float* pixel = output.Row(at.y) + static_cast<std::size_t>(at.x) * 4;
    palette[band].rgb = {pixel[0], pixel[1], pixel[2]};
    palette[band].count = counts[band];
  }
  return palette;
}

}  // namespace huewright
