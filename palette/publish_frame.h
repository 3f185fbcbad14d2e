// The one step in which a frame touches the sums and counts of a band
// statistics record: the effect's process-wide record, a frei0r instance's,
// or one the tool keeps.
#ifndef HUEWRIGHT_PALETTE_PUBLISH_FRAME_H
#define HUEWRIGHT_PALETTE_PUBLISH_FRAME_H

#include <mutex>

#include "band_accumulator.h"
#include "band_stats.h"
#include "clamps.h"
#include "frame_measure.h"
#include "layout_table.h"
#include "pixel_refcon.h"

struct FramePublication {
  // What the frame measured: a finished analysis pass, merged row by row,
  // or bands measured and merged already (with 64-bit counts, as the tool
  // adds up frames). Neither when the frame was not analysed (analysis off,
  // or a pass the pipeline skips): the record then keeps the palette of the
  // last analysed frame.
  const BandAccumulator* analysed = nullptr;
  const FrameBands* measured = nullptr;
  ColourModel model = ColourModel::kRgb;
  double gain = 1.0;                 // scales the RGB averages
  RgbClamp clamp = RgbClamp::kNone;  // run on the stored averages before the copy
  // A Premiere frame rendered while analysis is on zeroes the YUV sums and
  // the counts whatever its format; done here, no other frame sees them
  // zeroed halfway through this one.
  bool reset_yuv_first = false;
};

// Under lock, in one critical section: the reset of the model the frame
// publishes into, the merge of what it measured, the normalisation, then
// the clamp and the copy of the palette the frame paints. A frame therefore
// paints exactly what it published, whatever other frames do meanwhile.
BandPalette PublishFrame(BandStats& stats, std::mutex& lock, const FramePublication& frame);

#endif
