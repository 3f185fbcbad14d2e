// Acquiring and releasing the host's function suites, with the host's error
// reporting: two plain functions that return a code, a cache of suites
// acquired on first use, and a scoped holder of one suite.
#ifndef HUEWRIGHT_HOST_SUITE_HELPERS_H
#define HUEWRIGHT_HOST_SUITE_HELPERS_H

#include "pf_host.h"

// Sets PF_OutFlag_DISPLAY_ERROR_MESSAGE and writes text into return_msg with
// the host's sprintf (the text is the format, with no further arguments).
void ReportHostFailure(const PF_InData* in_data, PF_OutData* out_data, const char* text);

// Returns PF_Err_NONE with *suite filled, or PF_Err_BAD_CALLBACK_PARAM after
// reporting failure_text ("Not able to acquire AEFX Suite." when null).
// Success is judged by the pointer alone; host_code, when given, receives
// what the host answered, since only a suite handed over with code 0 is the
// effect's to release.
PF_Err AcquireHostSuite(const PF_InData* in_data, PF_OutData* out_data, const char* name, int32_t version,
                        const char* failure_text, const void** suite, SPErr* host_code = nullptr);

template <class Suite>
PF_Err AcquireHostSuite(const PF_InData* in_data, PF_OutData* out_data, const char* name, int32_t version,
                        const char* failure_text, const Suite** suite, SPErr* host_code = nullptr) {
  const void* raw = nullptr;
  const PF_Err err = AcquireHostSuite(in_data, out_data, name, version, failure_text, &raw, host_code);
  *suite = static_cast<const Suite*>(raw);
  return err;
}

PF_Err ReleaseHostSuite(const PF_InData* in_data, PF_OutData* out_data, const char* name, int32_t version,
                        const char* failure_text);

// The suites this effect uses, acquired at most once each for one command and
// released together, in a fixed order, when the cache goes out of scope.
// Throws PF_Err_BAD_CALLBACK_PARAM when the basic suite or a suite is missing.
// Like SuiteScope, a suite counts as handed over when the host answers 0 and
// fills the pointer.
class SuiteCache {
 public:
  explicit SuiteCache(SPBasicSuite* basic);
  ~SuiteCache();
  SuiteCache(const SuiteCache&) = delete;
  SuiteCache& operator=(const SuiteCache&) = delete;

  const PF_ANSICallbacksSuite1* Ansi();
  const PF_WorldSuite1* World1();
  const PF_Iterate8Suite1* Iterate8();
  const PF_iterate16Suite1* Iterate16();
  const PF_iterateFloatSuite1* IterateFloat();

 private:
  // In release order.
  enum Slot { kAnsi, kWorld1, kIterate8, kIterate16, kIterateFloat, kSlotCount };
  const void* Get(Slot slot);

  SPBasicSuite* basic_;
  const void* slots_[kSlotCount] = {};
};

// Holds one suite for the rest of a scope. Construction throws
// A_Err_MISSING_SUITE when the host cannot hand the suite over, after
// reporting failure_text when out_data was given.
class SuiteScopeBase {
 protected:
  SuiteScopeBase(const PF_InData* in_data, const char* name, int32_t version, PF_OutData* out_data,
                 const char* failure_text);
  ~SuiteScopeBase();
  SuiteScopeBase(const SuiteScopeBase&) = delete;
  SuiteScopeBase& operator=(const SuiteScopeBase&) = delete;
  const void* suite_ = nullptr;

 private:
  SPBasicSuite* basic_;
  const char* name_;
  int32_t version_;
};

template <class Suite>
class SuiteScope : private SuiteScopeBase {
 public:
  SuiteScope(const PF_InData* in_data, const char* name, int32_t version, PF_OutData* out_data = nullptr,
             const char* failure_text = nullptr)
      : SuiteScopeBase(in_data, name, version, out_data, failure_text) {}
  const Suite* get() const { return static_cast<const Suite*>(suite_); }
  const Suite* operator->() const { return get(); }
};

#endif
