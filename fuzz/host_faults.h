// Host callbacks that fail and suites that are refused, decoded from the
// input, and the codes they make legitimate results.
#ifndef HUEWRIGHT_FUZZ_HOST_FAULTS_H
#define HUEWRIGHT_FUZZ_HOST_FAULTS_H

#include <set>

#include "byte_reader.h"
#include "faults.h"

namespace fuzz {

minihost::CallFault DecodeCallFault(ByteReader& reader);
minihost::SuiteRefusal DecodeSuiteRefusal(ByteReader& reader);

// What the effect may answer: its own codes and any code a host call was
// told to return.
class ResultCodes {
 public:
  ResultCodes();
  void AllowFaultCode(PF_Err code) { allowed_.insert(code); }
  bool Allowed(PF_Err code) const { return allowed_.count(code) != 0; }

 private:
  std::set<PF_Err> allowed_;
};

}  // namespace fuzz

#endif
