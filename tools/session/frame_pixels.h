// Between a frame as read and the host's worlds: the effect's R, G, B (and
// A) channels of the rendered part go into the input world row by row, and
// the output world comes back into the same channels, every other channel
// left as it was. Integer samples are quantised here, NaN to 0, rather than
// by OpenImageIO, which promises nothing for NaN.
#ifndef HUEWRIGHT_TOOLS_FRAME_PIXELS_H
#define HUEWRIGHT_TOOLS_FRAME_PIXELS_H

#include "image_file.h"
#include "minihost.h"

namespace huewright {

// The input world of `image`, in image.layout; a missing alpha is opaque.
minihost::World PackFrame(const SourceImage& image);
// Stores `world` (the frame's size) into the effect's channels of `image`;
// a released part is made again first.
void UnpackFrame(const minihost::World& world, SourceImage& image);
// Drops the rendered part's samples once packed when the effect's output
// replaces every one of them (no channel passes through), so that they take
// no memory while the frame renders.
void ReleaseRenderedSamples(SourceImage& image);

}  // namespace huewright

#endif
