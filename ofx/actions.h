// The image effect actions besides describe, instances and render: what the
// plug-in answers about its clips, regions and identity.
#ifndef HUEWRIGHT_OFX_ACTIONS_H
#define HUEWRIGHT_OFX_ACTIONS_H

#include "api/ofx_image_effect.h"

namespace huewright_ofx {

OfxStatus GetClipPreferences(OfxImageEffectHandle effect, OfxPropertySetHandle out_args);
OfxStatus GetRegionOfDefinition(OfxImageEffectHandle effect, OfxPropertySetHandle in_args,
                                OfxPropertySetHandle out_args);
OfxStatus GetRegionsOfInterest(OfxImageEffectHandle effect, OfxPropertySetHandle in_args,
                               OfxPropertySetHandle out_args);
OfxStatus IsIdentity(OfxImageEffectHandle effect, OfxPropertySetHandle in_args, OfxPropertySetHandle out_args);
OfxStatus Render(OfxImageEffectHandle effect, OfxPropertySetHandle in_args);

}  // namespace huewright_ofx

#endif
