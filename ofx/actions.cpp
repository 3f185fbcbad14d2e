#include "actions.h"

#include <string>

#include "host_suites.h"
#include "instance.h"
#include "ofx_error.h"
#include "properties.h"

namespace huewright_ofx {

namespace {

Properties Args(OfxPropertySetHandle set) { return Properties(*Suites().property, set); }

OfxRectD SourceRegionAt(const Instance& instance, OfxTime time) {
  OfxRectD region{};
  Check(Suites().image_effect->clipGetRegionOfDefinition(instance.source, time, &region),
        "getting the source's region of definition");
  return region;
}

}  // namespace

// RGBA in and out; the depth stays the host's choice, one for both clips.
OfxStatus GetClipPreferences(OfxImageEffectHandle effect, OfxPropertySetHandle out_args) {
  InstanceOf(effect);
  const Properties out = Args(out_args);
  for (const char* clip : {kOfxImageEffectSimpleSourceClipName, kOfxImageEffectOutputClipName})
    out.SetString((std::string(kOfxImageClipPropComponentsPrefix) + clip).c_str(), kOfxImageComponentRGBA);
  return kOfxStatOK;
}

// The output covers exactly the source.
OfxStatus GetRegionOfDefinition(OfxImageEffectHandle effect, OfxPropertySetHandle in_args,
                                OfxPropertySetHandle out_args) {
  const Instance& instance = InstanceOf(effect);
  const OfxTime time = Args(in_args).Double(kOfxPropTime);
  Args(out_args).SetRectD(kOfxImageEffectPropRegionOfDefinition, SourceRegionAt(instance, time));
  return kOfxStatOK;
}

// Whatever window is rendered, the palette comes from the whole source.
OfxStatus GetRegionsOfInterest(OfxImageEffectHandle effect, OfxPropertySetHandle in_args,
                               OfxPropertySetHandle out_args) {
  const Instance& instance = InstanceOf(effect);
  const OfxTime time = Args(in_args).Double(kOfxPropTime);
  const std::string name = std::string(kOfxImageClipPropRoIPrefix) + kOfxImageEffectSimpleSourceClipName;
  Args(out_args).SetRectD(name.c_str(), SourceRegionAt(instance, time));
  return kOfxStatOK;
}

// Only a frame that neither measures nor paints is the source unchanged: a
// measuring frame must render, or the palette would not follow it.
OfxStatus IsIdentity(OfxImageEffectHandle effect, OfxPropertySetHandle in_args, OfxPropertySetHandle out_args) {
  const Instance& instance = InstanceOf(effect);
  const FrameSettings settings = SettingsAt(instance, Args(in_args).Double(kOfxPropTime));
  if (settings.swatches || settings.measure) return kOfxStatReplyDefault;
  Args(out_args).SetString(kOfxPropName, kOfxImageEffectSimpleSourceClipName);
  return kOfxStatOK;
}

}  // namespace huewright_ofx
