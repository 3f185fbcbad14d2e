// One effect instance in minihost, set up once and then fed frames: the
// library is loaded, global and parameter setup run, and every frame goes
// through the host's own render protocol (smart render for After Effects,
// the classic render command for Premiere Pro).
#ifndef HUEWRIGHT_TOOLS_RENDER_SESSION_H
#define HUEWRIGHT_TOOLS_RENDER_SESSION_H

#include <memory>
#include <optional>
#include <string>

#include "image_file.h"
#include "minihost_layouts.h"
#include "minihost.h"

namespace huewright {

struct RenderSettings {
  bool premiere = false;
  std::optional<PixelLayout> layout;  // --depth / --format; empty: follows each input

  double gain = 1.0;
  bool swatches = true;
  bool high_quality = true;
  int threads = 1;
};

// The host worlds of one rendered frame, input and output.
struct RenderedFrame {
  minihost::World input;
  minihost::World output;
};

class RenderSession {
 public:
  // Throws ToolError naming the library when it cannot be loaded or set up.
  RenderSession(const std::string& plugin_path, const RenderSettings& settings);
  ~RenderSession();

  // Renders the frame in its layout. Throws ToolError naming the file when
  // the effect returns an error.
  RenderedFrame Render(const SourceImage& image);
  // Renders an input world already packed; `frame_name` names it in errors.
  RenderedFrame Render(minihost::World input, const std::string& frame_name);
  // The host's user-changed-parameter command, as a click on a parameter.
  void UserChangedParam(const std::string& frame_name);

 private:
  PF_Err RenderAfterEffects(RenderedFrame& frame);
  void Check(PF_Err err, const std::string& subject, const char* command);

  RenderSettings settings_;
  std::string plugin_path_;
  minihost::EffectLibrary library_;
  std::unique_ptr<minihost::Host> host_;
};


}  // namespace huewright

#endif
