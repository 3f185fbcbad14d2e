#include <iostream>

#include "commands.h"
#include "frame_pipeline.h"
#include "output_safety.h"
#include "palette_report.h"
#include "progress.h"
#include "render_session.h"

namespace huewright {

int RunPalette(const CliOptions& options) {
  const std::vector<Frame> frames = CommandFrames(options);
  RequireInputsExist(frames);
  RenderSettings settings = options.render;
  settings.swatches = true;  // the colours are read back from the swatches
  RenderSession session(LoadablePluginPath(options), settings);
  Progress progress(frames.size(), options.quiet);
  PrecisionWarning warning;
  std::set<PixelLayout> layouts;
  std::vector<FramePalette> palettes;
  auto measure = [&](const Frame& frame, SourceImage& image) {
    const bool toggle = options.toggle_at.count(frame.number) > 0;
    if (toggle) session.UserChangedParam(frame.input);
    warning.Check(image.layout, image.samples, frame.input);
    layouts.insert(image.layout);
    const RenderedFrame rendered = session.Render(image);
    palettes.push_back({frame.number, frame.input, rendered.output.Width(), rendered.output.Height(), toggle,
                        ReadPalette(rendered.input, rendered.output)});
    progress.Advance(frame.input);
  };
  RunFrames(frames, ReadSettingsOf(options), measure, {});
  const std::string host = HostDescription(settings.premiere, layouts);
  if (options.json)
    PrintPaletteJson(std::cout, host, palettes);
  else
    PrintPaletteTable(std::cout, palettes);
  std::cout.flush();
  progress.Summary("huewright: measured " + std::to_string(frames.size()) +
                   (frames.size() == 1 ? " frame" : " frames") + " (" + host + ")");
  return 0;
}

}  // namespace huewright
