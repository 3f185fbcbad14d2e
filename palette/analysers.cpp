#include "analysers.h"

#include <cstring>

#include "band_accumulator.h"
#include "layout_traits.h"
#include "pixel_refcon.h"

namespace {

// The pixel's row is the key to its cells: a host hands each row to one
// thread, so nothing per pixel needs a lock, a call or a thread-local lookup.
template <class Layout>
int32_t Analyze(void* refcon, int32_t x, int32_t y, typename Layout::Pixel* in, typename Layout::Pixel* out) {
  const BandAccumulator* accumulator = refcon ? static_cast<const PixelRefcon*>(refcon)->accumulator : nullptr;
  if (BandAccumulator::Row* row = accumulator ? accumulator->RowAt(y) : nullptr) [[likely]]
    Layout::Accumulate(*row, x, *in);
  // Nothing was written before this copy, so in may be out; raw bytes keep
  // NaN payloads.
  if constexpr (Layout::kCopiesAfterAnalysis) std::memmove(out, in, sizeof *in);
  return 0;
}

}  // namespace

int32_t AnalyzeArgb8(void* refcon, int32_t x, int32_t y, PF_Pixel8* in, PF_Pixel8* out) {
  return Analyze<Argb8Layout>(refcon, x, y, in, out);
}

int32_t AnalyzeBgra8(void* refcon, int32_t x, int32_t y, PF_Pixel8* in, PF_Pixel8* out) {
  return Analyze<Bgra8Layout>(refcon, x, y, in, out);
}

int32_t AnalyzeRgba8(void* refcon, int32_t x, int32_t y, PF_Pixel8* in, PF_Pixel8* out) {
  return Analyze<Rgba8Layout>(refcon, x, y, in, out);
}

int32_t AnalyzeArgb16(void* refcon, int32_t x, int32_t y, PF_Pixel16* in, PF_Pixel16* out) {
  return Analyze<Argb16Layout>(refcon, x, y, in, out);
}

int32_t AnalyzeArgbFloat(void* refcon, int32_t x, int32_t y, PF_PixelFloat* in, PF_PixelFloat* out) {
  return Analyze<ArgbFloatLayout>(refcon, x, y, in, out);
}

int32_t AnalyzeBgraFloat(void* refcon, int32_t x, int32_t y, PF_PixelFloat* in, PF_PixelFloat* out) {
  return Analyze<BgraFloatLayout>(refcon, x, y, in, out);
}

int32_t AnalyzeVuyaFloat(void* refcon, int32_t x, int32_t y, PF_PixelFloat* in, PF_PixelFloat* out) {
  return Analyze<VuyaFloatLayout>(refcon, x, y, in, out);
}
