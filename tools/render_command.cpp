#include <filesystem>

#include "commands.h"
#include "depth_choice.h"
#include "output_safety.h"
#include "progress.h"
#include "render_session.h"

namespace huewright {

int RunRender(const CliOptions& options) {
  std::vector<Frame> frames = ExpandInputs(options.inputs, options.frames);
  AssignOutputs(frames, options.output);
  RequireInputsExist(frames);
  RefuseOutputsThatAreInputs(frames);
  CheckOutputsWritable(frames, options.write.no_clobber);
  RenderSession session(LoadablePluginPath(options), options.render);
  OutputDirectories directories(frames);
  Progress progress(frames.size(), options.quiet);
  PrecisionWarning warning;
  std::set<PixelLayout> layouts;
  for (const Frame& frame : frames) {
    if (options.toggle_at.count(frame.number)) session.UserChangedParam(frame.input);
    const ImageFile input = ReadImage(frame.input);
    const PixelLayout layout = ChooseLayout(options.render.premiere, options.render.layout, input.samples);
    warning.Check(layout, input.samples, frame.input);
    layouts.insert(layout);
    const RenderedFrame rendered = session.Render(input.image, layout, frame.input);
    WriteImage(frame.output, FromWorld(rendered.output), input, options.write);
    progress.Advance(frame.output);
  }
  directories.Keep();
  const std::string where = frames.size() == 1 ? frames[0].output : options.output;
  progress.Summary("huewright: rendered " + std::to_string(frames.size()) + (frames.size() == 1 ? " frame" : " frames") +
                   " (" + HostDescription(options.render.premiere, layouts) + ") to " + where);
  return 0;
}

}  // namespace huewright
