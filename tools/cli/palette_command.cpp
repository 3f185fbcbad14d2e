#include "commands.h"
#include "output_safety.h"
#include "palette_measuring.h"
#include "progress.h"

namespace huewright {

int RunPalette(const CliOptions& options) {
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
