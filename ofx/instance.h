// One effect instance: the host's handles for its clips and parameters, and
// the palette it measured. Hung on the instance's property set from create
// to destroy.
#ifndef HUEWRIGHT_OFX_INSTANCE_H
#define HUEWRIGHT_OFX_INSTANCE_H

#include "api/ofx_image_effect.h"
#include "api/ofx_param.h"
#include "render_frame.h"

namespace huewright_ofx {

struct Instance {
  OfxImageEffectHandle effect = nullptr;
  OfxImageClipHandle source = nullptr;
  OfxImageClipHandle output = nullptr;
  OfxParamHandle swatches = nullptr;
  OfxParamHandle gain = nullptr;
  OfxParamHandle measure = nullptr;
  PaletteRecord palette;
};

void CreateInstance(OfxImageEffectHandle effect);
void DestroyInstance(OfxImageEffectHandle effect);
// Throws OfxError(kOfxStatErrBadHandle) for a handle without an instance.
Instance& InstanceOf(OfxImageEffectHandle effect);

// The parameters' values at time. A gain outside its range is brought into
// it, and a NaN gain reads as the default.
FrameSettings SettingsAt(const Instance& instance, OfxTime time);

}  // namespace huewright_ofx

#endif
