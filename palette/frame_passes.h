// The two passes over a frame that our own code walks (the frei0r filter,
// Premiere's float frames), row by row on the calling thread, arranged so
// that the frame is read once and written once: the measuring pass copies
// each row that the drawing pass would only copy while it measures it, and
// the drawing pass then paints the swatch strip alone. Every row ends as the
// writer would leave it.
#ifndef HUEWRIGHT_PALETTE_FRAME_PASSES_H
#define HUEWRIGHT_PALETTE_FRAME_PASSES_H

#include <cstddef>
#include <cstdint>

#include "pixel_refcon.h"
#include "row_stores.h"
#include "row_walker.h"
#include "swatch_layout.h"

// Which rows the measuring pass copies from in to out as it measures them:
// none, those the drawing pass would only copy (outside the swatch strip of
// refcon's prepared bounds), or every row (no drawing pass follows).
enum class RowsCopied { kNone, kOutsideStrip, kEvery };

namespace frame_passes {

// Sets refcon's streaming of copies for the frame's size for one walk, and
// fences the streamed stores at its end.
class StreamingScope {
 public:
  StreamingScope(std::ptrdiff_t out_rowbytes, int32_t rows, PixelRefcon& refcon) : refcon_(refcon) {
    const auto rowbytes = static_cast<std::size_t>(out_rowbytes < 0 ? -out_rowbytes : out_rowbytes);
    refcon.streams_copies = rows > 0 && rowbytes >= kStreamedFrameBytes / static_cast<std::size_t>(rows);
  }
  ~StreamingScope() {
    if (refcon_.streams_copies) StoreFence();
    refcon_.streams_copies = false;
  }
  StreamingScope(const StreamingScope&) = delete;
  StreamingScope& operator=(const StreamingScope&) = delete;

 private:
  PixelRefcon& refcon_;
};

}  // namespace frame_passes

// The measuring pass over rows 0..row_count-1 (the caller clips them to
// what both frames hold): every row through analyse, or through
// analyse_and_copy (the same row function that also copies) where copied
// asks for a copy.
template <class In, class Out, class RowFn>
void MeasureFrameRows(const FrameRows<In>& input, const FrameRows<Out>& output, int32_t row_count, PixelRefcon& refcon,
                      RowFn analyse, RowFn analyse_and_copy, RowsCopied copied) {
  if (row_count <= 0 || input.width <= 0) return;
  const frame_passes::StreamingScope streaming(output.rowbytes, row_count, refcon);
  for (int32_t y = 0; y < row_count; ++y) {
    const bool copy =
        copied == RowsCopied::kEvery || (copied == RowsCopied::kOutsideStrip && !SwatchRowIn(refcon.swatch, y));
    (copy ? analyse_and_copy : analyse)(&refcon, y, RowStart(input, y), RowStart(output, y), input.width);
  }
}

// The drawing pass: draw on every row, or with strip_rows_only (refcon's
// swatch bounds prepared) on the rows of the swatch strip alone, the others
// being copies already.
template <class In, class Out, class RowFn>
void DrawFrameRows(const FrameRows<In>& input, const FrameRows<Out>& output, int32_t row_count, PixelRefcon& refcon,
                   RowFn draw, bool strip_rows_only) {
  if (row_count <= 0 || input.width <= 0) return;
  const frame_passes::StreamingScope streaming(output.rowbytes, row_count, refcon);
  for (int32_t y = 0; y < row_count; ++y)
    if (!strip_rows_only || SwatchRowIn(refcon.swatch, y))
      draw(&refcon, y, RowStart(input, y), RowStart(output, y), input.width);
}

#endif
