#include <cstring>

#include "param_indices.h"
#include "render_pipelines.h"

namespace {

// The three effect parameters of one smart render. Records 1 to 3 are checked
// in on every path, also when a checkout was never reached or an exception
// aborts the command.
class CheckedOutParams {
 public:
  explicit CheckedOutParams(PF_InData* in_data) : in_data_(in_data) {
    std::memset(records_, 0, sizeof records_);
    for (int index = 0; index < PARAM_COUNT; ++index) pointers_[index] = &records_[index];
  }
  ~CheckedOutParams() {
    if (!checked_in_) CheckInAll();
  }
  CheckedOutParams(const CheckedOutParams&) = delete;
  CheckedOutParams& operator=(const CheckedOutParams&) = delete;

  PF_Err CheckOutAll() {
    for (int index = PARAM_ENABLE; index < PARAM_COUNT; ++index) {
      const PF_Err err = in_data_->inter.checkout_param(in_data_->effect_ref, index, in_data_->current_time,
                                                        in_data_->time_step, in_data_->time_scale, &records_[index]);
      if (err) return err;
    }
    return PF_Err_NONE;
  }

  // The first non-zero code of the check-ins, in index order.
  PF_Err CheckInAll() {
    checked_in_ = true;
    PF_Err first = PF_Err_NONE;
    for (int index = PARAM_ENABLE; index < PARAM_COUNT; ++index) {
      const PF_Err err = in_data_->inter.checkin_param(in_data_->effect_ref, &records_[index]);
      if (!first) first = err;
    }
    return first;
  }

  PF_ParamDef** pointers() { return pointers_; }

 private:
  PF_InData* in_data_;
  PF_ParamDef records_[PARAM_COUNT];
  PF_ParamDef* pointers_[PARAM_COUNT];
  bool checked_in_ = false;
};

PF_Err CheckOutWorlds(PF_InData* in_data, PF_SmartRenderExtra* extra, PF_EffectWorld** input,
                      PF_EffectWorld** output) {
  if (PF_Err err = extra->cb->checkout_layer_pixels(in_data->effect_ref, 0, input)) return err;
  if (PF_Err err = extra->cb->checkout_output(in_data->effect_ref, output)) return err;
  // A host that reports success hands over worlds.
  return *input && *output ? PF_Err_NONE : PF_Err_BAD_CALLBACK_PARAM;
}

bool HasSmartCallbacks(const PF_InData* in_data, const PF_SmartRenderExtra* extra) {
  return extra && extra->cb && extra->cb->checkout_layer_pixels && extra->cb->checkout_output &&
         in_data->inter.checkout_param && in_data->inter.checkin_param;
}

}  // namespace

PF_Err SmartRender(PF_InData* in_data, PF_OutData* out_data, PF_SmartRenderExtra* extra) {
  if (!HasSmartCallbacks(in_data, extra)) return PF_Err_BAD_CALLBACK_PARAM;
  CheckedOutParams params(in_data);
  PF_EffectWorld* input = nullptr;
  PF_EffectWorld* output = nullptr;
  PF_Err err = CheckOutWorlds(in_data, extra, &input, &output);
  if (!err) err = params.CheckOutAll();
  if (!err) err = SmartRenderCore(in_data, out_data, output, input, params.pointers());
  const PF_Err checkin_err = params.CheckInAll();
  return err ? err : checkin_err;
}
