#include "layout_table.h"

#include <stdexcept>
#include <string>

#include "analysers.h"
#include "writers.h"

namespace {

// The table's uniform shapes over one layout's typed functions: each body
// reaches the buffers through the layout's own pixel type only.
template <class Layout>
int32_t AnalyzeErased(void* refcon, int32_t x, int32_t y, const void* in, void* out) {
  using Pixel = typename Layout::Pixel;
  return AnalyzePixel<Layout>(refcon, x, y, static_cast<const Pixel*>(in), static_cast<Pixel*>(out));
}
template <class Layout>
int32_t DrawErased(void* refcon, int32_t x, int32_t y, const void* in, void* out) {
  using Pixel = typename Layout::Pixel;
  return DrawPixel<Layout>(refcon, x, y, static_cast<const Pixel*>(in), static_cast<Pixel*>(out));
}
// The row functions (analysers.h, writers.h) run the row kernels: many
// pixels a step, every result the pixel function's (row_accumulate.h,
// row_paint.h). Another row function of the typed shape (PixelRefcon*,
// int32_t y, const Pixel* in, Pixel* out, int32_t width) may take the
// place of one through kRow.
template <class Layout, auto kRow = &AnalyzeRow<Layout>>
void AnalyzeRowErased(PixelRefcon* refcon, int32_t y, const void* in, void* out, int32_t width) {
  using Pixel = typename Layout::Pixel;
  kRow(refcon, y, static_cast<const Pixel*>(in), static_cast<Pixel*>(out), width);
}
template <class Layout, auto kRow = &AnalyzeRowAndCopy<Layout>>
void AnalyzeRowAndCopyErased(PixelRefcon* refcon, int32_t y, const void* in, void* out, int32_t width) {
  using Pixel = typename Layout::Pixel;
  kRow(refcon, y, static_cast<const Pixel*>(in), static_cast<Pixel*>(out), width);
}
template <class Layout, auto kRow = &DrawRow<Layout>>
void DrawRowErased(PixelRefcon* refcon, int32_t y, const void* in, void* out, int32_t width) {
  using Pixel = typename Layout::Pixel;
  kRow(refcon, y, static_cast<const Pixel*>(in), static_cast<Pixel*>(out), width);
}

// What sets layouts apart besides their arithmetic.
struct Facts {
  PixelLayout layout;
  const char* name;
  const char* description;
  LayoutFamily family;
  uint8_t bits;
  ColourModel model;
  RgbClamp clamp;
  bool gain_applies;
  bool analyses_at_low_quality;
};

// A layout's facts with no arithmetic: what a host may hand over that
// palette/ does not measure.
template <class Pixel>
constexpr LayoutInfo NotMeasured(const Facts& facts) {
  return {facts.layout,
          facts.name,
          facts.description,
          facts.family,
          facts.bits,
          sizeof(Pixel),
          facts.model,
          facts.clamp,
          facts.gain_applies,
          facts.analyses_at_low_quality,
          &kSwatchGeometry,
          nullptr,
          nullptr,
          nullptr,
          nullptr,
          nullptr,
          nullptr};
}

template <class Layout>
constexpr LayoutInfo Measured(const Facts& facts) {
  LayoutInfo info = NotMeasured<typename Layout::Pixel>(facts);
  info.analyse = AnalyzeErased<Layout>;
  info.draw = DrawErased<Layout>;
  info.analyse_row = AnalyzeRowErased<Layout>;
  info.draw_row = DrawRowErased<Layout>;
  info.analyse_and_copy_row = AnalyzeRowAndCopyErased<Layout>;
  info.measure = AnalyzeFrame<Layout>;
  return info;
}

using enum PixelLayout;
using enum LayoutFamily;
using enum ColourModel;

// In PixelLayout's order: entry k describes layout k.
constexpr LayoutInfo kLayouts[] = {
    Measured<Argb8Layout>({kArgb8, "argb8", "ARGB 8-bit", kAfterEffects, 8, kRgb, RgbClamp::k8, true, true}),
    Measured<Argb16Layout>({kArgb16, "argb16", "ARGB 16-bit", kAfterEffects, 16, kRgb, RgbClamp::k16, true, true}),
    Measured<ArgbFloatLayout>(
        {kArgbFloat, "argb32f", "ARGB 32-bit float", kAfterEffects, 32, kRgb, RgbClamp::kNone, true, true}),
    Measured<Bgra8Layout>({kBgra8, "bgra8", "BGRA 8u", kPremiere, 8, kRgb, RgbClamp::k8, false, true}),
    Measured<BgraFloatLayout>({kBgraFloat, "bgra32f", "BGRA 32f", kPremiere, 32, kRgb, RgbClamp::kUnit, false, false}),
    Measured<VuyaFloatLayout>({kVuyaFloat, "vuya32f", "VUYA 32f", kPremiere, 32, kYuv, RgbClamp::kNone, false, true}),
    NotMeasured<Vuya8Pixel>({kVuya8, "vuya8", "VUYA 8u", kPremiere, 8, kYuv, RgbClamp::kNone, false, true}),
    Measured<Rgba8Layout>({kRgba8, "rgba8", "RGBA 8-bit", kOpenHost, 8, kRgb, RgbClamp::k8, true, true}),
    Measured<Rgba16Layout>({kRgba16, "rgba16", "RGBA 16-bit", kOpenHost, 16, kRgb, RgbClamp::k16Full, true, true}),
    Measured<RgbaFloatLayout>(
        {kRgbaFloat, "rgba32f", "RGBA 32-bit float", kOpenHost, 32, kRgb, RgbClamp::kNone, true, true}),
};

constexpr bool InLayoutOrder() {
  for (std::size_t index = 0; index < std::size(kLayouts); ++index)
    if (static_cast<std::size_t>(kLayouts[index].layout) != index) return false;
  return true;
}
static_assert(InLayoutOrder());

}  // namespace

const LayoutInfo& LayoutOf(PixelLayout layout) {
  const auto index = static_cast<std::size_t>(layout);
  if (index >= std::size(kLayouts)) throw std::invalid_argument("unknown pixel layout");
  return kLayouts[index];
}

std::span<const LayoutInfo> AllLayouts() { return kLayouts; }

const LayoutInfo* LayoutNamed(std::string_view name) {
  for (const LayoutInfo& info : kLayouts)
    if (name == info.name) return &info;
  return nullptr;
}
