// Where the five swatches sit: cells side by side across 0.1 to 0.9 of the
// frame width, each 0.16 wide, in the rows from 0.8 to 0.95 of its height.
#ifndef HUEWRIGHT_PALETTE_SWATCH_LAYOUT_H
#define HUEWRIGHT_PALETTE_SWATCH_LAYOUT_H

#include <cstdint>

#include "pixel_refcon.h"

// The strip as fractions of the frame width W and height H: cell k spans
// edges[k] * W <= x < edges[k + 1] * W, in the rows top * H <= y <= bottom * H.
struct SwatchGeometry {
  double edges[kBandCount + 1];
  double top;
  double bottom;  // inclusive
};
inline constexpr SwatchGeometry kSwatchGeometry = {{0.1, 0.26, 0.42, 0.58, 0.74, 0.9}, 0.8, 0.95};
inline constexpr const double (&kSwatchEdges)[kBandCount + 1] = kSwatchGeometry.edges;
inline constexpr double kSwatchTop = kSwatchGeometry.top;
inline constexpr double kSwatchBottom = kSwatchGeometry.bottom;

// The pixel at the centre of cell `band` in a width x height frame (clamped
// into the frame): where a reader finds that band's swatch.
struct SwatchPixel {
  int32_t x, y;
};
SwatchPixel SwatchCentre(const SwatchGeometry& geometry, int band, int32_t width, int32_t height);

// The cell (and band) that pixel (x, y) paints, or -1 to pass it through.
// Each bound is the double product of its fraction and W or H, compared
// exactly; a NaN, zero or negative frame size matches nothing. The rows are
// tested first since most of a frame lies outside the strip. For W > 0 the
// edges are non-decreasing, so counting the inner edges at or left of x
// finds the one cell whose range holds it.
inline int SwatchCellAt(const PixelRefcon& refcon, int32_t x, int32_t y) {
  const double column = static_cast<double>(x);
  const double row = static_cast<double>(y);
  const double width = refcon.frame_width;
  const double height = refcon.frame_height;
  if (!(row >= kSwatchTop * height && row <= kSwatchBottom * height)) return -1;
  if (!(column >= kSwatchEdges[0] * width && column < kSwatchEdges[5] * width)) return -1;
  return (column >= kSwatchEdges[1] * width) + (column >= kSwatchEdges[2] * width) +
         (column >= kSwatchEdges[3] * width) + (column >= kSwatchEdges[4] * width);
}

// Turns refcon's frame size into whole-pixel bounds that select exactly the
// pixels SwatchCellAt selects, for any width and height, NaN and infinities
// included. Call again whenever the frame size changes.
void PrepareSwatchBounds(PixelRefcon& refcon);

// SwatchCellAt over prepared bounds, split in its row test and its column
// lookup. A row outside the strip costs one subtraction and one comparison:
// most of a frame is such rows.
inline bool SwatchRowIn(const SwatchBounds& bounds, int32_t y) {
  return static_cast<uint64_t>(int64_t{y} - bounds.first_row) < bounds.row_count;
}

inline int SwatchColumnCellIn(const SwatchBounds& bounds, int32_t x) {
  const int64_t column = x;
  const int64_t* edges = bounds.column_edges;
  if (!(column >= edges[0] && column < edges[5])) return -1;
  return (column >= edges[1]) + (column >= edges[2]) + (column >= edges[3]) + (column >= edges[4]);
}

inline int SwatchCellIn(const SwatchBounds& bounds, int32_t x, int32_t y) {
  return SwatchRowIn(bounds, y) ? SwatchColumnCellIn(bounds, x) : -1;
}

#endif
