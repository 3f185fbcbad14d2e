#include "row_functions.h"

#include <cstring>

#include "analysers.h"
#include "band_accumulator.h"
#include "layout_traits.h"
#include "pixel_refcon.h"
#include "row_accumulate.h"
#include "row_paint.h"
#include "swatch_layout.h"
#include "writers.h"

namespace {

BandAccumulator::Row* RowOf(const PixelRefcon* refcon, int32_t y) {
  const BandAccumulator* accumulator = refcon ? refcon->accumulator : nullptr;
  return accumulator ? accumulator->RowAt(y) : nullptr;
}

void CopyRow(const PixelRefcon* refcon, const void* in, void* out, int32_t width, std::size_t pixel_bytes) {
  if (width > 0)
    row_paint::CopyRowBytes(static_cast<const unsigned char*>(in), static_cast<unsigned char*>(out),
                            static_cast<std::size_t>(width) * pixel_bytes, refcon && refcon->streams_copies);
}

// The layout's row analysis: nothing added without the accumulator's row y;
// VUYA leaves out a copy of in whatever it adds (as its pixel function), and
// with kCopies every layout does, in the same pass.
template <class Layout, bool kCopies>
void AnalyzeRow(PixelRefcon* refcon, int32_t y, typename Layout::Pixel* in, typename Layout::Pixel* out,
                int32_t width) {
  constexpr bool kCopied = kCopies || Layout::kCopiesAfterAnalysis;
  const bool streamed = refcon && refcon->streams_copies;
  if (BandAccumulator::Row* row = RowOf(refcon, y))
    AccumulateRow<Layout>(*row, in, width, kCopied ? out : nullptr, streamed);
  else if (kCopied)
    CopyRow(refcon, in, out, width, sizeof *in);
}

// The layout's swatch pixels as bytes: each painted once over an input of
// zero bits and once over one bits; the bits that differ are the input's.
template <class Layout>
RowSwatches SwatchesOf(const BandPalette& palette) {
  using Pixel = typename Layout::Pixel;
  static_assert(sizeof(Pixel) == 4 || sizeof(Pixel) == 8 || sizeof(Pixel) == 16);
  RowSwatches swatches{};
  swatches.pixel_bytes = sizeof(Pixel);
  Pixel zeros, ones;
  std::memset(&zeros, 0, sizeof zeros);
  std::memset(&ones, 0xff, sizeof ones);
  for (int band = 0; band < kBandCount; ++band) {
    Pixel over_zeros, over_ones;
    Layout::Paint(palette, band, zeros, over_zeros);
    Layout::Paint(palette, band, ones, over_ones);
    unsigned char a[sizeof(Pixel)], b[sizeof(Pixel)];
    std::memcpy(a, &over_zeros, sizeof a);
    std::memcpy(b, &over_ones, sizeof b);
    for (std::size_t i = 0; i < sizeof(Pixel); ++i) {
      swatches.keep[i] |= static_cast<unsigned char>(a[i] ^ b[i]);
      swatches.pixels[band][i] = a[i];
    }
  }
  for (std::size_t i = 0; i < sizeof(Pixel); ++i) swatches.keeps_input |= swatches.keep[i] != 0;
  return swatches;
}

template <class Layout, auto kPixelFunction>
void DrawRow(PixelRefcon* refcon, int32_t y, typename Layout::Pixel* in, typename Layout::Pixel* out, int32_t width) {
  if (!refcon || !refcon->swatch.ready || !refcon->palette) {
    for (int32_t x = 0; x < width; ++x) kPixelFunction(refcon, x, y, in + x, out + x);
    return;
  }
  const auto* in_bytes = reinterpret_cast<const unsigned char*>(in);
  auto* out_bytes = reinterpret_cast<unsigned char*>(out);
  if (!SwatchRowIn(refcon->swatch, y)) return CopyRow(refcon, in, out, width, sizeof *in);
  const RowSwatches swatches = SwatchesOf<Layout>(*refcon->palette);
  row_paint::DrawRowBytes(in_bytes, out_bytes, width, true, refcon->swatch.column_edges, swatches);
}

}  // namespace

