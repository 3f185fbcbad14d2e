#include "palette_readout.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "clamps.h"
#include "pixel_refcon.h"
#include "swatch_layout.h"
#include "writers.h"

namespace huewright {
namespace {

// A centre coordinate inside [0, size); the fraction is in [0, 1].
int Centre(double fraction, int size) {
  const int at = static_cast<int>(std::floor(fraction * size));
  return std::clamp(at, 0, std::max(size - 1, 0));
}

MeasuredLayout MeasuredLayoutOf(HostLayout layout) {
  switch (layout) {
    case HostLayout::Argb8:
      return MeasuredLayout::kArgb8;
    case HostLayout::Bgra8:
      return MeasuredLayout::kBgra8;
    case HostLayout::Argb16:
      return MeasuredLayout::kArgb16;
    case HostLayout::Argb32f:
      return MeasuredLayout::kArgbFloat;
    case HostLayout::Bgra32f:
      return MeasuredLayout::kBgraFloat;
    case HostLayout::Vuya32f:
      return MeasuredLayout::kVuyaFloat;
  }
  return MeasuredLayout::kArgb8;
}

// The clamp each render path runs before drawing in this layout.
RgbClamp ClampOf(HostLayout layout) {
  switch (layout) {
    case HostLayout::Argb8:
    case HostLayout::Bgra8:
      return RgbClamp::k8;
    case HostLayout::Argb16:
      return RgbClamp::k16;
    case HostLayout::Bgra32f:
      return RgbClamp::kUnit;
    case HostLayout::Argb32f:
    case HostLayout::Vuya32f:
      return RgbClamp::kNone;
  }
  return RgbClamp::kNone;
}

// One swatch pixel of `band` painted by the layout's writer, as a pixel at
// the centre of that cell in a 100 x 100 frame.
void PaintSwatch(HostLayout layout, const BandPalette& palette, int band, void* pixel) {
  PixelRefcon refcon;
  std::memset(&refcon, 0, sizeof refcon);
  refcon.frame_width = 100;
  refcon.frame_height = 100;
  refcon.palette = &palette;
  const int32_t x = 18 + 16 * band, y = 87;
  alignas(16) unsigned char input[16] = {};  // VUYA keeps its alpha, which the readout does not show
  auto* in8 = reinterpret_cast<PF_Pixel8*>(input);
  auto* in16 = reinterpret_cast<PF_Pixel16*>(input);
  auto* in32 = reinterpret_cast<PF_PixelFloat*>(input);
  switch (layout) {
    case HostLayout::Argb8:
      DrawArgb8(&refcon, x, y, in8, static_cast<PF_Pixel8*>(pixel));
      return;
    case HostLayout::Bgra8:
      DrawBgra8(&refcon, x, y, in8, static_cast<PF_Pixel8*>(pixel));
      return;
    case HostLayout::Argb16:
      DrawArgb16(&refcon, x, y, in16, static_cast<PF_Pixel16*>(pixel));
      return;
    case HostLayout::Argb32f:
      DrawArgbFloat(&refcon, x, y, in32, static_cast<PF_PixelFloat*>(pixel));
      return;
    case HostLayout::Bgra32f:
      DrawBgraFloat(&refcon, x, y, in32, static_cast<PF_PixelFloat*>(pixel));
      return;
    case HostLayout::Vuya32f:
      DrawVuyaFloat(&refcon, x, y, in32, static_cast<PF_PixelFloat*>(pixel));
      return;
  }
}

}  // namespace

CellCentre SwatchCentre(int band, int width, int height) {
  const double across = (kSwatchEdges[band] + kSwatchEdges[band + 1]) / 2;
  return {Centre(across, width), Centre((kSwatchTop + kSwatchBottom) / 2, height)};
}

FrameBands MeasureWorld(const minihost::World& world, HostLayout layout, bool skip_transparent) {
  if (world.Width() <= 0 || world.Height() <= 0) return {};
  const FrameView view{world.PixelAddress(0, 0), world.Width(), world.Height(), world.RowBytes()};
  return MeasureFrame(MeasuredLayoutOf(layout), view, skip_transparent);
}

PaletteReadout PaintedFromBands(const FrameBands& bands, HostLayout layout, double gain) {
  BandStats stats;  // a record of the tool's own, not the effect's
  const bool yuv = layout == HostLayout::Vuya32f;
  BandSums& model = yuv ? stats.yuv_sums : stats.rgb_sums;
  std::memcpy(model, bands.sums, sizeof model);
  NormaliseSums(model, bands.counts, yuv ? 1.0 : gain);
  ApplyClamp(stats, ClampOf(layout));
  const BandPalette palette = CopyPalette(stats);
  PaletteReadout readout;
  for (int band = 0; band < kBands; ++band) {
    alignas(16) unsigned char pixel[16] = {};
    PaintSwatch(layout, palette, band, pixel);
    float rgba[4];
    UnpackRow(layout, pixel, rgba, 1);
    readout[band].rgb = {rgba[0], rgba[1], rgba[2]};
    readout[band].count = bands.counts[band];
  }
  return readout;
}

PaletteReadout ReadPalette(const FrameBands& bands, const RgbaImage& output, HostLayout layout, double gain) {
  PaletteReadout palette;
  PixelRefcon frame;
  std::memset(&frame, 0, sizeof frame);
  frame.frame_width = output.width;
  frame.frame_height = output.height;
  for (int band = 0; band < kBands; ++band) {
    const CellCentre at = SwatchCentre(band, output.width, output.height);
    if (SwatchCellAt(frame, at.x, at.y) != band) return PaintedFromBands(bands, layout, gain);
    const float* pixel = output.Row(at.y) + static_cast<std::size_t>(at.x) * 4;
    palette[band].rgb = {pixel[0], pixel[1], pixel[2]};
    palette[band].count = bands.counts[band];
  }
  return palette;
}

}  // namespace huewright
