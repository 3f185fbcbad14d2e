// The command line of the tool: which command, its inputs and its options,
// checked for sense before any file is touched.
#ifndef HUEWRIGHT_TOOLS_CLI_OPTIONS_H
#define HUEWRIGHT_TOOLS_CLI_OPTIONS_H

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "frame_list.h"
#include "image_file.h"
#include "palette_options.h"
#include "render_session.h"

namespace huewright {

enum class Command { Render, Palette, Info };

struct CliOptions {
  Command command = Command::Info;
  std::vector<std::string> inputs;
  std::string output;
  std::string plugin;  // empty: the library built beside the tool
  RenderSettings render;
  std::optional<FrameRange> frames;
  std::set<int> toggle_at;  // frame numbers before which the parameter changes
  ReadSettings read;
  WriteSettings write;
  bool json = false;
  PaletteOptions palette;
  bool quiet = false;
};

// The options, or nothing when the command line only asked for help or the
// version (printed on stdout). Throws UsageError naming the option and the
// reason.
std::optional<CliOptions> ParseCommandLine(int argc, char** argv);

}  // namespace huewright

#endif
