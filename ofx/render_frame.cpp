#include "render_frame.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "band_accumulator.h"
#include "layout_table.h"
#include "ofx_error.h"
#include "pixel_refcon.h"
#include "publish_frame.h"
#include "swatch_layout.h"

namespace huewright_ofx {

namespace {

// An OpenFX RGBA image of each depth is one layout of palette/'s table:
// bytes and floats have the After Effects arithmetic in RGBA order, shorts
// the full 0..65535 range.
const LayoutInfo& LayoutFor(ChannelDepth depth) {
  switch (depth) {
    case ChannelDepth::kByte:
      return LayoutOf(PixelLayout::kRgba8);
    case ChannelDepth::kShort:
      return LayoutOf(PixelLayout::kRgba16);
    case ChannelDepth::kFloat:
      return LayoutOf(PixelLayout::kRgbaFloat);
  }
  throw OfxError(kOfxStatErrValue, "unknown depth");
}

// The picture is the source image. Rows are numbered from the top of the
// picture, as the After Effects path numbers them: the measured sums merge
// in the same order and the swatch strip lands in the same rows.
struct Picture {
  const ImageRows& source;
  int32_t width;
  int32_t height;

  explicit Picture(const ImageRows& image)
      : source(image),
        width(static_cast<int32_t>(int64_t{image.bounds.x2} - image.bounds.x1)),
        height(static_cast<int32_t>(int64_t{image.bounds.y2} - image.bounds.y1)) {}

  int32_t TopRowOf(int32_t y) const { return static_cast<int32_t>(int64_t{source.bounds.y2} - 1 - y); }
  const unsigned char* RowFromTop(int32_t top_row) const {
    return source.origin + (int64_t{height} - 1 - top_row) * source.rowbytes;
  }
};

unsigned char* PixelAt(const ImageRows& image, int32_t x, int32_t y) {
  return image.origin + (int64_t{y} - image.bounds.y1) * image.rowbytes +
         (int64_t{x} - image.bounds.x1) * static_cast<int64_t>(PixelBytes(image.depth));
}

// Every row of the picture into accumulator, whose rows keep their sums
// apart: the bands of threads never meet until the merge, in row order.
void Measure(const Picture& picture, const LayoutInfo& layout, const RowSpreader& threads,
             BandAccumulator& accumulator) {
  PixelRefcon refcon{};
  refcon.accumulator = &accumulator;
  threads.Run(picture.height, [&](int32_t first, int32_t end) {
    PixelRefcon band_refcon = refcon;
    for (int32_t row = first; row < end; ++row) {
      const unsigned char* pixels = picture.RowFromTop(row);
      layout.analyse_row(&band_refcon, row, pixels, const_cast<unsigned char*>(pixels), picture.width);
    }
  });
}

// One output row of the window: transparent black beside the source, the
// source's pixels or the swatches over it.
struct RowPainter {
  const Picture& picture;
  const ImageRows& output;
  const OfxRectI& window;
  const LayoutInfo& layout;
  PixelRefcon* refcon;  // null when the swatches are off
  std::size_t pixel_bytes;

  void Paint(int32_t y, std::vector<unsigned char>& scratch) const {
    const OfxRectI& source = picture.source.bounds;
    unsigned char* out = PixelAt(output, window.x1, y);
    const int32_t x1 = std::clamp(window.x1, source.x1, source.x2);
    const int32_t x2 = std::clamp(window.x2, x1, source.x2);
    const bool inside = y >= source.y1 && y < source.y2 && x1 < x2;
    if (!inside) {
      std::memset(out, 0, Bytes(window.x1, window.x2));
      return;
    }
    std::memset(out, 0, Bytes(window.x1, x1));
    std::memset(out + Bytes(window.x1, x2), 0, Bytes(x2, window.x2));
    unsigned char* span = out + Bytes(window.x1, x1);
    const int32_t top_row = picture.TopRowOf(y);
    const unsigned char* row = picture.RowFromTop(top_row);
    if (!refcon || !SwatchRowIn(refcon->swatch, top_row)) {
      std::memmove(span, row + Bytes(source.x1, x1), Bytes(x1, x2));
      return;
    }
    if (x1 == source.x1 && x2 == source.x2) {
      layout.draw_row(refcon, top_row, row, span, picture.width);
      return;
    }
    scratch.resize(Bytes(source.x1, source.x2));
    layout.draw_row(refcon, top_row, row, scratch.data(), picture.width);
    std::memcpy(span, scratch.data() + Bytes(source.x1, x1), Bytes(x1, x2));
  }

  std::size_t Bytes(int32_t from, int32_t to) const {
    return static_cast<std::size_t>(int64_t{to} - from) * pixel_bytes;
  }
};

}  // namespace

std::size_t PixelBytes(ChannelDepth depth) {
  switch (depth) {
    case ChannelDepth::kByte:
      return 4;
    case ChannelDepth::kShort:
      return 8;
    case ChannelDepth::kFloat:
      return 16;
  }
  return 0;
}

void RenderFrame(const ImageRows& source, const ImageRows& output, const OfxRectI& window,
                 const FrameSettings& settings, PaletteRecord& record, const RowSpreader& threads) {
  const LayoutInfo& layout = LayoutFor(source.depth);
  const Picture picture(source);
  const bool measure = settings.measure && picture.width > 0 && picture.height > 0;
  std::optional<BandAccumulator> measured;
  if (measure) Measure(picture, layout, threads, measured.emplace(true, picture.height));
  FramePublication publication;
  publication.analysed = measured ? &*measured : nullptr;
  publication.gain = settings.gain;
  publication.clamp = layout.clamp;
  const BandPalette palette = PublishFrame(record.stats, record.lock, publication);
  if (window.x1 == window.x2 || window.y1 == window.y2) return;

  PixelRefcon refcon{};
  refcon.frame_width = picture.width;
  refcon.frame_height = picture.height;
  refcon.palette = &palette;
  PrepareSwatchBounds(refcon);
  const RowPainter painter{picture, output, window, layout, settings.swatches ? &refcon : nullptr,
                           layout.pixel_bytes};
  threads.Run(window.y2 - window.y1, [&](int32_t first, int32_t end) {
    std::vector<unsigned char> scratch;
    PixelRefcon band_refcon = refcon;
    RowPainter band_painter = painter;
    if (band_painter.refcon) band_painter.refcon = &band_refcon;
    for (int32_t row = first; row < end; ++row) band_painter.Paint(window.y1 + row, scratch);
  });
}

}  // namespace huewright_ofx
