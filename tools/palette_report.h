// The palette command's output: a table for people, JSON for programs.
#ifndef HUEWRIGHT_TOOLS_PALETTE_REPORT_H
#define HUEWRIGHT_TOOLS_PALETTE_REPORT_H

#include <ostream>
#include <string>
#include <vector>

#include "palette_readout.h"

namespace huewright {

struct FramePalette {
  int number = 0;
  std::string input;
  int width = 0, height = 0;
  bool toggled_before = false;
  PaletteReadout palette;
};

void PrintPaletteTable(std::ostream& out, const std::vector<FramePalette>& frames);
// Non-finite colour values become null, which JSON can hold.
void PrintPaletteJson(std::ostream& out, const std::string& host, const std::vector<FramePalette>& frames);

}  // namespace huewright

#endif
