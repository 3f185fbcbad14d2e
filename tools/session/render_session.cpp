#include "render_session.h"

#include "frame_pixels.h"
#include "tool_error.h"

namespace huewright {
namespace {

minihost::EffectLibrary LoadLibrary(const std::string& path) {
  try {
    return minihost::EffectLibrary::Load(path);
  } catch (const minihost::LoadError& error) {
    throw ToolError(path, std::string("cannot load the effect: ") + error.what());
  }
}

std::string Describe(PF_Err err) {
  switch (err) {
    case PF_Err_OUT_OF_MEMORY:
      return "out of memory";
    case PF_Err_BAD_CALLBACK_PARAM:
      return "bad callback parameter";
    case A_Err_MISSING_SUITE:
      return "missing suite";
    default:
      return "error " + std::to_string(err);
  }
}

}  // namespace

RenderSession::RenderSession(const std::string& plugin_path, const RenderSettings& settings)
    : settings_(settings), plugin_path_(plugin_path), library_(LoadLibrary(plugin_path)) {
  minihost::HostOptions options;
  options.application =
      settings.premiere ? minihost::Application::kPremiere : minihost::Application::kAfterEffects;
  options.quality = settings.high_quality ? PF_Quality_HI : PF_Quality_LO;
  options.iterate_threads = settings.threads;
  host_ = std::make_unique<minihost::Host>(library_, options);
  Check(host_->GlobalSetup(), plugin_path_, "global setup");
  Check(host_->ParamsSetup(), plugin_path_, "parameter setup");
  host_->Params().checkbox = settings.swatches ? 1 : 0;
  host_->Params().gain = settings.gain;
}

RenderSession::~RenderSession() = default;

void RenderSession::Check(PF_Err err, const std::string& subject, const char* command) {
  std::string message;
  if (err != PF_Err_NONE) {
    message = std::string("the effect failed ") + command + " (" + Describe(err) + ")";
    const std::string said = host_->OutData().return_msg;
    if (!said.empty()) message += ": " + said;
  }
  // The host's bookkeeping too: a leaked suite or a write outside a world is
  // a fault of the effect even when it reports success.
  const std::string report = host_->VerifyReport();
  if (message.empty() && !report.empty()) message = std::string("host check failed after ") + command + ": " + report;
  host_->Log().Clear();
  if (!message.empty()) throw ToolError(subject, message);
}

PF_Err RenderSession::RenderAfterEffects(RenderedFrame& frame) {
  const PF_LRect full{0, 0, frame.input.Width(), frame.input.Height()};
  host_->SetCheckoutResult(full, full);
  PF_RenderRequest request{};
  request.rect = full;
  request.channel_mask = PF_ChannelMask_ALPHA | PF_ChannelMask_RED | PF_ChannelMask_GREEN | PF_ChannelMask_BLUE;
  const PixelLayout layout = frame.input.Layout();
  const A_short bitdepth = layout == PixelLayout::kArgb8 ? 8 : layout == PixelLayout::kArgb16 ? 16 : 32;
  const minihost::PreRenderOutcome pre = host_->SmartPreRender(request, {}, {}, bitdepth);
  if (pre.result != PF_Err_NONE) return pre.result;
  return host_->SmartRender(frame.input, frame.output);
}

RenderedFrame RenderSession::Render(const SourceImage& image) { return Render(PackFrame(image), image.path); }

RenderedFrame RenderSession::Render(minihost::World input, const std::string& frame_name) {
  minihost::World output(input.Layout(), input.Width(), input.Height());
  RenderedFrame frame{std::move(input), std::move(output)};
  const PF_Err err = settings_.premiere ? host_->Render(frame.input, frame.output) : RenderAfterEffects(frame);
  Check(err, frame_name, "to render");
  return frame;
}

void RenderSession::UserChangedParam(const std::string& frame_name) {
  Check(host_->UserChangedParam(), frame_name, "the parameter change");
}

}  // namespace huewright
