// The frei0r entry points. No exception leaves them: a failed construction
// answers null, a failed update passes the frame through.
// The header declares its functions without C linkage for C++, and they are
// the library's only exports (the rest of the code is hidden).
#pragma GCC visibility push(default)
extern "C" {
#include <frei0r.h>
}
#pragma GCC visibility pop

#include <cstring>
#include <new>

#include "filter_instance.h"

using frei0r_filter::FilterInstance;

namespace {

struct ParamText {
  const char* name;
  int type;
  const char* explanation;
};

constexpr ParamText kParams[frei0r_filter::kParamCount] = {
    {"Swatches", F0R_PARAM_BOOL, "Paint the five band colours as swatches (default on)"},
    {"Gain", F0R_PARAM_DOUBLE,
     "Scales the band colours: 0 gives 0.001, 0.5 gives 1 (default), 1 gives 3, linear in each half"},
    {"Measure", F0R_PARAM_BOOL, "Measure every frame (default on); off keeps painting the last measured palette"},
};

FilterInstance* InstanceOf(f0r_instance_t instance) { return static_cast<FilterInstance*>(instance); }

}  // namespace

int f0r_init() { return 1; }

void f0r_deinit() {}

void f0r_get_plugin_info(f0r_plugin_info_t* info) {
  if (!info) return;
  info->name = "Huewright Generator";
  info->author = "Kestrow Productions";
  info->plugin_type = F0R_PLUGIN_TYPE_FILTER;
  info->color_model = F0R_COLOR_MODEL_RGBA8888;
  info->frei0r_version = FREI0R_MAJOR_VERSION;
  info->major_version = 1;
  info->minor_version = 0;
  info->num_params = frei0r_filter::kParamCount;
  info->explanation = "Measures five brightness bands of each frame and paints their average colours as swatches";
}

void f0r_get_param_info(f0r_param_info_t* info, int param_index) {
  if (!info || param_index < 0 || param_index >= frei0r_filter::kParamCount) return;
  info->name = kParams[param_index].name;
  info->type = kParams[param_index].type;
  info->explanation = kParams[param_index].explanation;
}

f0r_instance_t f0r_construct(unsigned int width, unsigned int height) {
  try {
    return FilterInstance::Create(width, height).release();
  } catch (...) {
    return nullptr;
  }
}

void f0r_destruct(f0r_instance_t instance) { delete InstanceOf(instance); }

// Booleans and doubles both arrive as doubles.
void f0r_set_param_value(f0r_instance_t instance, f0r_param_t param, int param_index) {
  if (!instance || !param) return;
  InstanceOf(instance)->SetParam(param_index, *static_cast<const double*>(param));
}

void f0r_get_param_value(f0r_instance_t instance, f0r_param_t param, int param_index) {
  if (!instance || !param || param_index < 0 || param_index >= frei0r_filter::kParamCount) return;
  *static_cast<double*>(param) = InstanceOf(instance)->Param(param_index);
}

// The host's time is not needed: every frame stands on its own.
void f0r_update(f0r_instance_t instance, double, const uint32_t* inframe, uint32_t* outframe) {
  if (!instance || !inframe || !outframe) return;
  try {
    InstanceOf(instance)->Update(inframe, outframe);
  } catch (...) {
    InstanceOf(instance)->PassThrough(inframe, outframe);
  }
}
