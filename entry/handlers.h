// The command handlers EffectMain dispatches to.
#ifndef HUEWRIGHT_ENTRY_HANDLERS_H
#define HUEWRIGHT_ENTRY_HANDLERS_H

#include "pf_host.h"

PF_Err About(PF_InData* in_data, PF_OutData* out_data);
PF_Err GlobalSetup(PF_InData* in_data, PF_OutData* out_data);
PF_Err ParamsSetup(PF_InData* in_data, PF_OutData* out_data);
PF_Err SmartPreRender(PF_InData* in_data, PF_OutData* out_data, PF_PreRenderExtra* extra);

// Merges source into target in place; an empty target becomes the source.
void UnionRect(const PF_LRect* source, PF_LRect* target);

#endif
