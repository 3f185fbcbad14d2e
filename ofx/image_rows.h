// An image handed over by the host, read and checked into ImageRows: its
// own depth, components, bounds, row bytes and data pointer, whatever its
// clip declared. Anything the render cannot address safely is refused.
#ifndef HUEWRIGHT_OFX_IMAGE_ROWS_H
#define HUEWRIGHT_OFX_IMAGE_ROWS_H

#include "properties.h"
#include "render_frame.h"

namespace huewright_ofx {

// Sides beyond this, or more pixels than kLargestArea, are refused as
// absurd rather than allocated for.
inline constexpr int64_t kLargestSide = int64_t{1} << 17;
inline constexpr int64_t kLargestArea = int64_t{1} << 30;

// Throws OfxError: kOfxStatErrImageFormat for a depth or components the
// plug-in does not take, or data it cannot address (misaligned, rows that
// overlap); kOfxStatErrValue for bounds that are reversed or absurd or a
// null data pointer.
ImageRows ReadImageRows(const Properties& image);

}  // namespace huewright_ofx

#endif
