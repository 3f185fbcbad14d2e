// The basic suite: hands out the host's function suites by name and version,
// records every acquisition and release, and refuses suites on request.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "host_state.h"

namespace minihost {

namespace {

struct SuiteEntry {
  const char* name;
  int32_t version;
  const void* (*table)();
};

const SuiteEntry kSuites[] = {
    {kPFANSISuite, kPFANSISuiteVersion1, AnsiSuiteTable},
    {kPFWorldSuite, kPFWorldSuiteVersion1, WorldSuite1Table},
    {kPFWorldSuite, kPFWorldSuiteVersion2, WorldSuite2Table},
    {kPFIterate8Suite, kPFIterate8SuiteVersion1, Iterate8SuiteTable},
    {kPFIterate16Suite, kPFIterate16SuiteVersion1, Iterate16SuiteTable},
    {kPFIterateFloatSuite, kPFIterateFloatSuiteVersion1, IterateFloatSuiteTable},
    {kPFPixelFormatSuite, kPFPixelFormatSuiteVersion1, PixelFormatSuiteTable},
};

const void* LookUpSuite(const char* name, int32_t version) {
  for (const SuiteEntry& entry : kSuites)
    if (std::strcmp(entry.name, name) == 0 && entry.version == version) return entry.table();
  return nullptr;
}

std::string SuiteLabel(const std::string& name, int32_t version) {
  return "\"" + name + "\" version " + std::to_string(version);
}

SPErr AcquireSuite(const char* name, int32_t version, const void** suite) {
  HostState* host = HostForContextFreeCall("AcquireSuite");
  if (!host) return kSuiteNotFound;
  if (!name || !suite) {
    host->Error("AcquireSuite with a null name or a null place for the suite");
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  const void* table = LookUpSuite(name, version);
  SPErr err = table ? PF_Err_NONE : kSuiteNotFound;
  if (const SuiteRefusal* refusal = host->RefusalFor(name, version)) {
    err = refusal->mode == RefusalMode::kNullOnly ? PF_Err_NONE : refusal->code;
    if (refusal->mode != RefusalMode::kErrorOnly) table = nullptr;
  }
  *suite = table;
  // What the host answered with code 0 is the effect's to release.
  if (err == PF_Err_NONE) ++host->acquired_suites[{name, version}];
  host->log.Add(CallRecord{"AcquireSuite", name, {version, err == PF_Err_NONE && table ? 1 : 0}, {}, err});
  return err;
}

SPErr ReleaseSuite(const char* name, int32_t version) {
  HostState* host = HostForContextFreeCall("ReleaseSuite");
  if (!host) return kSuiteNotFound;
  if (!name) {
    host->Error("ReleaseSuite with a null name");
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  auto held = host->acquired_suites.find({name, version});
  const bool matched = held != host->acquired_suites.end() && held->second > 0;
  if (matched) {
    if (--held->second == 0) host->acquired_suites.erase(held);
  } else {
    host->Error("ReleaseSuite of " + SuiteLabel(name, version) + ", which is not held (never acquired, " +
                "acquired under another version, or released twice)");
  }
  const SPErr err = matched ? PF_Err_NONE : kSuiteNotFound;
  host->log.Add(CallRecord{"ReleaseSuite", name, {version, matched ? 1 : 0}, {}, err});
  return err;
}

// The host's sprintf writes at most the 256 bytes of a return_msg.
int HostSprintf(A_char* buffer, const A_char* format, ...) {
  constexpr std::size_t kLimit = PF_MAX_EFFECT_MSG_LEN + 1;
  HostState* host = HostForContextFreeCall("sprintf");
  if (!buffer || !format) {
    if (host) host->Error("sprintf with a null buffer or format");
    return -1;
  }
  va_list arguments;
  va_start(arguments, format);
  const int length = std::vsnprintf(buffer, kLimit, format, arguments);
  va_end(arguments);
  if (host) host->log.Add(CallRecord{"sprintf", buffer, {length}, {buffer}, PF_Err_NONE});
  return length;
}

A_char* HostStrcpy(A_char* dest, const A_char* src) {
  HostState* host = HostForContextFreeCall("strcpy");
  if (!dest || !src) {
    if (host) host->Error("strcpy with a null destination or source");
    return dest;
  }
  std::strcpy(dest, src);
  if (host) host->log.Add(CallRecord{"strcpy", src, {}, {dest}, PF_Err_NONE});
  return dest;
}

const PF_ANSICallbacksSuite1 kAnsiSuite = {HostSprintf, HostStrcpy};

}  // namespace

const void* AnsiSuiteTable() { return &kAnsiSuite; }

void InstallBasicSuite(HostState& host) {
  host.basic.AcquireSuite = AcquireSuite;
  host.basic.ReleaseSuite = ReleaseSuite;
  host.utils.ansi = kAnsiSuite;
}

}  // namespace minihost
