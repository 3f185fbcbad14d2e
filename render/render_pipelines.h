// The two ways a frame is produced: smart rendering in After Effects and the
// classic render command in Premiere Pro.
#ifndef HUEWRIGHT_RENDER_RENDER_PIPELINES_H
#define HUEWRIGHT_RENDER_RENDER_PIPELINES_H

#include "pf_host.h"

PF_Err SmartRender(PF_InData* in_data, PF_OutData* out_data, PF_SmartRenderExtra* extra);
PF_Err SmartRenderCore(PF_InData* in_data, PF_OutData* out_data, PF_EffectWorld* output, PF_EffectWorld* input,
                       PF_ParamDef* params[]);
PF_Err Render(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_LayerDef* output);

#endif
