// The layouts are palette/'s, outside minihost's namespace: minihost's
// helpers for them are named here, once, for every room of the tool.
#ifndef HUEWRIGHT_TOOLS_MINIHOST_LAYOUTS_H
#define HUEWRIGHT_TOOLS_MINIHOST_LAYOUTS_H

#include "pixel_packing.h"

namespace huewright {

using minihost::IsEightBitLayout;
using minihost::IsFloatLayout;
using minihost::LayoutDescription;
using minihost::PackRow;
using minihost::PixelLayout;
using minihost::UnpackRow;

}  // namespace huewright

#endif
