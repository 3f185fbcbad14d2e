#include <filesystem>

#include "commands.h"
#include "progress.h"
#include "render_session.h"

namespace huewright {

int RunRender(const CliOptions& options) {
  std::vector<Frame> frames = ExpandInputs(options.inputs, options.frames);
  AssignOutputs(frames, options.output);
  RequireInputsExist(frames);
  RenderSession session(LoadablePluginPath(options), options.render);
  Progress progress(frames.size(), options.quiet);
  for (const Frame& frame : frames) {
    if (options.toggle_at.count(frame.number)) session.UserChangedParam(frame.input);
    const ImageFile input = ReadImage(frame.input);
    const RenderedFrame rendered = session.Render(input.image, frame.input);
    WriteImage(frame.output, FromWorld(rendered.output, options.render.layout), input, options.write);
    progress.Advance(frame.output);
  }
  const std::string where = frames.size() == 1 ? frames[0].output : options.output;
  progress.Summary("huewright: rendered " + std::to_string(frames.size()) + (frames.size() == 1 ? " frame" : " frames") +
                   " (" + HostDescription(options.render) + ") to " + where);
  return 0;
}

}  // namespace huewright
