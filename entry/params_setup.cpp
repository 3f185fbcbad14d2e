#include <cstring>

#include "gain_range.h"
#include "handlers.h"
#include "param_indices.h"

namespace {

// Display names in the GBK code page, handed to the host byte for byte.
constexpr char kEnableName[] = "\xC6\xF4\xD3\xC3";                // 启用
constexpr char kGainName[] = "\xD9\xA4\xC2\xEA";                  // 伽玛
constexpr char kSeedName[] = "\xCB\xE6\xBB\xFA\xD6\xD6\xD7\xD3";  // 随机种子

struct FloatSliderValues {
  const char* name;
  float valid_min, valid_max, dephault;
  double value;
  A_short precision;
  A_long id;
};

constexpr FloatSliderValues kGain = {kGainName,
                                     static_cast<float>(kGainMin),
                                     static_cast<float>(kGainMax),
                                     static_cast<float>(kGainDefault),
                                     kGainDefault,
                                     PF_Precision_HUNDREDTHS,
                                     PARAM_GAIN};
constexpr FloatSliderValues kSeed = {kSeedName, 2.0f, 9999.0f, 9999.0f, 9999.0, PF_Precision_INTEGER, PARAM_SEED};

void Begin(PF_InData* in_data, PF_ParamDef& def, PF_ParamType type, const char* name) {
  std::memset(&def, 0, sizeof def);
  def.param_type = type;
  in_data->utils->ansi.strcpy(def.name, name);
}

PF_Err Add(PF_InData* in_data, PF_ParamDef& def, A_long id) {
  def.uu.id = id;
  return in_data->inter.add_param(in_data->effect_ref, -1, &def);
}

PF_Err AddCheckbox(PF_InData* in_data, PF_ParamDef& def) {
  Begin(in_data, def, PF_Param_CHECKBOX, kEnableName);
  def.u.bd.value = 1;
  def.u.bd.dephault = 1;
  def.u.bd.u.nameptr = "";
  return Add(in_data, def, PARAM_ENABLE);
}

PF_Err AddFloatSlider(PF_InData* in_data, PF_ParamDef& def, const FloatSliderValues& values) {
  Begin(in_data, def, PF_Param_FLOAT_SLIDER, values.name);
  PF_FloatSliderDef& slider = def.u.fs_d;
  slider.valid_min = slider.slider_min = values.valid_min;
  slider.valid_max = slider.slider_max = values.valid_max;
  slider.value = values.value;
  slider.dephault = values.dephault;
  slider.precision = values.precision;
  slider.display_flags = 0;
  slider.fs_flags = 0;
  slider.curve_tolerance = 0.05f;
  return Add(in_data, def, values.id);
}

}  // namespace

PF_Err ParamsSetup(PF_InData* in_data, PF_OutData* out_data) {
  if (!in_data->utils || !in_data->utils->ansi.strcpy || !in_data->inter.add_param) return PF_Err_BAD_CALLBACK_PARAM;
  PF_ParamDef def;
  if (PF_Err err = AddCheckbox(in_data, def)) return err;
  if (PF_Err err = AddFloatSlider(in_data, def, kGain)) return err;
  if (PF_Err err = AddFloatSlider(in_data, def, kSeed)) return err;
  out_data->num_params = PARAM_COUNT;
  return PF_Err_NONE;
}
