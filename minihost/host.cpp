#include "host.h"

#include "host_state.h"

namespace minihost {

namespace {

// What a host passes with PF_Cmd_USER_CHANGED_PARAM.
struct UserChangedParamExtra {
  PF_ParamIndex param_index;
};

A_short BitDepthOf(const World& world) {
  switch (PixelBytes(world.Layout())) {
    case 8:
      return 16;
    case 16:
      return 32;
    default:
      return 8;
  }
}

// Forgets the command's worlds and checks their guards when a command ends.
class CommandWorlds {
 public:
  CommandWorlds(HostState& host, World* input, World* output) : host_(host) {
    host_.input = input;
    host_.output = output;
  }
  ~CommandWorlds() {
    if (host_.input) host_.CheckGuards(*host_.input, "input");
    if (host_.output && host_.output != host_.input) host_.CheckGuards(*host_.output, "output");
    host_.input = nullptr;
    host_.output = nullptr;
  }
  CommandWorlds(const CommandWorlds&) = delete;
  CommandWorlds& operator=(const CommandWorlds&) = delete;

 private:
  HostState& host_;
};

}  // namespace

Host::Host(const EffectLibrary& effect, HostOptions options)
    : state_(std::make_unique<HostState>(effect, options)) {
  if (!effect.EffectMain()) throw LoadError("effect library \"" + effect.Path() + "\" is not loaded");
}

Host::~Host() = default;

PF_Err Host::Send(PF_Cmd cmd, PF_ParamDef* params[], PF_LayerDef* output, void* extra) {
  CurrentHostScope scope(state_.get());
  return state_->effect.EffectMain()(cmd, &state_->in_data, &state_->out_data, params, output, extra);
}

PF_Err Host::About() { return Send(PF_Cmd_ABOUT); }
PF_Err Host::GlobalSetup() { return Send(PF_Cmd_GLOBAL_SETUP); }
PF_Err Host::ParamsSetup() { return Send(PF_Cmd_PARAMS_SETUP); }

PF_Err Host::UserChangedParam(PF_ParamIndex index) {
  UserChangedParamExtra extra{index};
  return Send(PF_Cmd_USER_CHANGED_PARAM, nullptr, nullptr, &extra);
}

PreRenderOutcome Host::SmartPreRender(const PF_RenderRequest& output_request, PF_LRect result_rect,
                                      PF_LRect max_result_rect, A_short bitdepth) {
  PF_PreRenderInput input{output_request, bitdepth};
  PreRenderOutcome outcome;
  outcome.output.result_rect = result_rect;
  outcome.output.max_result_rect = max_result_rect;
  PF_PreRenderExtra extra{&input, &outcome.output, &state_->pre_render_callbacks};
  state_->last_request.reset();
  const std::size_t calls_before = state_->log.Size();
  outcome.result = Send(PF_Cmd_SMART_PRE_RENDER, nullptr, nullptr, &extra);
  outcome.request_seen = state_->last_request;
  const std::vector<CallRecord> calls = state_->log.All();
  for (std::size_t i = calls_before; i < calls.size(); ++i)
    if (calls[i].name == "checkout_layer") outcome.checkout = calls[i];
  return outcome;
}

PF_Err Host::SmartRender(World& input, World& output) {
  CommandWorlds worlds(*state_, &input, &output);
  PF_SmartRenderInput render_input{};
  render_input.output_request.rect = PF_LRect{0, 0, output.Width(), output.Height()};
  render_input.output_request.channel_mask =
      PF_ChannelMask_ALPHA | PF_ChannelMask_RED | PF_ChannelMask_GREEN | PF_ChannelMask_BLUE;
  render_input.bitdepth = BitDepthOf(input);
  PF_SmartRenderExtra extra{&render_input, &state_->smart_render_callbacks};
  return Send(PF_Cmd_SMART_RENDER, nullptr, nullptr, &extra);
}

PF_Err Host::Render(World& input, World& output) {
  CommandWorlds worlds(*state_, &input, &output);
  PF_ParamDef records[4] = {};
  records[0].param_type = PF_Param_LAYER;
  records[0].u.ld = *input.Record();
  for (PF_ParamIndex index = 1; index < 4; ++index) records[index] = state_->ParamFor(index);
  PF_ParamDef* params[4] = {&records[0], &records[1], &records[2], &records[3]};
  return Send(PF_Cmd_RENDER, params, output.Record(), nullptr);
}

void Host::WithinCall(const std::function<void()>& body) {
  CurrentHostScope scope(state_.get());
  body();
}

void Host::UseWorlds(World* input, World* output) {
  state_->input = input;
  state_->output = output;
}

PF_InData& Host::InData() { return state_->in_data; }
PF_OutData& Host::OutData() { return state_->out_data; }
const HostOptions& Host::Options() const { return state_->options; }

void Host::SetQuality(PF_Quality quality) {
  state_->options.quality = quality;
  state_->in_data.quality = quality;
}

void Host::SetIterateThreads(int threads) { state_->options.iterate_threads = threads; }
void Host::SetIterateSplit(IterationSplit split) { state_->options.iterate_split = split; }

ParamValues& Host::Params() { return state_->values; }
const std::vector<PF_ParamDef>& Host::ParamDefinitions() const { return state_->definitions; }

int Host::OutstandingParams() const {
  int outstanding = 0;
  for (const auto& held : state_->checked_out_params) outstanding += static_cast<int>(held.second.size());
  return outstanding;
}

int Host::UnmatchedCheckins() const { return state_->unmatched_checkins; }

void Host::SetCheckoutResult(PF_LRect result_rect, PF_LRect max_result_rect) {
  state_->checkout_result_rect = result_rect;
  state_->checkout_max_result_rect = max_result_rect;
}

const std::vector<PrPixelFormat>& Host::DeclaredPixelFormats() const { return state_->declared_formats; }
int Host::PixelFormatClears() const { return state_->format_clears; }
void Host::SetPixelFormatQueryLeavesFormat(bool leave) { state_->format_query_leaves_format = leave; }

int Host::LiveCreatedWorlds() const { return static_cast<int>(state_->created_worlds.size()); }
int Host::CreatedWorlds() const { return state_->created_count; }
int Host::DisposedWorlds() const { return state_->disposed_count; }

CallLog& Host::Log() { return state_->log; }
const CallLog& Host::Log() const { return state_->log; }
void Host::RefuseSuite(SuiteRefusal refusal) { state_->refusals.push_back(std::move(refusal)); }
void Host::FailCall(CallFault fault) { state_->ArmFault(std::move(fault)); }
void Host::LosePieceStarts(PieceLoss loss) { state_->ArmPieceLoss(std::move(loss)); }
void Host::ClearFaults() { state_->ClearFaults(); }

}  // namespace minihost
