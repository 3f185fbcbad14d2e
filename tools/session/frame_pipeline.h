// Frames through read, render and write with both cores busy: the next
// frame is read and the last one written while the current one renders.
// Frames still reach the effect one at a time and strictly in order (its
// palette depends on order), and at most three frames are in flight: the
// one being read, the one rendering with its worlds, the one being written.
#ifndef HUEWRIGHT_TOOLS_FRAME_PIPELINE_H
#define HUEWRIGHT_TOOLS_FRAME_PIPELINE_H

#include <functional>
#include <vector>

#include "frame_list.h"
#include "image_file.h"

namespace huewright {

// `render` runs on the calling thread, in frame order; `write` (optional)
// on a second thread, in frame order. The first failure in frame order is
// thrown once the frames before it are done.
void RunFrames(const std::vector<Frame>& frames, const ReadSettings& settings,
               const std::function<void(const Frame&, SourceImage&)>& render,
               const std::function<void(const Frame&, const SourceImage&)>& write);

}  // namespace huewright

#endif
