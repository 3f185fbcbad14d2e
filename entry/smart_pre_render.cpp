#include "handlers.h"
#include "param_indices.h"

namespace {

bool IsEmpty(const PF_LRect& rect) { return rect.left >= rect.right || rect.top >= rect.bottom; }

}  // namespace

void UnionRect(const PF_LRect* source, PF_LRect* target) {
  if (IsEmpty(*target)) {
    *target = *source;
    return;
  }
  if (IsEmpty(*source)) return;
  if (source->left < target->left) target->left = source->left;
  if (source->top < target->top) target->top = source->top;
  if (source->right > target->right) target->right = source->right;
  if (source->bottom > target->bottom) target->bottom = source->bottom;
}

PF_Err SmartPreRender(PF_InData* in_data, PF_OutData*, PF_PreRenderExtra* extra) {
  if (!extra || !extra->input || !extra->output || !extra->cb || !extra->cb->checkout_layer)
    return PF_Err_BAD_CALLBACK_PARAM;
  PF_RenderRequest request = extra->input->output_request;
  // Red, green and blue; alpha is not needed.
  request.channel_mask = PF_ChannelMask_RED | PF_ChannelMask_GREEN | PF_ChannelMask_BLUE;
  request.preserve_rgb_of_zero_alpha = 0;

  PF_CheckoutResult checkout = {};
  const PF_Err err = extra->cb->checkout_layer(in_data->effect_ref, PARAM_INPUT, 0, &request, in_data->current_time,
                                               in_data->time_step, in_data->time_scale, &checkout);
  UnionRect(&checkout.result_rect, &extra->output->result_rect);
  UnionRect(&checkout.max_result_rect, &extra->output->max_result_rect);
  return err;
}
