#ifndef HUEWRIGHT_ENTRY_EXPORTS_H
#define HUEWRIGHT_ENTRY_EXPORTS_H

#include "pf_host.h"

#if defined(_WIN32)
#define HUEWRIGHT_EXPORT extern "C" __declspec(dllexport)
#else
#define HUEWRIGHT_EXPORT extern "C" __attribute__((visibility("default")))
#endif

HUEWRIGHT_EXPORT PF_Err EffectMain(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                                   PF_LayerDef* output, void* extra);

HUEWRIGHT_EXPORT PF_Err PluginDataEntryFunction(PF_PluginDataPtr inPtr, PF_PluginDataCB inPluginDataCallBackPtr,
                                                SPBasicSuite* inSPBasicSuitePtr, const char* inHostName,
                                                const char* inHostVersion);

#endif
