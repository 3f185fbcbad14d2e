#include "describe.h"

#include <string>

#include "host_suites.h"
#include "ofx_error.h"
#include "plugin_identity.h"
#include "properties.h"

namespace huewright_ofx {

namespace {

// Whole frames only: the palette is measured over the whole source, so a
// host that split a frame into tiles or threads of its own would have each
// piece measure it again.
void DescribeRendering(const Properties& effect) {
  effect.SetStrings(kOfxImageEffectPropSupportedContexts,
                    {kOfxImageEffectContextFilter, kOfxImageEffectContextGeneral});
  effect.SetStrings(kOfxImageEffectPropSupportedPixelDepths, {kOfxBitDepthByte, kOfxBitDepthShort, kOfxBitDepthFloat});
  effect.SetInt(kOfxImageEffectPropSupportsTiles, 0);
  effect.SetInt(kOfxImageEffectPropTemporalClipAccess, 0);
  effect.SetInt(kOfxImageEffectPropSupportsMultiResolution, 1);
  effect.SetInt(kOfxImageEffectPropSupportsMultipleClipDepths, 0);
  effect.SetInt(kOfxImageEffectPluginPropSingleInstance, 0);
  effect.SetInt(kOfxImageEffectPluginPropHostFrameThreading, 0);
  effect.SetString(kOfxImageEffectPluginRenderThreadSafety, kOfxImageEffectRenderFullySafe);
}

void DefineClip(OfxImageEffectHandle descriptor, const char* name) {
  const HostSuites& suites = Suites();
  OfxPropertySetHandle set = nullptr;
  Check(suites.image_effect->clipDefine(descriptor, name, &set), "defining a clip");
  const Properties clip(*suites.property, set);
  clip.SetStrings(kOfxImageEffectPropSupportedComponents, {kOfxImageComponentRGBA});
  clip.SetInt(kOfxImageEffectPropSupportsTiles, 0);
  if (std::string(name) != kOfxImageEffectOutputClipName) {
    clip.SetInt(kOfxImageEffectPropTemporalClipAccess, 0);
    clip.SetInt(kOfxImageClipPropOptional, 0);
  }
}

Properties DefineParam(OfxParamSetHandle params, const char* type, const char* name, const char* label,
                       const char* hint) {
  const HostSuites& suites = Suites();
  OfxPropertySetHandle set = nullptr;
  Check(suites.param->paramDefine(params, type, name, &set), "defining a parameter");
  const Properties param(*suites.property, set);
  param.SetString(kOfxPropLabel, label);
  param.SetString(kOfxParamPropScriptName, name);
  param.SetString(kOfxParamPropHint, hint);
  return param;
}

void DefineParams(OfxImageEffectHandle descriptor) {
  OfxParamSetHandle params = nullptr;
  Check(Suites().image_effect->getParamSet(descriptor, &params), "getting the parameter set");

  DefineParam(params, kOfxParamTypeBoolean, kSwatchesParam, "Swatches",
              "Paints the five band colours as swatches near the bottom of the picture")
      .SetInt(kOfxParamPropDefault, 1);

  const Properties gain = DefineParam(params, kOfxParamTypeDouble, kGainParam, "Gain",
                                      "Multiplies each band's average colour when a frame is measured");
  gain.SetString(kOfxParamPropDoubleType, kOfxParamDoubleTypePlain);
  gain.SetDouble(kOfxParamPropDefault, kGainDefault);
  gain.SetDouble(kOfxParamPropMin, kGainMin);
  gain.SetDouble(kOfxParamPropMax, kGainMax);
  gain.SetDouble(kOfxParamPropDisplayMin, kGainMin);
  gain.SetDouble(kOfxParamPropDisplayMax, kGainMax);
  gain.SetDouble(kOfxParamPropIncrement, 0.01);
  gain.SetInt(kOfxParamPropDigits, 2);

  DefineParam(params, kOfxParamTypeBoolean, kMeasureParam, "Measure",
              "Measures every frame; off keeps painting the palette this instance measured last")
      .SetInt(kOfxParamPropDefault, 1);
}

}  // namespace

void Describe(OfxImageEffectHandle descriptor) {
  const Properties effect = EffectProperties(descriptor, "getting the effect's properties");
  effect.SetString(kOfxPropLabel, kPluginLabel);
  effect.SetString(kOfxImageEffectPluginPropGrouping, kPluginGrouping);
  effect.SetString(kOfxPropPluginDescription, kPluginDescription);
  effect.SetInts(kOfxPropVersion, {static_cast<int>(kVersionMajor), static_cast<int>(kVersionMinor)});
  effect.SetString(kOfxPropVersionLabel, kVersionLabel);
  DescribeRendering(effect);
}

void DescribeInContext(OfxImageEffectHandle descriptor, OfxPropertySetHandle in_args) {
  const std::string context = Properties(*Suites().property, in_args).String(kOfxImageEffectPropContext);
  if (context != kOfxImageEffectContextFilter && context != kOfxImageEffectContextGeneral)
    throw OfxError(kOfxStatErrUnsupported, "context " + context + " is not offered");
  DefineClip(descriptor, kOfxImageEffectSimpleSourceClipName);
  DefineClip(descriptor, kOfxImageEffectOutputClipName);
  DefineParams(descriptor);
}

}  // namespace huewright_ofx
