// Faults the host can be told to inject into what it answers the effect.
#ifndef HUEWRIGHT_MINIHOST_FAULTS_H
#define HUEWRIGHT_MINIHOST_FAULTS_H

#include <cstdint>
#include <optional>
#include <string>

#include "pf_host.h"

namespace minihost {

// The code the basic suite returns for a suite it does not have.
constexpr SPErr kSuiteNotFound = PF_FOUR_CHAR_CODE('S', '!', 'F', 'd');

enum class RefusalMode {
  kErrorAndNull,  // non-zero code, pointer left null
  kErrorOnly,     // non-zero code, yet the pointer is filled
  kNullOnly,      // code 0, pointer left null
};

struct SuiteRefusal {
  std::string name;
  std::optional<int32_t> version;  // every version when empty
  RefusalMode mode = RefusalMode::kErrorAndNull;
  SPErr code = kSuiteNotFound;
};

// Fails calls of one callback (a name of the call log, e.g. "checkout_param",
// "iterate8", "PF_NewWorld") with a code.
struct CallFault {
  std::string call;
  // 1-based: fail only the n-th matching call; 0 fails every matching call.
  int occurrence = 1;
  // When set, only calls whose first recorded value equals it match
  // (checkout_param of index 2, add_param at index -1, ...).
  std::optional<int64_t> first_value;
  PF_Err code = PF_Err_BAD_CALLBACK_PARAM;
  // Do the call's work (visit the pixels, copy, fill the record) and still
  // return the code, like an iteration interrupted at its end.
  bool after_work = false;
};

// What a host leaves behind when the pieces of one row run at the same time
// on different threads: their read-modify-writes of the effect's per-row
// state overwrite each other, and a pass reported complete has lost some of
// a row's additions. minihost gives that outcome without the race (which
// would be undefined behaviour in the test and come and go with timing): in
// the n-th matching iteration split into row pieces, the first pixel of
// every piece but a row's first is not visited. Only for a pass whose pixel
// function writes nothing (an analysis pass): a painting pass would leave
// those pixels unpainted, which a racing host would not.
struct PieceLoss {
  std::string call;  // "iterate8", "iterate16" or "iterateFloat"
  int occurrence = 1;  // 1-based
};

}  // namespace minihost

#endif
