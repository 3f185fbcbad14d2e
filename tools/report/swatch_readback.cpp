#include "swatch_readback.h"

#include <cstring>
#include <mutex>
#include <stdexcept>

#include "layout_table.h"
#include "publish_frame.h"
#include "swatch_layout.h"

namespace huewright {
namespace {

// The frame in which the tool paints one swatch pixel with a layout's
// writer: large enough for every cell to hold its centre.
constexpr int32_t kSwatchFrame = 100;

// One swatch pixel of `band` painted by the layout's writer, at the centre
// of that cell.
void PaintSwatch(const LayoutInfo& layout, const BandPalette& palette, int band, void* pixel) {
  PixelRefcon refcon;
  std::memset(&refcon, 0, sizeof refcon);
  refcon.frame_width = kSwatchFrame;
  refcon.frame_height = kSwatchFrame;
  refcon.palette = &palette;
  const SwatchPixel at = SwatchCentre(*layout.swatches, band, kSwatchFrame, kSwatchFrame);
  if (SwatchCellAt(refcon, at.x, at.y) != band) throw std::logic_error("the swatch frame is too small for its cells");
  alignas(16) unsigned char input[16] = {};  // VUYA keeps its alpha, which the readout does not show
  layout.draw(&refcon, at.x, at.y, input, pixel);
}

}  // namespace

FrameBands MeasureWorld(const minihost::World& world, bool skip_transparent) {
  if (world.Width() <= 0 || world.Height() <= 0) return {};
  const FrameView view{world.PixelAddress(0, 0), world.Width(), world.Height(), world.RowBytes()};
  return MeasureFrame(world.Layout(), view, skip_transparent);
}

PaletteReadout PaintedFromBands(const FrameBands& bands, PixelLayout layout, double gain) {
  const LayoutInfo& info = LayoutOf(layout);
  // A record of the tool's own, not the effect's.
  BandStats stats;
  std::mutex lock;
  FramePublication publication;
  publication.measured = &bands;
  publication.model = info.model;
  publication.gain = info.gain_applies ? gain : 1.0;
  publication.clamp = info.clamp;
  const BandPalette palette = PublishFrame(stats, lock, publication);
  PaletteReadout readout;
  for (int band = 0; band < kBands; ++band) {
    alignas(16) unsigned char pixel[16] = {};
    PaintSwatch(info, palette, band, pixel);
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
    const SwatchPixel at = SwatchCentre(*LayoutOf(output.Layout()).swatches, band, output.Width(), output.Height());
    if (SwatchCellAt(frame, at.x, at.y) != band) return PaintedFromBands(bands, output.Layout(), gain);
    float rgba[4];
    UnpackRow(output.Layout(), output.PixelAddress(at.x, at.y), rgba, 1);
    palette[band].rgb = {rgba[0], rgba[1], rgba[2]};
    palette[band].count = bands.counts[band];
  }
  return palette;
}

}  // namespace huewright
