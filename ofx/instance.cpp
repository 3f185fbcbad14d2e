#include "instance.h"

#include <memory>

#include "host_suites.h"
#include "ofx_error.h"
#include "plugin_identity.h"
#include "properties.h"

namespace huewright_ofx {

namespace {

constexpr const char* kGettingProperties = "getting the instance's properties";

OfxImageClipHandle ClipNamed(OfxImageEffectHandle effect, const char* name) {
  OfxImageClipHandle clip = nullptr;
  Check(Suites().image_effect->clipGetHandle(effect, name, &clip, nullptr), "getting a clip");
  if (!clip) throw OfxError(kOfxStatErrBadHandle, std::string("the host has no clip ") + name);
  return clip;
}

OfxParamHandle ParamNamed(OfxParamSetHandle params, const char* name) {
  OfxParamHandle param = nullptr;
  Check(Suites().param->paramGetHandle(params, name, &param, nullptr), "getting a parameter");
  if (!param) throw OfxError(kOfxStatErrBadHandle, std::string("the host has no parameter ") + name);
  return param;
}

bool BooleanAt(OfxParamHandle param, OfxTime time) {
  int value = 0;
  Check(Suites().param->paramGetValueAtTime(param, time, &value), "reading a boolean parameter");
  return value != 0;
}

double GainAt(OfxParamHandle param, OfxTime time) {
  double value = kGainDefault;
  Check(Suites().param->paramGetValueAtTime(param, time, &value), "reading the gain");
  if (value != value) return kGainDefault;
  if (value < kGainMin) return kGainMin;
  if (value > kGainMax) return kGainMax;
  return value;
}

}  // namespace

void CreateInstance(OfxImageEffectHandle effect) {
  auto instance = std::make_unique<Instance>();
  instance->effect = effect;
  instance->source = ClipNamed(effect, kOfxImageEffectSimpleSourceClipName);
  instance->output = ClipNamed(effect, kOfxImageEffectOutputClipName);
  OfxParamSetHandle params = nullptr;
  Check(Suites().image_effect->getParamSet(effect, &params), "getting the parameter set");
  instance->swatches = ParamNamed(params, kSwatchesParam);
  instance->gain = ParamNamed(params, kGainParam);
  instance->measure = ParamNamed(params, kMeasureParam);
  EffectProperties(effect, kGettingProperties).SetPointer(kOfxPropInstanceData, instance.get());
  instance.release();
}

void DestroyInstance(OfxImageEffectHandle effect) {
  const Properties properties = EffectProperties(effect, kGettingProperties);
  std::unique_ptr<Instance> instance(static_cast<Instance*>(properties.Pointer(kOfxPropInstanceData)));
  properties.SetPointer(kOfxPropInstanceData, nullptr);
}

Instance& InstanceOf(OfxImageEffectHandle effect) {
  auto* instance = static_cast<Instance*>(EffectProperties(effect, kGettingProperties).Pointer(kOfxPropInstanceData));
  if (!instance) throw OfxError(kOfxStatErrBadHandle, "the effect handle has no instance");
  return *instance;
}

FrameSettings SettingsAt(const Instance& instance, OfxTime time) {
  return {BooleanAt(instance.swatches, time), GainAt(instance.gain, time), BooleanAt(instance.measure, time)};
}

}  // namespace huewright_ofx
