#include "analysers.h"

#include <cstring>

#include "band_accumulator.h"
#include "layout_traits.h"
#include "pixel_refcon.h"

namespace {

// Every call but the common one: no accumulator, a disabled one, or the
// first pixel of a thread in this pass. Out of line, so that the common path
// keeps to scratch registers and jumps here instead of calling.
template <class Layout>
[[gnu::noinline]] int32_t AnalyzeSlowly(void* refcon, int32_t x, typename Layout::Pixel* in,
                                        typename Layout::Pixel* out) {
  BandAccumulator* accumulator = refcon ? static_cast<const PixelRefcon*>(refcon)->accumulator : nullptr;
  if (accumulator && accumulator->enabled()) Layout::Accumulate(*accumulator, x, *in);
  // Nothing was written before this copy, so in may be out; raw bytes keep
  // NaN payloads.
  if constexpr (Layout::kCopiesAfterAnalysis) std::memmove(out, in, sizeof *in);
  return 0;
}

template <class Layout>
int32_t Analyze(void* refcon, int32_t x, int32_t, typename Layout::Pixel* in, typename Layout::Pixel* out) {
  BandAccumulator* accumulator = refcon ? static_cast<const PixelRefcon*>(refcon)->accumulator : nullptr;
  BandAccumulator::Slot* slot = accumulator ? accumulator->SlotOfThisThread() : nullptr;
  if (!slot) [[unlikely]]
    return AnalyzeSlowly<Layout>(refcon, x, in, out);
  BandAccumulator::SlotSink sink{*slot};
  Layout::Accumulate(sink, x, *in);
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
