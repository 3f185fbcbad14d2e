// The palette command's work: every frame rendered through the effect and
// measured, then the readout printed and the requested files written.
#ifndef HUEWRIGHT_TOOLS_PALETTE_MEASURING_H
#define HUEWRIGHT_TOOLS_PALETTE_MEASURING_H

#include <set>
#include <vector>

#include "cli_options.h"
#include "frame_list.h"
#include "palette_options.h"
#include "table_and_json.h"
#include "progress.h"
#include "render_session.h"

namespace huewright {

// Renders the frames in order, sending the parameter change before the
// frames of --toggle-at. A frame that fails stops the run: the report holds
// the frames before it and names the failure. Throws only for failures of
// the whole run (the effect cannot be loaded).
PaletteReport MeasurePalettes(const std::vector<Frame>& frames, const CliOptions& options, Progress& progress);

// Prints the readout on stdout (after clearing the progress bar), writes the
// swatch file and the timeline unless a frame failed, and returns the exit
// status: 0, or 1 after naming the failed frame on stderr.
int FinishPalette(const PaletteReport& report, bool json, const PaletteOptions& options, Progress& progress);

}  // namespace huewright

#endif
