#include "session.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "invariants.h"

namespace fuzz {

namespace {

constexpr int kMaxCommands = 32;

bool analysis_on = true;

enum Op : uint8_t {
  kGlobalSetup,
  kParamsSetup,
  kAbout,
  kUserChangedParam,
  kSmartPreRender,
  kSmartRender,
  kClassicRender,
  kFailCall,
  kRefuseSuite,
  kClearFaults,
  kSetParams,
  kSetHostState,
  kHostileRender,
  kHostileSmart,
  kNullRecords,
  kOtherSelector,
  kOpCount
};

constexpr const char* kOpNames[kOpCount] = {
    "global setup", "params setup",  "about",          "user changed param", "smart pre-render", "smart render",
    "classic render", "fail call",   "refuse suite",   "clear faults",       "set params",       "set host state",
    "hostile classic render", "hostile smart command", "null records", "other selector"};

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kSliderValues[] = {kNaN, -kNaN, kInf, -kInf, 0.0, -0.0, 1.0, 3.0, 0.001, 3.0000001, -1.0, 1e300,
                                    std::numeric_limits<double>::denorm_min(), 0.5, 2.0, 9999.0, 10000.0};
constexpr A_long kCheckboxValues[] = {1, 0, -1, 2, std::numeric_limits<A_long>::min(),
                                      std::numeric_limits<A_long>::max()};
constexpr PF_Quality kQualities[] = {PF_Quality_HI, PF_Quality_LO, 2, -1};
constexpr A_short kBitDepths[] = {8, 16, 32, 0, -1};
// Selectors the effect does not answer, and a few no host sends.
constexpr PF_Cmd kOtherSelectors[] = {PF_Cmd_UNUSED_0,        PF_Cmd_GLOBAL_SETDOWN,   PF_Cmd_SEQUENCE_SETUP,
                                      PF_Cmd_SEQUENCE_RESETUP, PF_Cmd_SEQUENCE_FLATTEN, PF_Cmd_SEQUENCE_SETDOWN,
                                      PF_Cmd_DO_DIALOG,       PF_Cmd_FRAME_SETUP,      PF_Cmd_FRAME_SETDOWN,
                                      PF_Cmd_UPDATE_PARAMS_UI, PF_Cmd_EVENT,           PF_Cmd_COMPLETELY_GENERAL,
                                      PF_Cmd_QUERY_DYNAMIC_FLAGS, PF_Cmd_AUDIO_RENDER,  PF_Cmd_ARBITRARY_CALLBACK,
                                      25,                     99,                      -1,
                                      std::numeric_limits<PF_Cmd>::min()};
// Selectors sent with missing records: those that need them, and some that do not.
constexpr PF_Cmd kNullRecordSelectors[] = {PF_Cmd_ABOUT,         PF_Cmd_GLOBAL_SETUP,      PF_Cmd_PARAMS_SETUP,
                                           PF_Cmd_RENDER,        PF_Cmd_SMART_PRE_RENDER,  PF_Cmd_SMART_RENDER,
                                           PF_Cmd_USER_CHANGED_PARAM, PF_Cmd_GLOBAL_SETDOWN, PF_Cmd_FRAME_SETUP};

bool NeedsRecords(PF_Cmd cmd) {
  return cmd == PF_Cmd_ABOUT || cmd == PF_Cmd_GLOBAL_SETUP || cmd == PF_Cmd_PARAMS_SETUP || cmd == PF_Cmd_RENDER ||
         cmd == PF_Cmd_SMART_PRE_RENDER || cmd == PF_Cmd_SMART_RENDER;
}

double DecodeSliderValue(ByteReader& reader) {
  return reader.Byte() < 192 ? reader.Pick(kSliderValues) : reader.Double();
}

PF_LRect DecodeRect(ByteReader& reader) { return {reader.I16(), reader.I16(), reader.I16(), reader.I16()}; }

void Check(const std::string& label, PF_Err result, HostSlot& slot, std::size_t first_call) {
  ExpectAllowedResult(label, result, slot.codes);
  ExpectHostClean(label, slot.host);
  ExpectFirstFailurePassedOn(label, slot.host, first_call, result);
}

template <class Command>
void Check(const std::string& label, HostSlot& slot, Command command) {
  const std::size_t first_call = slot.host.Log().Size();
  const PF_Err result = command();
  Check(label, result, slot, first_call);
}

void SmartPreRenderCommand(ByteReader& reader, HostSlot& slot, const std::string& label) {
  PF_RenderRequest request{};
  request.rect = DecodeRect(reader);
  request.channel_mask = reader.Byte();
  request.preserve_rgb_of_zero_alpha = reader.Byte();
  const PF_LRect result_rect = DecodeRect(reader);
  const PF_LRect max_result_rect = DecodeRect(reader);
  const PF_LRect checkout_rect = DecodeRect(reader);
  slot.host.SetCheckoutResult(checkout_rect, DecodeRect(reader));
  const A_short bitdepth = reader.Pick(kBitDepths);
  Check(label, slot, [&] { return slot.host.SmartPreRender(request, result_rect, max_result_rect, bitdepth).result; });
}

void SetParamsCommand(ByteReader& reader, HostSlot& slot) {
  minihost::ParamValues& values = slot.host.Params();
  values.checkbox = reader.Pick(kCheckboxValues);
  values.gain = DecodeSliderValue(reader);
  values.seed = DecodeSliderValue(reader);
}

void SetHostStateCommand(ByteReader& reader, HostSlot& slot) {
  slot.host.SetQuality(reader.Pick(kQualities));
  slot.host.SetIterateThreads(1 + reader.Byte() % 3);
  slot.query_leaves_format = reader.Flag();
  slot.host.SetPixelFormatQueryLeavesFormat(slot.query_leaves_format);
}

void NullRecordsCommand(ByteReader& reader, HostSlot& slot, const minihost::EffectLibrary& effect,
                        const std::string& label) {
  const PF_Cmd cmd = reader.Pick(kNullRecordSelectors);
  const uint8_t which = reader.Byte() % 3;
  PF_InData* in_data = which == 1 ? &slot.host.InData() : nullptr;
  PF_OutData* out_data = which == 0 ? &slot.host.OutData() : nullptr;
  const PF_Err result = effect.EffectMain()(cmd, in_data, out_data, nullptr, nullptr, nullptr);
  NoteSelectorSent(cmd);
  const std::string sent = label + " (selector " + std::to_string(cmd) + ")";
  ExpectExactResult(sent, result, NeedsRecords(cmd) ? PF_Err_BAD_CALLBACK_PARAM : PF_Err_NONE);
  ExpectHostClean(sent, slot.host);
}

void OtherSelectorCommand(ByteReader& reader, HostSlot& slot, const std::string& label) {
  const PF_Cmd cmd = reader.Pick(kOtherSelectors);
  const PF_OutData before = slot.host.OutData();
  const PF_Err result = slot.host.Send(cmd);
  const std::string sent = label + " (selector " + std::to_string(cmd) + ")";
  ExpectExactResult(sent, result, PF_Err_NONE);
  if (std::memcmp(&before, &slot.host.OutData(), sizeof before) != 0)
    Violation(sent, "a selector the effect does not answer changed PF_OutData");
  ExpectHostClean(sent, slot.host);
}

void RunCommand(ByteReader& reader, HostSlot& slot, const minihost::EffectLibrary& effect, Op op,
                const std::string& label) {
  switch (op) {
    case kGlobalSetup:
      return Check(label, slot, [&] { return slot.host.GlobalSetup(); });
    case kParamsSetup:
      return Check(label, slot, [&] { return slot.host.ParamsSetup(); });
    case kAbout:
      return Check(label, slot, [&] { return slot.host.About(); });
    case kUserChangedParam: {
      const PF_ParamIndex index = 1 + reader.Byte() % 3;
      NoteSelectorSent(PF_Cmd_USER_CHANGED_PARAM);
      return Check(label, slot, [&] { return slot.host.UserChangedParam(index); });
    }
    case kSmartPreRender:
      return SmartPreRenderCommand(reader, slot, label);
    case kSmartRender:
      return SmartRenderCommand(reader, slot, label);
    case kClassicRender:
      return ClassicRenderCommand(reader, slot, label);
    case kFailCall: {
      const minihost::CallFault fault = DecodeCallFault(reader);
      slot.codes.AllowFaultCode(fault.code);
      slot.host.FailCall(fault);
      slot.faults_armed = true;
      return;
    }
    case kRefuseSuite: {
      const minihost::SuiteRefusal refusal = DecodeSuiteRefusal(reader);
      slot.codes.AllowFaultCode(refusal.code);
      slot.host.RefuseSuite(refusal);
      slot.faults_armed = true;
      return;
    }
    case kClearFaults:
      slot.host.ClearFaults();
      slot.faults_armed = false;
      return;
    case kSetParams:
      return SetParamsCommand(reader, slot);
    case kSetHostState:
      return SetHostStateCommand(reader, slot);
    case kHostileRender:
      return HostileRenderCommand(reader, slot, label);
    case kHostileSmart:
      return HostileSmartCommand(reader, slot, label);
    case kNullRecords:
      return NullRecordsCommand(reader, slot, effect, label);
    case kOtherSelector:
      return OtherSelectorCommand(reader, slot, label);
    case kOpCount:
      break;
  }
}

}  // namespace

HostSlot::HostSlot(const minihost::EffectLibrary& effect, minihost::Application application)
    : options{application}, host(effect, options) {}

FormatQueryFor::FormatQueryFor(HostSlot& slot, const minihost::World& output)
    : slot_(slot), leaves_(slot.query_leaves_format && minihost::PixelBytes(output.Layout()) == 4) {
  slot_.host.SetPixelFormatQueryLeavesFormat(leaves_);
}

FormatQueryFor::~FormatQueryFor() { slot_.host.SetPixelFormatQueryLeavesFormat(slot_.query_leaves_format); }

bool AnalysisOn() { return analysis_on; }

void NoteSelectorSent(PF_Cmd cmd) {
  if (cmd == PF_Cmd_USER_CHANGED_PARAM) analysis_on = !analysis_on;
}

void RunSession(const minihost::EffectLibrary& effect, ByteReader& reader) {
  HostSlot after_effects(effect, minihost::Application::kAfterEffects);
  HostSlot premiere(effect, minihost::Application::kPremiere);
  // Every input starts with analysis on, whatever the inputs before it left.
  if (!analysis_on) {
    after_effects.host.UserChangedParam();
    NoteSelectorSent(PF_Cmd_USER_CHANGED_PARAM);
  }
  for (int index = 0; index < kMaxCommands && !reader.Done(); ++index) {
    const uint8_t opcode = reader.Byte();
    HostSlot& slot = (opcode & 0x10) ? premiere : after_effects;
    const Op op = static_cast<Op>(opcode % kOpCount);
    const std::string label = "command " + std::to_string(index) + " (" + kOpNames[op] + ", " +
                              (slot.premiere() ? "Premiere" : "After Effects") + " host)";
    RunCommand(reader, slot, effect, op, label);
  }
}

}  // namespace fuzz
