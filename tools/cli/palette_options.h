// What the palette command does beyond printing the readout: swatch files,
// the timeline picture, the palette of visible pixels only, the whole shot.
#ifndef HUEWRIGHT_TOOLS_PALETTE_OPTIONS_H
#define HUEWRIGHT_TOOLS_PALETTE_OPTIONS_H

#include <string>
#include <vector>

namespace huewright {

struct PaletteOptions {
  std::vector<std::string> export_paths;  // .ase, .gpl, .css or .json; one per format
  std::string timeline_path;              // an image file; empty: none
  bool ignore_transparent = false;
  bool frames_summary = false;
  bool linear_swatches = false;  // swatch files and JSON keep a scene-linear frame's colours linear
};

// Checked before any frame renders: an export type the tool cannot write, or
// two of one type, is a UsageError; an output directory that does not exist is a ToolError.
void CheckPaletteOutputs(const PaletteOptions& options);

}  // namespace huewright

#endif
