#include "registration.h"

#include <cstring>

namespace minihost {

namespace {

struct Context {
  RegistrationCall* call;
  PF_Err answer;
};

thread_local Context* active_context = nullptr;

std::string Text(const A_u_char* text) { return text ? reinterpret_cast<const char*>(text) : std::string(); }

PF_Err RecordRegistration(PF_PluginDataPtr inPtr, const A_u_char* inNameString, const A_u_char* inMatchNameString,
                          const A_u_char* inCategoryString, const A_u_char* inEntryPointString, A_long inType,
                          A_long inAPIVersionMajor, A_long inAPIVersionMinor, A_long inReservedInfo) {
  // A pointer other than the host's own is never read: the call is
  // recorded through the registration in progress on this thread.
  Context* context = active_context;
  if (!context) return PF_Err_BAD_CALLBACK_PARAM;
  RegistrationCall& call = *context->call;
  call.pointer_passed_on = inPtr == context;
  ++call.callback_calls;
  call.name = Text(inNameString);
  call.match_name = Text(inMatchNameString);
  call.category = Text(inCategoryString);
  call.entry_point = Text(inEntryPointString);
  call.kind = inType;
  call.api_major = inAPIVersionMajor;
  call.api_minor = inAPIVersionMinor;
  call.reserved_info = inReservedInfo;
  return context->answer;
}

}  // namespace

RegistrationCall CallPluginDataEntry(const EffectLibrary& effect, PF_Err callback_result) {
  if (!effect.PluginDataEntry())
    throw LoadError("effect library \"" + effect.Path() + "\" does not export PluginDataEntryFunction");
  RegistrationCall call;
  Context context{&call, callback_result};
  active_context = &context;
  call.result = effect.PluginDataEntry()(&context, RecordRegistration, nullptr, "minihost", "1.0");
  active_context = nullptr;
  return call;
}

}  // namespace minihost
