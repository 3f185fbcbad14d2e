// The one step in which a frame of either pipeline touches the sums and
// counts of the process-wide BandStats.
#ifndef HUEWRIGHT_RENDER_PUBLISH_FRAME_H
#define HUEWRIGHT_RENDER_PUBLISH_FRAME_H

#include "band_accumulator.h"
#include "clamps.h"
#include "pixel_refcon.h"

// The sums an analysis pass fills: RGB for every layout but VUYA.
enum class BandModel { kRgb, kYuv };

struct FramePublication {
  // The frame's finished analysis pass, or null when the frame was not
  // analysed (analysis off, or a pass this pipeline skips): the record then
  // keeps the palette of the last analysed frame.
  const BandAccumulator* analysed;
  BandModel model;
  double gain;     // scales the RGB averages
  RgbClamp clamp;  // run on the stored averages before the copy
  // A Premiere frame rendered while analysis is on zeroes the YUV sums and
  // the counts whatever its format; done here, no other frame sees them
  // zeroed halfway through this one.
  bool reset_yuv_first;
};

// In one critical section: the reset of the model the frame publishes into,
// the merge of its pass, the normalisation, then the clamp and the copy of
// the palette the frame paints. A frame therefore paints exactly what it
// published, whatever other renders do meanwhile.
BandPalette PublishFrame(const FramePublication& frame);

#endif
