#include "effect_constants.h"
#include "exports.h"

namespace {

const A_u_char* Text(const char* text) { return reinterpret_cast<const A_u_char*>(text); }

}  // namespace

HUEWRIGHT_EXPORT PF_Err PluginDataEntryFunction(PF_PluginDataPtr inPtr, PF_PluginDataCB inPluginDataCallBackPtr,
                                                SPBasicSuite*, const char*, const char*) {
  if (!inPluginDataCallBackPtr) return PF_Err_BAD_CALLBACK_PARAM;
  return inPluginDataCallBackPtr(inPtr, Text(effect::kDisplayName), Text(effect::kCallbackMatchName),
                                 Text(effect::kCategory), Text(effect::kEntryPointName), effect::kEffectKind,
                                 effect::kInterfaceMajor, effect::kInterfaceMinor, effect::kCallbackReservedInfo);
}
