#include <filesystem>

#include "commands.h"
#include "float_clip_warning.h"
#include "frame_pipeline.h"
#include "frame_pixels.h"
#include "output_safety.h"
#include "progress.h"
#include "render_session.h"

namespace huewright {

int RunRender(const CliOptions& options) {
  std::vector<Frame> frames = CommandFrames(options);
  AssignOutputs(frames, options.output);
  RequireInputsExist(frames);
  RefuseOutputsThatAreInputs(frames);
  CheckWritableFormat(frames.front().output);
  CheckOutputsWritable(frames, options.write.no_clobber);
  RenderSession session(LoadablePluginPath(options), options.render);
  OutputDirectories directories(frames);
  Progress progress(frames.size(), options.quiet);
  PrecisionWarning warning;
  FloatClipWarning clipping;
  std::set<PixelLayout> layouts;
  auto render = [&](const Frame& frame, SourceImage& image) {
    if (options.toggle_at.count(frame.number)) session.UserChangedParam(frame.input);
    warning.Check(image.layout, image.samples, frame.input);
    layouts.insert(image.layout);
    // The host's three worlds (input, output, the effect's drawing) are
    // held at once; the frame's samples beside them only when some of its
    // channels pass through. The input world goes as soon as it has rendered.
    minihost::World input = PackFrame(image);
    ReleaseRenderedSamples(image);
    const minihost::World output = session.Render(std::move(input), image.path).output;
    if (options.write.sample_type) ConvertRenderedPart(image, *options.write.sample_type);
    UnpackFrame(output, image);
  };
  auto write = [&](const Frame& frame, const SourceImage& image) {
    WriteImage(frame.output, image, options.write);
    clipping.Check(frame.output, image, options.write);
    progress.Advance(frame.output);
  };
  RunFrames(frames, ReadSettingsOf(options), render, write);
  directories.Keep();
  const std::string where = frames.size() == 1 ? frames[0].output : options.output;
  progress.Summary("huewright: rendered " + std::to_string(frames.size()) + (frames.size() == 1 ? " frame" : " frames") +
                   " (" + HostDescription(options.render.premiere, layouts) + ") to " + where);
  return 0;
}

}  // namespace huewright
