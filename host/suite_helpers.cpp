#include "suite_helpers.h"

#include <cstring>

namespace {

constexpr const char* kAcquireFailureText = "Not able to acquire AEFX Suite.";
constexpr const char* kReleaseFailureText = "Not able to release AEFX Suite.";

struct SuiteName {
  const char* name;
  int32_t version;
};

// Indexed by SuiteCache::Slot.
constexpr SuiteName kCachedSuites[] = {
    {kPFANSISuite, kPFANSISuiteVersion1},
    {kPFWorldSuite, kPFWorldSuiteVersion1},
    {kPFIterate8Suite, kPFIterate8SuiteVersion1},
    {kPFIterate16Suite, kPFIterate16SuiteVersion1},
    {kPFIterateFloatSuite, kPFIterateFloatSuiteVersion1},
};

SPBasicSuite* BasicSuiteOf(const PF_InData* in_data) { return in_data ? in_data->pica_basicP : nullptr; }

// The one success rule of SuiteCache and SuiteScope: the host answers 0 and
// hands over a suite. Its answer alone would let a null suite through to be
// dereferenced later, so 0 without a suite is a refusal too; what the host
// counts as acquired then is released at once. (AcquireHostSuite keeps its
// own rule: its callers are told to judge by the pointer alone.)
bool AcquiredByBothSigns(SPBasicSuite& basic, const char* name, int32_t version, const void** suite) {
  const SPErr err = basic.AcquireSuite(name, version, suite);
  if (err == 0 && *suite) return true;
  if (err == 0) basic.ReleaseSuite(name, version);
  *suite = nullptr;
  return false;
}

bool CanAcquireAndRelease(const SPBasicSuite* basic) { return basic && basic->AcquireSuite && basic->ReleaseSuite; }

}  // namespace

void ReportHostFailure(const PF_InData* in_data, PF_OutData* out_data, const char* text) {
  if (!out_data) return;
  out_data->out_flags |= PF_OutFlag_DISPLAY_ERROR_MESSAGE;
  if (in_data && in_data->utils && in_data->utils->ansi.sprintf) {
    in_data->utils->ansi.sprintf(out_data->return_msg, text);
    return;
  }
  // A host without ANSI callbacks still gets the text, cut to fit.
  std::strncpy(out_data->return_msg, text, sizeof out_data->return_msg - 1);
  out_data->return_msg[sizeof out_data->return_msg - 1] = '\0';
}

PF_Err AcquireHostSuite(const PF_InData* in_data, PF_OutData* out_data, const char* name, int32_t version,
                        const char* failure_text, const void** suite, SPErr* host_code) {
  SPBasicSuite* basic = BasicSuiteOf(in_data);
  // Unlike the cache and the scope, the host's return value does not decide
  // success here: the pointer alone does, as the callers of this function are
  // promised, and they get the host's code to decide what to release.
  const SPErr code = basic && basic->AcquireSuite ? basic->AcquireSuite(name, version, suite) : A_Err_MISSING_SUITE;
  if (host_code) *host_code = code;
  if (*suite) return PF_Err_NONE;
  ReportHostFailure(in_data, out_data, failure_text ? failure_text : kAcquireFailureText);
  return PF_Err_BAD_CALLBACK_PARAM;
}

PF_Err ReleaseHostSuite(const PF_InData* in_data, PF_OutData* out_data, const char* name, int32_t version,
                        const char* failure_text) {
  SPBasicSuite* basic = BasicSuiteOf(in_data);
  if (basic) {
    if (basic->ReleaseSuite) basic->ReleaseSuite(name, version);
    return PF_Err_NONE;
  }
  ReportHostFailure(in_data, out_data, failure_text ? failure_text : kReleaseFailureText);
  return PF_Err_BAD_CALLBACK_PARAM;
}

SuiteCache::SuiteCache(SPBasicSuite* basic) : basic_(basic) {
  if (!CanAcquireAndRelease(basic_)) throw A_long{PF_Err_BAD_CALLBACK_PARAM};
}

SuiteCache::~SuiteCache() {
  for (int slot = 0; slot < kSlotCount; ++slot)
    if (slots_[slot]) basic_->ReleaseSuite(kCachedSuites[slot].name, kCachedSuites[slot].version);
}

const void* SuiteCache::Get(Slot slot) {
  if (slots_[slot]) return slots_[slot];
  const void* suite = nullptr;
  if (!AcquiredByBothSigns(*basic_, kCachedSuites[slot].name, kCachedSuites[slot].version, &suite))
    throw A_long{PF_Err_BAD_CALLBACK_PARAM};
  slots_[slot] = suite;
  return suite;
}

const PF_ANSICallbacksSuite1* SuiteCache::Ansi() { return static_cast<const PF_ANSICallbacksSuite1*>(Get(kAnsi)); }
const PF_WorldSuite1* SuiteCache::World1() { return static_cast<const PF_WorldSuite1*>(Get(kWorld1)); }
const PF_Iterate8Suite1* SuiteCache::Iterate8() { return static_cast<const PF_Iterate8Suite1*>(Get(kIterate8)); }
const PF_iterate16Suite1* SuiteCache::Iterate16() {
  return static_cast<const PF_iterate16Suite1*>(Get(kIterate16));
}
const PF_iterateFloatSuite1* SuiteCache::IterateFloat() {
  return static_cast<const PF_iterateFloatSuite1*>(Get(kIterateFloat));
}

SuiteScopeBase::SuiteScopeBase(const PF_InData* in_data, const char* name, int32_t version, PF_OutData* out_data,
                               const char* failure_text)
    : basic_(BasicSuiteOf(in_data)), name_(name), version_(version) {
  if (CanAcquireAndRelease(basic_) && AcquiredByBothSigns(*basic_, name, version, &suite_)) return;
  ReportHostFailure(in_data, out_data, failure_text ? failure_text : kAcquireFailureText);
  throw A_long{A_Err_MISSING_SUITE};
}

SuiteScopeBase::~SuiteScopeBase() {
  if (suite_) basic_->ReleaseSuite(name_, version_);
}
