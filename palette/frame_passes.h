// The two passes over a frame that our own code walks (the frei0r filter,
// Premiere's float frames), row by row on the calling thread, arranged so
// that the frame is read once and written once: the measuring pass copies
// each row that the drawing pass would only copy right after measuring it,
// while the row is still in cache, and the drawing pass then paints the
// swatch strip alone. Every row ends as the writer would leave it.
#ifndef HUEWRIGHT_PALETTE_FRAME_PASSES_H
#define HUEWRIGHT_PALETTE_FRAME_PASSES_H

#include <cstddef>
#include <cstdint>

#include "pixel_refcon.h"
#include "row_functions.h"
#include "row_stores.h"
#include "swatch_layout.h"

// rows rows of width pixels in each frame, row starts rowbytes apart (any
// sign). in and out are the same frame or frames that do not overlap.
struct FrameRows {
  const void* in;
  std::ptrdiff_t in_rowbytes;
  void* out;
  std::ptrdiff_t out_rowbytes;
  int32_t width;
  int32_t rows;
};

namespace frame_passes {

// Row starts from the first row each time, in 64 bits, so that a negative
// or padded rowbytes never walks a pointer past the frame.
template <class Pixel>
Pixel* RowIn(const FrameRows& frame, int32_t y) {
  const auto* first = static_cast<const unsigned char*>(frame.in);
  return reinterpret_cast<Pixel*>(const_cast<unsigned char*>(first + static_cast<int64_t>(y) * frame.in_rowbytes));
}
template <class Pixel>
Pixel* RowOut(const FrameRows& frame, int32_t y) {
  auto* first = static_cast<unsigned char*>(frame.out);
  return reinterpret_cast<Pixel*>(first + static_cast<int64_t>(y) * frame.out_rowbytes);
}

// Sets refcon's streaming of copies for the frame's size for one walk, and
// fences the streamed stores at its end.
class StreamingScope {
 public:
  StreamingScope(const FrameRows& frame, PixelRefcon& refcon) : refcon_(refcon) {
    const auto rowbytes = static_cast<std::size_t>(frame.out_rowbytes < 0 ? -frame.out_rowbytes : frame.out_rowbytes);
    refcon.streams_copies = frame.rows > 0 && rowbytes >= kStreamedFrameBytes / static_cast<std::size_t>(frame.rows);
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

// Which rows the measuring pass copies from in to out as it measures them:
// none, those the drawing pass would only copy (outside the swatch strip of
// refcon's prepared bounds), or every row (no drawing pass follows).
enum class RowsCopied { kNone, kOutsideStrip, kEvery };

// The measuring pass: every row through analyse, or through
// analyse_and_copy (the same row function that also copies) where copied
// asks for a copy.
template <class Pixel>
void MeasureFrameRows(const FrameRows& frame, PixelRefcon& refcon, RowFunction<Pixel> analyse,
                      RowFunction<Pixel> analyse_and_copy, RowsCopied copied) {
  if (frame.width <= 0) return;
  const frame_passes::StreamingScope streaming(frame, refcon);
  for (int32_t y = 0; y < frame.rows; ++y) {
    const bool copy =
        copied == RowsCopied::kEvery || (copied == RowsCopied::kOutsideStrip && !SwatchRowIn(refcon.swatch, y));
    (copy ? analyse_and_copy : analyse)(&refcon, y, frame_passes::RowIn<Pixel>(frame, y),
                                        frame_passes::RowOut<Pixel>(frame, y), frame.width);
  }
}

// The drawing pass: draw on every row, or with strip_rows_only (refcon's
// swatch bounds prepared) on the rows of the swatch strip alone, the others
// being copies already.
template <class Pixel>
void DrawFrameRows(const FrameRows& frame, PixelRefcon& refcon, RowFunction<Pixel> draw, bool strip_rows_only) {
  if (frame.width <= 0) return;
  const frame_passes::StreamingScope streaming(frame, refcon);
  for (int32_t y = 0; y < frame.rows; ++y)
    if (!strip_rows_only || SwatchRowIn(refcon.swatch, y))
      draw(&refcon, y, frame_passes::RowIn<Pixel>(frame, y), frame_passes::RowOut<Pixel>(frame, y), frame.width);
}

#endif
