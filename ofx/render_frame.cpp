#include "render_frame.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "band_accumulator.h"
#include "frame_passes.h"
#include "layout_table.h"
#include "ofx_error.h"
#include "pixel_refcon.h"
#include "publish_frame.h"
#include "row_paint.h"
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

  // The image's y of a row from the top, and back: each is its own inverse.
  int32_t TopRowOf(int32_t y) const { return static_cast<int32_t>(int64_t{source.bounds.y2} - 1 - y); }
  int32_t YOf(int32_t top_row) const { return TopRowOf(top_row); }
  const unsigned char* RowFromTop(int32_t top_row) const {
    return source.origin + (int64_t{height} - 1 - top_row) * source.rowbytes;
  }
};

unsigned char* PixelAt(const ImageRows& image, int32_t x, int32_t y) {
  return image.origin + (int64_t{y} - image.bounds.y1) * image.rowbytes +
         (int64_t{x} - image.bounds.x1) * static_cast<int64_t>(PixelBytes(image.depth));
}

// The rows of one render: the picture read and the window of output
// written. Each output row is written by one pass: the measuring pass
// copies each row it reads that no swatch covers, the painting pass writes
// the others once the palette is known. The source is thus read once and
// the output written once, but for the swatch strip, which the painting
// pass reads again.
class RenderRows {
 public:
  RenderRows(const Picture& picture, const ImageRows& output, const OfxRectI& window, const LayoutInfo& layout,
             bool copies_while_measuring, bool swatches)
      : picture_(picture),
        output_(output),
        window_(window),
        layout_(layout),
        x1_(std::clamp(window.x1, picture.source.bounds.x1, picture.source.bounds.x2)),
        x2_(std::clamp(window.x2, x1_, picture.source.bounds.x2)),
        whole_rows_(x1_ == picture.source.bounds.x1 && x2_ == picture.source.bounds.x2),
        copies_while_measuring_(copies_while_measuring && x1_ < x2_),
        swatches_(swatches) {}

  // Measures one row of the picture, and writes its output row when this
  // pass owns it. refcon holds the accumulator and the swatch bounds.
  void Measure(PixelRefcon& refcon, int32_t top_row) const {
    const unsigned char* row = picture_.RowFromTop(top_row);
    const int32_t y = picture_.YOf(top_row);
    if (!CopiedWhileMeasured(refcon, top_row, y)) {
      layout_.analyse_row(&refcon, top_row, row, const_cast<unsigned char*>(row), picture_.width);
      return;
    }
    unsigned char* out = PixelAt(output_, window_.x1, y);
    ClearBeside(out);
    unsigned char* span = out + Bytes(window_.x1, x1_);
    if (whole_rows_) {
      layout_.analyse_and_copy_row(&refcon, top_row, row, span, picture_.width);
      return;
    }
    // Part of the row, copied while it is still in the cache.
    layout_.analyse_row(&refcon, top_row, row, const_cast<unsigned char*>(row), picture_.width);
    row_paint::CopyRowBytes(row + Bytes(picture_.source.bounds.x1, x1_), span, Bytes(x1_, x2_),
                            refcon.streams_copies);
  }

  // Writes output row y of the window unless the measuring pass did:
  // transparent black beside the source, the source's pixels or the
  // swatches over it. refcon holds the palette and the swatch bounds.
  void Paint(PixelRefcon& refcon, int32_t y, std::vector<unsigned char>& scratch) const {
    const OfxRectI& source = picture_.source.bounds;
    unsigned char* out = PixelAt(output_, window_.x1, y);
    if (y < source.y1 || y >= source.y2 || x1_ == x2_) {
      std::memset(out, 0, Bytes(window_.x1, window_.x2));
      return;
    }
    const int32_t top_row = picture_.TopRowOf(y);
    if (CopiedWhileMeasured(refcon, top_row, y)) return;
    ClearBeside(out);
    unsigned char* span = out + Bytes(window_.x1, x1_);
    const unsigned char* row = picture_.RowFromTop(top_row);
    if (!swatches_ || !SwatchRowIn(refcon.swatch, top_row)) {
      std::memmove(span, row + Bytes(source.x1, x1_), Bytes(x1_, x2_));
      return;
    }
    if (whole_rows_) {
      layout_.draw_row(&refcon, top_row, row, span, picture_.width);
      return;
    }
    scratch.resize(Bytes(source.x1, source.x2));
    layout_.draw_row(&refcon, top_row, row, scratch.data(), picture_.width);
    std::memcpy(span, scratch.data() + Bytes(source.x1, x1_), Bytes(x1_, x2_));
  }

 private:
  bool CopiedWhileMeasured(const PixelRefcon& refcon, int32_t top_row, int32_t y) const {
    return copies_while_measuring_ && y >= window_.y1 && y < window_.y2 &&
           !(swatches_ && SwatchRowIn(refcon.swatch, top_row));
  }

  void ClearBeside(unsigned char* out) const {
    std::memset(out, 0, Bytes(window_.x1, x1_));
    std::memset(out + Bytes(window_.x1, x2_), 0, Bytes(x2_, window_.x2));
  }

  std::size_t Bytes(int32_t from, int32_t to) const {
    return static_cast<std::size_t>(int64_t{to} - from) * layout_.pixel_bytes;
  }

  const Picture& picture_;
  const ImageRows& output_;
  const OfxRectI& window_;
  const LayoutInfo& layout_;
  const int32_t x1_;  // the columns of the window the source covers
  const int32_t x2_;
  const bool whole_rows_;  // the window holds the source's whole rows
  const bool copies_while_measuring_;
  const bool swatches_;
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
  const int32_t window_rows = window.y2 - window.y1;
  PixelRefcon refcon{};
  refcon.frame_width = picture.width;
  refcon.frame_height = picture.height;
  PrepareSwatchBounds(refcon);
  const RenderRows rows(picture, output, window, layout, measure, settings.swatches);

  std::optional<BandAccumulator> measured;
  if (measure) {
    refcon.accumulator = &measured.emplace(true, picture.height);
    threads.Run(picture.height, [&](int32_t first, int32_t end) {
      PixelRefcon band_refcon = refcon;
      const frame_passes::StreamingScope streaming(output.rowbytes, window_rows, band_refcon);
      for (int32_t top_row = first; top_row < end; ++top_row) rows.Measure(band_refcon, top_row);
    });
    refcon.accumulator = nullptr;
  }
  FramePublication publication;
  publication.analysed = measured ? &*measured : nullptr;
  publication.gain = settings.gain;
  publication.clamp = layout.clamp;
  const BandPalette palette = PublishFrame(record.stats, record.lock, publication);
  if (window.x1 == window.x2 || window_rows == 0) return;

  refcon.palette = &palette;
  threads.Run(window_rows, [&](int32_t first, int32_t end) {
    std::vector<unsigned char> scratch;
    PixelRefcon band_refcon = refcon;
    const frame_passes::StreamingScope streaming(output.rowbytes, window_rows, band_refcon);
    for (int32_t row = first; row < end; ++row) rows.Paint(band_refcon, window.y1 + row, scratch);
  });
}

}  // namespace huewright_ofx
