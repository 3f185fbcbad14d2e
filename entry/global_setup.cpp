#include "effect_constants.h"
#include "handlers.h"
#include "string_table.h"
#include "suite_helpers.h"

PF_Err About(PF_InData* in_data, PF_OutData* out_data) {
  SuiteCache suites(in_data->pica_basicP);
  suites.Ansi()->sprintf(out_data->return_msg, "%s v%d.%d\r%s", LookupString(StrID_Name),
                         static_cast<int>(effect::kVersionMajor), static_cast<int>(effect::kVersionMinor),
                         LookupString(StrID_Description));
  return PF_Err_NONE;
}

PF_Err GlobalSetup(PF_InData* in_data, PF_OutData* out_data) {
  out_data->my_version = effect::kMyVersion;
  out_data->out_flags = effect::kOutFlags;
  out_data->out_flags2 = effect::kOutFlags2;
  if (in_data->appl_id == PF_APPL_ID_PREMIERE) {
    SuiteScope<PF_PixelFormatSuite1> formats(in_data, kPFPixelFormatSuite, kPFPixelFormatSuiteVersion1, out_data);
    // The host's answers are not inspected: a refused format only narrows
    // what Premiere offers.
    formats->ClearSupportedPixelFormats(in_data->effect_ref);
    for (PrPixelFormat format : effect::kPremiereFormats) formats->AddSupportedPixelFormat(in_data->effect_ref, format);
  }
  return PF_Err_NONE;
}
