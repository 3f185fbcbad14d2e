#include "swatch_layout.h"

#include <algorithm>
#include <cmath>

namespace {

// Every int32 coordinate lies in [kBelowAll, kAboveAll).
constexpr int64_t kBelowAll = INT32_MIN;
constexpr int64_t kAboveAll = int64_t{INT32_MAX} + 1;

// The least b with (n >= b) == (double(n) >= bound) for every int32 n. For
// whole n, n >= bound exactly when n >= ceil(bound). NaN admits no n.
int64_t FirstAtOrAbove(double bound) {
  if (std::isnan(bound) || bound > INT32_MAX) return kAboveAll;
  if (bound <= INT32_MIN) return kBelowAll;
  return static_cast<int64_t>(std::ceil(bound));
}

// The b with (n < b) == (double(n) < bound) for every int32 n: again
// ceil(bound), but NaN admits no n from this side.
int64_t EndBelow(double bound) {
  if (std::isnan(bound) || bound <= INT32_MIN) return kBelowAll;
  if (bound > INT32_MAX) return kAboveAll;
  return static_cast<int64_t>(std::ceil(bound));
}

// The b with (n < b) == (double(n) <= bound) for every int32 n.
int64_t EndAtOrBelow(double bound) {
  if (std::isnan(bound) || bound < INT32_MIN) return kBelowAll;
  if (bound >= INT32_MAX) return kAboveAll;
  return static_cast<int64_t>(std::floor(bound)) + 1;
}

// A position inside [0, size); the fraction is in [0, 1], so the product is
// finite and within int32 before it is converted.
int32_t CentreAt(double fraction, int32_t size) {
  const auto at = static_cast<int32_t>(std::floor(fraction * size));
  return std::clamp(at, 0, std::max(size - 1, 0));
}

}  // namespace

SwatchPixel SwatchCentre(const SwatchGeometry& geometry, int band, int32_t width, int32_t height) {
  const double across = (geometry.edges[band] + geometry.edges[band + 1]) / 2;
  return {CentreAt(across, width), CentreAt((geometry.top + geometry.bottom) / 2, height)};
}

void PrepareSwatchBounds(PixelRefcon& refcon) {
  const double width = refcon.frame_width;
  const double height = refcon.frame_height;
  SwatchBounds& bounds = refcon.swatch;
  bounds.first_row = FirstAtOrAbove(kSwatchTop * height);
  const int64_t row_end = EndAtOrBelow(kSwatchBottom * height);
  bounds.row_count = row_end > bounds.first_row ? static_cast<uint64_t>(row_end - bounds.first_row) : 0;
  for (int edge = 0; edge < kBandCount; ++edge) bounds.column_edges[edge] = FirstAtOrAbove(kSwatchEdges[edge] * width);
  bounds.column_edges[kBandCount] = EndBelow(kSwatchEdges[kBandCount] * width);
  bounds.ready = true;
}
