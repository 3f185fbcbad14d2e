// The interaction callbacks: parameter registration, check-out and check-in.
#include <cstring>

#include "host_state.h"

namespace minihost {

namespace {

constexpr PF_ParamIndex kLastParam = 3;

PF_Err AddParam(PF_ProgPtr effect_ref, PF_ParamIndex index, PF_ParamDefPtr def) {
  HostState* host = HostFromRef(effect_ref, "add_param");
  if (!host) return PF_Err_BAD_CALLBACK_PARAM;
  CallRecord record{"add_param", def ? def->name : "", {index}, {def}, PF_Err_NONE};
  if (def) record.values.insert(record.values.end(), {def->param_type, def->uu.id});
  return host->Run(std::move(record), [&](CallRecord&) -> PF_Err {
    if (!def) {
      host->Error("add_param with a null definition");
      return PF_Err_BAD_CALLBACK_PARAM;
    }
    const auto next = static_cast<PF_ParamIndex>(host->definitions.size() + 1);
    if (index != -1 && index != next) return PF_Err_INVALID_INDEX;
    // Byte for byte, padding included, so that tests can compare whole records.
    PF_ParamDef copy;
    std::memcpy(&copy, def, sizeof copy);
    host->definitions.push_back(copy);
    host->TakeDefaultFrom(next, *def);
    host->in_data.num_params = next + 1;
    return PF_Err_NONE;
  });
}

PF_Err CheckoutParam(PF_ProgPtr effect_ref, PF_ParamIndex index, A_long what_time, A_long time_step,
                     A_u_long time_scale, PF_ParamDef* param) {
  HostState* host = HostFromRef(effect_ref, "checkout_param");
  if (!host) return PF_Err_BAD_CALLBACK_PARAM;
  CallRecord record{"checkout_param", "", {index, what_time, time_step, time_scale}, {param}, PF_Err_NONE};
  return host->Run(std::move(record), [&](CallRecord&) -> PF_Err {
    if (!param) {
      host->Error("checkout_param with a null record");
      return PF_Err_BAD_CALLBACK_PARAM;
    }
    if (index < 0 || index > kLastParam) return PF_Err_INVALID_INDEX;
    if (index == 0) {
      *param = PF_ParamDef{};
      param->param_type = PF_Param_LAYER;
      if (host->input) param->u.ld = *host->input->Record();
    } else {
      *param = host->ParamFor(index);
    }
    host->checked_out_params[param].push_back(index);
    return PF_Err_NONE;
  });
}

PF_Err CheckinParam(PF_ProgPtr effect_ref, PF_ParamDef* param) {
  HostState* host = HostFromRef(effect_ref, "checkin_param");
  if (!host) return PF_Err_BAD_CALLBACK_PARAM;
  CallRecord record{"checkin_param", "", {}, {param}, PF_Err_NONE};
  if (param) record.values = {param->param_type, param->uu.id};
  return host->Run(std::move(record), [&](CallRecord&) -> PF_Err {
    if (!param) {
      host->Error("checkin_param with a null record");
      return PF_Err_BAD_CALLBACK_PARAM;
    }
    auto held = host->checked_out_params.find(param);
    if (held == host->checked_out_params.end()) {
      // The effect checks in records whose checkout it never reached.
      ++host->unmatched_checkins;
      return PF_Err_NONE;
    }
    held->second.pop_back();
    if (held->second.empty()) host->checked_out_params.erase(held);
    return PF_Err_NONE;
  });
}

PF_Err Abort(PF_ProgPtr effect_ref) {
  HostState* host = HostFromRef(effect_ref, "abort");
  if (!host) return PF_Err_BAD_CALLBACK_PARAM;
  return host->Run(CallRecord{"abort", "", {}, {}, PF_Err_NONE}, [](CallRecord&) { return PF_Err_NONE; });
}

PF_Err Progress(PF_ProgPtr effect_ref, A_long current, A_long total) {
  HostState* host = HostFromRef(effect_ref, "progress");
  if (!host) return PF_Err_BAD_CALLBACK_PARAM;
  return host->Run(CallRecord{"progress", "", {current, total}, {}, PF_Err_NONE},
                   [](CallRecord&) { return PF_Err_NONE; });
}

}  // namespace

void InstallParamCallbacks(HostState& host) {
  host.in_data.inter = PF_InteractCallbacks{CheckoutParam, CheckinParam, AddParam, Abort, Progress};
}

}  // namespace minihost
