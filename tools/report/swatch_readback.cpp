#include "swatch_readback.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

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

// A writer called on raw pixel bytes.
template <class Pixel, int32_t (*kWriter)(void*, int32_t, int32_t, Pixel*, Pixel*)>
void Write(PixelRefcon& refcon, int32_t x, int32_t y, void* in, void* out) {
  kWriter(&refcon, x, y, static_cast<Pixel*>(in), static_cast<Pixel*>(out));
}

// Per layout, what the effect's render paths use: the analysis arithmetic,
// the clamp run before drawing, and the writer.
struct LayoutArithmetic {
  PixelLayout layout;
  MeasuredLayout measured;
  RgbClamp clamp;
  void (*write)(PixelRefcon&, int32_t, int32_t, void*, void*);
};

constexpr LayoutArithmetic kArithmetic[] = {
    {PixelLayout::kArgb8, MeasuredLayout::kArgb8, RgbClamp::k8, Write<PF_Pixel8, DrawArgb8>},
    {PixelLayout::kBgra8, MeasuredLayout::kBgra8, RgbClamp::k8, Write<PF_Pixel8, DrawBgra8>},
    {PixelLayout::kArgb16, MeasuredLayout::kArgb16, RgbClamp::k16, Write<PF_Pixel16, DrawArgb16>},
    {PixelLayout::kArgbFloat, MeasuredLayout::kArgbFloat, RgbClamp::kNone, Write<PF_PixelFloat, DrawArgbFloat>},
    {PixelLayout::kBgraFloat, MeasuredLayout::kBgraFloat, RgbClamp::kUnit, Write<PF_PixelFloat, DrawBgraFloat>},
    {PixelLayout::kVuyaFloat, MeasuredLayout::kVuyaFloat, RgbClamp::kNone, Write<PF_PixelFloat, DrawVuyaFloat>},
};

const LayoutArithmetic& ArithmeticOf(PixelLayout layout) {
  for (const LayoutArithmetic& entry : kArithmetic)
    if (entry.layout == layout) return entry;
  throw std::logic_error("no palette arithmetic for a host layout");
}

// One swatch pixel of `band` painted by the layout's writer, as a pixel at
// the centre of that cell in a 100 x 100 frame.
void PaintSwatch(PixelLayout layout, const BandPalette& palette, int band, void* pixel) {
  PixelRefcon refcon;
  std::memset(&refcon, 0, sizeof refcon);
  refcon.frame_width = 100;
  refcon.frame_height = 100;
  refcon.palette = &palette;
  alignas(16) unsigned char input[16] = {};  // VUYA keeps its alpha, which the readout does not show
  ArithmeticOf(layout).write(refcon, 18 + 16 * band, 87, input, pixel);
}

}  // namespace

CellCentre SwatchCentre(int band, int width, int height) {
  const double across = (kSwatchEdges[band] + kSwatchEdges[band + 1]) / 2;
  return {Centre(across, width), Centre((kSwatchTop + kSwatchBottom) / 2, height)};
}

FrameBands MeasureWorld(const minihost::World& world, bool skip_transparent) {
  if (world.Width() <= 0 || world.Height() <= 0) return {};
  const FrameView view{world.PixelAddress(0, 0), world.Width(), world.Height(), world.RowBytes()};
  return MeasureFrame(ArithmeticOf(world.Layout()).measured, view, skip_transparent);
}

PaletteReadout PaintedFromBands(const FrameBands& bands, PixelLayout layout, double gain) {
  BandStats stats;  // a record of the tool's own, not the effect's
  const bool yuv = layout == PixelLayout::kVuyaFloat;
  BandSums& model = yuv ? stats.yuv_sums : stats.rgb_sums;
  std::memcpy(model, bands.sums, sizeof model);
  NormaliseSums(model, bands.counts, yuv ? 1.0 : gain);
  ApplyClamp(stats, ArithmeticOf(layout).clamp);
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

PaletteReadout ReadPalette(const FrameBands& bands, const minihost::World& output, double gain) {
  PaletteReadout palette;
  PixelRefcon frame;
  std::memset(&frame, 0, sizeof frame);
  frame.frame_width = output.Width();
  frame.frame_height = output.Height();
  for (int band = 0; band < kBands; ++band) {
    const CellCentre at = SwatchCentre(band, output.Width(), output.Height());
    if (SwatchCellAt(frame, at.x, at.y) != band) return PaintedFromBands(bands, output.Layout(), gain);
    float rgba[4];
    UnpackRow(output.Layout(), output.PixelAddress(at.x, at.y), rgba, 1);
    palette[band].rgb = {rgba[0], rgba[1], rgba[2]};
    palette[band].count = bands.counts[band];
  }
  return palette;
}

}  // namespace huewright
