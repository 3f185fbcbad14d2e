// The pixel part of a render: one frame measured and painted through
// palette/, from images already read and checked. Nothing here talks to
// the host but through RowSpreader.
#ifndef HUEWRIGHT_OFX_RENDER_FRAME_H
#define HUEWRIGHT_OFX_RENDER_FRAME_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>

#include "api/ofx_core.h"
#include "band_stats.h"

namespace huewright_ofx {

enum class ChannelDepth { kByte, kShort, kFloat };

// Bytes of one RGBA pixel of that depth.
std::size_t PixelBytes(ChannelDepth depth);

// RGBA pixels of one depth. Pixel (x, y) for bounds.x1 <= x < bounds.x2 and
// bounds.y1 <= y < bounds.y2 lies at origin + (y - y1) * rowbytes + (x - x1)
// * PixelBytes: y grows upward, so with a positive rowbytes the bottom row
// of the picture comes first in memory.
struct ImageRows {
  unsigned char* origin;
  OfxRectI bounds;
  std::ptrdiff_t rowbytes;
  ChannelDepth depth;
};

struct FrameSettings {
  bool swatches;
  double gain;
  bool measure;
};

// What one instance has measured, and the lock that every frame of the
// instance publishes and copies its palette under.
struct PaletteRecord {
  BandStats stats;
  std::mutex lock;
};

// Runs body(first, end) over rows [0, rows) cut into contiguous bands, on as
// many threads as it has, and returns when every band is done. Each band
// runs exactly once; body may throw, and the first exception is rethrown.
class RowSpreader {
 public:
  virtual ~RowSpreader() = default;
  virtual void Run(int32_t rows, const std::function<void(int32_t first, int32_t end)>& body) const = 0;
};

// Measures every pixel of source (when settings.measure), publishes into
// record, and writes the window's pixels of output: the swatches where they
// fall, the source's pixels elsewhere, transparent black where the window
// leaves the source. The swatches sit where the After Effects effect puts
// them, in the picture as the user sees it (rows counted from its top).
// source and output have the same depth; window lies inside output.bounds.
// Each output row is written once, and each source row read once but the
// swatch strip's, whatever the thread count; source and output may be the
// same rows (a host rendering in place), not otherwise overlapping ones.
void RenderFrame(const ImageRows& source, const ImageRows& output, const OfxRectI& window,
                 const FrameSettings& settings, PaletteRecord& record, const RowSpreader& threads);

}  // namespace huewright_ofx

#endif
