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

}  // namespace minihost

#endif
