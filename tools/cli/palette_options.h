// What the palette command does beyond printing the readout: swatch files,
// the timeline picture, the palette of visible pixels only, the whole shot.
#ifndef HUEWRIGHT_TOOLS_PALETTE_OPTIONS_H
#define HUEWRIGHT_TOOLS_PALETTE_OPTIONS_H

#include <string>

namespace huewright {

struct PaletteOptions {
  std::string export_path;    // .ase, .gpl, .css or .json; empty: none
  std::string timeline_path;  // an image file; empty: none
  bool ignore_transparent = false;
  bool frames_summary = false;
};

// Checked before any frame renders: an export type the tool cannot write is
// a UsageError; an output directory that does not exist is a ToolError.
void CheckPaletteOutputs(const PaletteOptions& options);

}  // namespace huewright

#endif
