// Calling an effect's PluginDataEntryFunction with a recording callback.
#ifndef HUEWRIGHT_MINIHOST_REGISTRATION_H
#define HUEWRIGHT_MINIHOST_REGISTRATION_H

#include <string>

#include "effect_library.h"
#include "pf_host.h"

namespace minihost {

struct RegistrationCall {
  PF_Err result = PF_Err_NONE;  // what PluginDataEntryFunction returned
  int callback_calls = 0;
  bool pointer_passed_on = false;  // the callback got the host's own pointer
  std::string name, match_name, category, entry_point;
  A_long kind = 0, api_major = 0, api_minor = 0, reserved_info = 0;
};

// The callback answers callback_result. Throws LoadError when the library
// has no PluginDataEntryFunction.
RegistrationCall CallPluginDataEntry(const EffectLibrary& effect, PF_Err callback_result = PF_Err_NONE);

}  // namespace minihost

#endif
