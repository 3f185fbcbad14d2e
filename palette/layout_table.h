// Every pixel layout palette/ knows, in one table: what the front ends (the
// two render pipelines, the frei0r filter, the tool, minihost, the
// benchmarks) need to know of a layout, so that none of them keeps a table
// of its own.
#ifndef HUEWRIGHT_PALETTE_LAYOUT_TABLE_H
#define HUEWRIGHT_PALETTE_LAYOUT_TABLE_H

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "clamps.h"
#include "frame_measure.h"
#include "pixel_refcon.h"
#include "swatch_layout.h"

// The order is the one reports list the layouts of a run in.
enum class PixelLayout : uint8_t {
  kArgb8,      // After Effects 'argb', Argb8Pixel
  kArgb16,     // After Effects 'ae16', Argb16Pixel
  kArgbFloat,  // After Effects 'ae32', ArgbFloatPixel
  kBgra8,      // Premiere BGRA_4444_8u, Bgra8Pixel
  kBgraFloat,  // Premiere BGRA_4444_32f, BgraFloatPixel
  kVuyaFloat,  // Premiere VUYA_4444_32f, VuyaFloatPixel
  kVuya8,      // Premiere VUYA_4444_8u, Vuya8Pixel: not declared by the effect, not measured
  kRgba8,      // frei0r's RGBA8888, Rgba8Pixel
  kRgba16,     // OpenFX 16-bit RGBA, Rgba16Pixel, full range 0..65535
  kRgbaFloat,  // OpenFX float RGBA, RgbaFloatPixel
};

// The sums an analysis pass fills: luma and colour differences for VUYA,
// red, green and blue for the rest.
enum class ColourModel : uint8_t { kRgb, kYuv };

// Which host renders in the layout.
enum class LayoutFamily : uint8_t { kAfterEffects, kPremiere, kOpenHost };

// The shapes of a layout's functions. in and out point at pixels (or rows of
// width pixels) of the layout; in may equal out. A pixel function returns 0.
using PixelFunction = int32_t (*)(void* refcon, int32_t x, int32_t y, const void* in, void* out);
using RowFunction = void (*)(PixelRefcon* refcon, int32_t y, const void* in, void* out, int32_t width);

struct LayoutInfo {
  PixelLayout layout;
  // "argb8", "bgra32f", ...: minihost's and the command line's name.
  const char* name;
  // "ARGB 8-bit", "BGRA 32f", ...: as messages and reports name it.
  const char* description;
  LayoutFamily family;
  uint8_t bits;  // of a channel: 8, 16 or 32 (float)
  uint8_t pixel_bytes;
  ColourModel model;
  // Run on the stored averages before a drawing pass paints them.
  RgbClamp clamp;
  // Whether the render scales the averages by the gain parameter (Premiere
  // renders without it).
  bool gain_applies;
  // Whether a render at low quality still analyses (Premiere's BGRA 32f
  // path paints the last palette instead).
  bool analyses_at_low_quality;
  const SwatchGeometry* swatches;
  // The analyser and the writer, per pixel and per row (each row function
  // leaves exactly what its pixel function leaves, pixel by pixel). Null for
  // a layout palette/ does not measure (see measured()).
  PixelFunction analyse;
  PixelFunction draw;
  RowFunction analyse_row;
  RowFunction draw_row;
  // analyse_row that also leaves out a copy of in, in the same pass over the
  // row: the measuring pass of a walk that reads the frame once
  // (frame_passes.h).
  RowFunction analyse_and_copy_row;
  // The whole frame measured on the calling thread (frame_measure.h).
  FrameBands (*measure)(const FrameView& frame, bool skip_transparent);

  bool measured() const { return analyse != nullptr; }
};

const LayoutInfo& LayoutOf(PixelLayout layout);
std::span<const LayoutInfo> AllLayouts();
// The layout of that name, or null.
const LayoutInfo* LayoutNamed(std::string_view name);

#endif