void AnalyzeArgb8Row(PixelRefcon* refcon, int32_t y, PF_Pixel8* in, PF_Pixel8* out, int32_t width) {
  AnalyzeRow<Argb8Layout, false>(refcon, y, in, out, width);
}
void AnalyzeBgra8Row(PixelRefcon* refcon, int32_t y, PF_Pixel8* in, PF_Pixel8* out, int32_t width) {
  AnalyzeRow<Bgra8Layout, false>(refcon, y, in, out, width);
}
void AnalyzeRgba8Row(PixelRefcon* refcon, int32_t y, PF_Pixel8* in, PF_Pixel8* out, int32_t width) {
  AnalyzeRow<Rgba8Layout, false>(refcon, y, in, out, width);
}
void AnalyzeArgb16Row(PixelRefcon* refcon, int32_t y, PF_Pixel16* in, PF_Pixel16* out, int32_t width) {
  AnalyzeRow<Argb16Layout, false>(refcon, y, in, out, width);
}
void AnalyzeArgbFloatRow(PixelRefcon* refcon, int32_t y, PF_PixelFloat* in, PF_PixelFloat* out, int32_t width) {
  AnalyzeRow<ArgbFloatLayout, false>(refcon, y, in, out, width);
}
void AnalyzeBgraFloatRow(PixelRefcon* refcon, int32_t y, PF_PixelFloat* in, PF_PixelFloat* out, int32_t width) {
  AnalyzeRow<BgraFloatLayout, false>(refcon, y, in, out, width);
}
void AnalyzeVuyaFloatRow(PixelRefcon* refcon, int32_t y, PF_PixelFloat* in, PF_PixelFloat* out, int32_t width) {
  AnalyzeRow<VuyaFloatLayout, false>(refcon, y, in, out, width);
}

void AnalyzeArgb8RowAndCopy(PixelRefcon* refcon, int32_t y, PF_Pixel8* in, PF_Pixel8* out, int32_t width) {
  AnalyzeRow<Argb8Layout, true>(refcon, y, in, out, width);
}
void AnalyzeBgra8RowAndCopy(PixelRefcon* refcon, int32_t y, PF_Pixel8* in, PF_Pixel8* out, int32_t width) {
  AnalyzeRow<Bgra8Layout, true>(refcon, y, in, out, width);
}
void AnalyzeRgba8RowAndCopy(PixelRefcon* refcon, int32_t y, PF_Pixel8* in, PF_Pixel8* out, int32_t width) {
  AnalyzeRow<Rgba8Layout, true>(refcon, y, in, out, width);
}
void AnalyzeArgb16RowAndCopy(PixelRefcon* refcon, int32_t y, PF_Pixel16* in, PF_Pixel16* out, int32_t width) {
  AnalyzeRow<Argb16Layout, true>(refcon, y, in, out, width);
}
void AnalyzeArgbFloatRowAndCopy(PixelRefcon* refcon, int32_t y, PF_PixelFloat* in, PF_PixelFloat* out, int32_t width) {
  AnalyzeRow<ArgbFloatLayout, true>(refcon, y, in, out, width);
}
void AnalyzeBgraFloatRowAndCopy(PixelRefcon* refcon, int32_t y, PF_PixelFloat* in, PF_PixelFloat* out, int32_t width) {
  AnalyzeRow<BgraFloatLayout, true>(refcon, y, in, out, width);
}
void AnalyzeVuyaFloatRowAndCopy(PixelRefcon* refcon, int32_t y, PF_PixelFloat* in, PF_PixelFloat* out, int32_t width) {
  AnalyzeRow<VuyaFloatLayout, true>(refcon, y, in, out, width);
}

void DrawArgb8Row(PixelRefcon* refcon, int32_t y, PF_Pixel8* in, PF_Pixel8* out, int32_t width) {
  DrawRow<Argb8Layout, DrawArgb8>(refcon, y, in, out, width);
}
void DrawBgra8Row(PixelRefcon* refcon, int32_t y, PF_Pixel8* in, PF_Pixel8* out, int32_t width) {
  DrawRow<Bgra8Layout, DrawBgra8>(refcon, y, in, out, width);
}
void DrawRgba8Row(PixelRefcon* refcon, int32_t y, PF_Pixel8* in, PF_Pixel8* out, int32_t width) {
  DrawRow<Rgba8Layout, DrawRgba8>(refcon, y, in, out, width);
}
void DrawArgb16Row(PixelRefcon* refcon, int32_t y, PF_Pixel16* in, PF_Pixel16* out, int32_t width) {
  DrawRow<Argb16Layout, DrawArgb16>(refcon, y, in, out, width);
}
void DrawArgbFloatRow(PixelRefcon* refcon, int32_t y, PF_PixelFloat* in, PF_PixelFloat* out, int32_t width) {
  DrawRow<ArgbFloatLayout, DrawArgbFloat>(refcon, y, in, out, width);
}
void DrawBgraFloatRow(PixelRefcon* refcon, int32_t y, PF_PixelFloat* in, PF_PixelFloat* out, int32_t width) {
  DrawRow<BgraFloatLayout, DrawBgraFloat>(refcon, y, in, out, width);
}
void DrawVuyaFloatRow(PixelRefcon* refcon, int32_t y, PF_PixelFloat* in, PF_PixelFloat* out, int32_t width) {
  DrawRow<VuyaFloatLayout, DrawVuyaFloat>(refcon, y, in, out, width);
}
