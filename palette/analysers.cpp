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

// Pixels two at a time, then a last one alone.
template <class Layout>
void AnalyzeRowInPairs(BandAccumulator::Row& row, const typename Layout::Pixel* in, int32_t x, int32_t width) {
#if defined(__SSE2__)
  for (; x + 1 < width; x += 2) Layout::AccumulatePair(row, x, in[x], in[x + 1]);
#endif
  for (; x < width; ++x) Layout::Accumulate(row, x, in[x]);
}

#if defined(HUEWRIGHT_WIDE_MEASURE)
// Four at a time, the rest as above.
template <class Layout>
[[gnu::target("avx")]] void AnalyzeRowWithAvx(BandAccumulator::Row& row, const typename Layout::Pixel* in,
                                              int32_t width) {
  int32_t x = 0;
  for (; x + 3 < width; x += 4) Layout::AccumulateQuad(row, x, in);
  // Leaves the upper halves of the vector registers clean for the SSE2 code
  // that runs next: dirty, they slow every SSE instruction after them (the
  // host's too). GCC for Windows does not emit this on its own.
  _mm256_zeroupper();
  AnalyzeRowInPairs<Layout>(row, in, x, width);
}
#endif

// The row's cells are found once; pixels are then measured four or two at
// a time (each exactly as Analyze measures it), in column order. in and out
// are the same row or rows apart, so copying the row after measuring it
// gives what copying pixel by pixel gives.
template <class Layout>
void AnalyzeRow(PixelRefcon* refcon, int32_t y, typename Layout::Pixel* in, typename Layout::Pixel* out,
                int32_t width) {
  const BandAccumulator* accumulator = refcon ? refcon->accumulator : nullptr;
  if (BandAccumulator::Row* row = accumulator ? accumulator->RowAt(y) : nullptr) {
#if defined(HUEWRIGHT_WIDE_MEASURE)
    if (CpuHasAvx())
      AnalyzeRowWithAvx<Layout>(*row, in, width);
    else
#endif
      AnalyzeRowInPairs<Layout>(*row, in, 0, width);
  }
  // Pixel by pixel, as Analyze copies: a pixel's bytes move inline, where a
  // whole-row memmove would be a library call.
  if constexpr (Layout::kCopiesAfterAnalysis)
    if (in != out)
      for (int32_t x = 0; x < width; ++x) std::memmove(out + x, in + x, sizeof *in);
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

void AnalyzeBgraFloatRow(PixelRefcon* refcon, int32_t y, PF_PixelFloat* in, PF_PixelFloat* out, int32_t width) {
  AnalyzeRow<BgraFloatLayout>(refcon, y, in, out, width);
}

void AnalyzeVuyaFloatRow(PixelRefcon* refcon, int32_t y, PF_PixelFloat* in, PF_PixelFloat* out, int32_t width) {
  AnalyzeRow<VuyaFloatLayout>(refcon, y, in, out, width);
}
