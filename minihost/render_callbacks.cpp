// The pre-render and smart-render callbacks of the extra records.
#include "host_state.h"

namespace minihost {

namespace {

PF_Err CheckoutLayer(PF_ProgPtr effect_ref, PF_ParamIndex index, A_long checkout_idL, const PF_RenderRequest* req,
                     A_long what_time, A_long time_step, A_u_long time_scale, PF_CheckoutResult* checkout_result) {
  HostState* host = HostFromRef(effect_ref, "checkout_layer");
  if (!host) return PF_Err_BAD_CALLBACK_PARAM;
  CallRecord record{"checkout_layer", "", {index, checkout_idL, what_time, time_step, time_scale}, {req},
                    PF_Err_NONE};
  if (req) host->last_request = *req;
  return host->Run(std::move(record), [&](CallRecord&) -> PF_Err {
    if (!req || !checkout_result) {
      host->Error("checkout_layer with a null request or result");
      return PF_Err_BAD_CALLBACK_PARAM;
    }
    if (index != 0) return PF_Err_INVALID_INDEX;
    *checkout_result = PF_CheckoutResult{};
    checkout_result->result_rect = host->checkout_result_rect;
    checkout_result->max_result_rect = host->checkout_max_result_rect;
    checkout_result->par = PF_RationalScale{1, 1};
    checkout_result->ref_width = host->checkout_max_result_rect.right - host->checkout_max_result_rect.left;
    checkout_result->ref_height = host->checkout_max_result_rect.bottom - host->checkout_max_result_rect.top;
    return PF_Err_NONE;
  });
}

PF_Err CheckoutLayerPixels(PF_ProgPtr effect_ref, A_long checkout_idL, PF_EffectWorld** pixels) {
  HostState* host = HostFromRef(effect_ref, "checkout_layer_pixels");
  if (!host) return PF_Err_BAD_CALLBACK_PARAM;
  return host->Run(CallRecord{"checkout_layer_pixels", "", {checkout_idL}, {pixels}, PF_Err_NONE},
                   [&](CallRecord&) -> PF_Err {
                     if (!pixels) {
                       host->Error("checkout_layer_pixels with no place for the world");
                       return PF_Err_BAD_CALLBACK_PARAM;
                     }
                     *pixels = nullptr;
                     if (checkout_idL != 0 || !host->input) {
                       host->Error("checkout_layer_pixels of checkout id " + std::to_string(checkout_idL) +
                                   ", which the host does not hold");
                       return PF_Err_BAD_CALLBACK_PARAM;
                     }
                     *pixels = host->input->Record();
                     return PF_Err_NONE;
                   });
}

PF_Err CheckinLayerPixels(PF_ProgPtr effect_ref, A_long checkout_idL) {
  HostState* host = HostFromRef(effect_ref, "checkin_layer_pixels");
  if (!host) return PF_Err_BAD_CALLBACK_PARAM;
  return host->Run(CallRecord{"checkin_layer_pixels", "", {checkout_idL}, {}, PF_Err_NONE},
                   [](CallRecord&) { return PF_Err_NONE; });
}

PF_Err CheckoutOutput(PF_ProgPtr effect_ref, PF_EffectWorld** output) {
  HostState* host = HostFromRef(effect_ref, "checkout_output");
  if (!host) return PF_Err_BAD_CALLBACK_PARAM;
  return host->Run(CallRecord{"checkout_output", "", {}, {output}, PF_Err_NONE}, [&](CallRecord&) -> PF_Err {
    if (!output || !host->output) {
      host->Error("checkout_output with no place for the world, or outside a smart render");
      return PF_Err_BAD_CALLBACK_PARAM;
    }
    *output = host->output->Record();
    return PF_Err_NONE;
  });
}

}  // namespace

void InstallRenderCallbacks(HostState& host) {
  host.pre_render_callbacks.checkout_layer = CheckoutLayer;
  host.smart_render_callbacks =
      PF_SmartRenderCallbacks{CheckoutLayerPixels, CheckinLayerPixels, CheckoutOutput};
}

}  // namespace minihost
