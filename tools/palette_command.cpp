#include <iostream>

#include "commands.h"
#include "palette_report.h"
#include "progress.h"
#include "render_session.h"

namespace huewright {

int RunPalette(const CliOptions& options) {
  const std::vector<Frame> frames = ExpandInputs(options.inputs, options.frames);
  RequireInputsExist(frames);
  RenderSettings settings = options.render;
  settings.swatches = true;  // the colours are read back from the swatches
  RenderSession session(LoadablePluginPath(options), settings);
  Progress progress(frames.size(), options.quiet);
  std::vector<FramePalette> palettes;
  for (const Frame& frame : frames) {
    const bool toggle = options.toggle_at.count(frame.number) > 0;
    if (toggle) session.UserChangedParam(frame.input);
    const ImageFile input = ReadImage(frame.input);
    const RenderedFrame rendered = session.Render(input.image, frame.input);
    const RgbaImage output = FromWorld(rendered.output, settings.layout);
    palettes.push_back({frame.number, frame.input, output.width, output.height, toggle,
                        ReadPalette(rendered.input, output, settings.layout)});
    progress.Advance(frame.input);
  }
  if (options.json)
    PrintPaletteJson(std::cout, HostDescription(settings), palettes);
  else
    PrintPaletteTable(std::cout, palettes);
  std::cout.flush();
  progress.Summary("huewright: measured " + std::to_string(frames.size()) +
                   (frames.size() == 1 ? " frame" : " frames") + " (" + HostDescription(settings) + ")");
  return 0;
}

}  // namespace huewright
