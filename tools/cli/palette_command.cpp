#include <filesystem>

#include "commands.h"
#include "output_safety.h"
#include "palette_measuring.h"
#include "progress.h"
#include "tool_error.h"

namespace huewright {
namespace {

// `--json p.json` takes p.json for an input: --json is a switch that prints
// to standard output, and a missing .json input is that slip.
void RefuseJsonFileAfterJsonSwitch(const CliOptions& options) {
  if (!options.json) return;
  for (const std::string& input : options.inputs) {
    std::error_code error;
    if (input.ends_with(".json") && !std::filesystem::exists(input, error))
      throw UsageError(input + ": no such input; --json prints the palette to standard output and takes no file "
                               "(to write one: --export " + input + ")");
  }
}

}  // namespace

int RunPalette(const CliOptions& options) {
  RefuseJsonFileAfterJsonSwitch(options);
  const std::vector<Frame> frames = CommandFrames(options);
  RequireInputsExist(frames);
  CheckPaletteOutputs(options.palette);
  Progress progress(frames.size(), options.quiet);
  const PaletteReport report = MeasurePalettes(frames, options, progress);
  const int status = FinishPalette(report, options.json, options.palette, progress);
  progress.Summary("huewright: measured " + std::to_string(report.frames.size()) +
                   (report.frames.size() == 1 ? " frame" : " frames") + " (" + report.host + ")");
  return status;
}

}  // namespace huewright
