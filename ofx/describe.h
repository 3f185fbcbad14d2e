// The two describe actions. A host may send either more than once; each
// call sets the same values again.
#ifndef HUEWRIGHT_OFX_DESCRIBE_H
#define HUEWRIGHT_OFX_DESCRIBE_H

#include "api/ofx_image_effect.h"

namespace huewright_ofx {

void Describe(OfxImageEffectHandle descriptor);
// Throws OfxError(kOfxStatErrUnsupported) for a context other than filter or
// general.
void DescribeInContext(OfxImageEffectHandle descriptor, OfxPropertySetHandle in_args);

}  // namespace huewright_ofx

#endif
