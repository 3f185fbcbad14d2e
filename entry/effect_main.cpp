#include <new>

#include "band_stats.h"
#include "exports.h"
#include "handlers.h"
#include "render_pipelines.h"

namespace {

bool NeedsRecords(PF_Cmd cmd) {
  switch (cmd) {
    case PF_Cmd_ABOUT:
    case PF_Cmd_GLOBAL_SETUP:
    case PF_Cmd_PARAMS_SETUP:
    case PF_Cmd_RENDER:
    case PF_Cmd_SMART_PRE_RENDER:
    case PF_Cmd_SMART_RENDER:
      return true;
    default:
      return false;
  }
}

PF_Err Dispatch(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_LayerDef* output,
                void* extra) {
  // A host never sends these commands without its records.
  if (NeedsRecords(cmd) && (!in_data || !out_data)) return PF_Err_BAD_CALLBACK_PARAM;
  switch (cmd) {
    case PF_Cmd_ABOUT:
      return About(in_data, out_data);
    case PF_Cmd_GLOBAL_SETUP:
      return GlobalSetup(in_data, out_data);
    case PF_Cmd_PARAMS_SETUP:
      return ParamsSetup(in_data, out_data);
    case PF_Cmd_RENDER:
      return Render(in_data, out_data, params, output);
    case PF_Cmd_USER_CHANGED_PARAM:
      ToggleAnalysis(ProcessBandStats());
      return PF_Err_NONE;
    case PF_Cmd_SMART_PRE_RENDER:
      return SmartPreRender(in_data, out_data, static_cast<PF_PreRenderExtra*>(extra));
    case PF_Cmd_SMART_RENDER:
      return SmartRender(in_data, out_data, static_cast<PF_SmartRenderExtra*>(extra));
    default:
      return PF_Err_NONE;
  }
}

}  // namespace

HUEWRIGHT_EXPORT PF_Err EffectMain(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                                   PF_LayerDef* output, void* extra) {
  // Handlers abort a command by throwing its error code. Nothing may unwind
  // into the host, so anything else thrown becomes an error code too.
  try {
    return Dispatch(cmd, in_data, out_data, params, output, extra);
  } catch (A_long code) {
    return code;
  } catch (const std::bad_alloc&) {
    return PF_Err_OUT_OF_MEMORY;
  } catch (...) {
    return PF_Err_INTERNAL_STRUCT_DAMAGED;
  }
}
