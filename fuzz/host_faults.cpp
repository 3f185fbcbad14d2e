#include "host_faults.h"

#include <iterator>

namespace fuzz {

namespace {

struct FaultableCall {
  const char* name;
  // The host still does the work of calls that release what the effect
  // holds (else the leak would be the host's own), and still reports
  // Premiere's pixel format (else the effect rightly takes BGRA 8-bit,
  // whatever the world holds).
  bool work_always_done;
};

constexpr FaultableCall kCalls[] = {
    {"add_param", false},           {"checkout_param", false},
    {"checkin_param", true},        {"copy", false},
    {"checkout_layer", false},      {"checkout_layer_pixels", false},
    {"checkout_output", false},     {"new_world", false},
    {"dispose_world", true},        {"PF_NewWorld", false},
    {"PF_DisposeWorld", true},      {"PF_GetPixelFormat", false},
    {"iterate8", false},            {"iterate16", false},
    {"iterateFloat", false},        {"ClearSupportedPixelFormats", false},
    {"AddSupportedPixelFormat", false}, {"GetPixelFormat", true},
};

struct SuiteName {
  const char* name;
  int32_t version;
};

constexpr SuiteName kSuites[] = {
    {kPFANSISuite, kPFANSISuiteVersion1},         {kPFWorldSuite, kPFWorldSuiteVersion1},
    {kPFWorldSuite, kPFWorldSuiteVersion2},       {kPFIterate8Suite, kPFIterate8SuiteVersion1},
    {kPFIterate16Suite, kPFIterate16SuiteVersion1}, {kPFIterateFloatSuite, kPFIterateFloatSuiteVersion1},
    {kPFPixelFormatSuite, kPFPixelFormatSuiteVersion1},
};

// Host codes worth returning: the host's own, the effect's own (so that a
// passed-on code cannot be told from a made-up one), and the odd ones.
constexpr PF_Err kCodes[] = {PF_Err_BAD_CALLBACK_PARAM, PF_Err_OUT_OF_MEMORY, PF_Err_INTERNAL_STRUCT_DAMAGED,
                             PF_Err_INVALID_INDEX,      PF_Err_INVALID_CALLBACK, A_Err_MISSING_SUITE,
                             -1,                        0x7FFFFFFF,              1};

constexpr minihost::RefusalMode kModes[] = {minihost::RefusalMode::kErrorAndNull, minihost::RefusalMode::kErrorOnly,
                                            minihost::RefusalMode::kNullOnly};

PF_Err DecodeCode(ByteReader& reader) {
  const uint8_t selector = reader.Byte();
  return selector < 200 ? kCodes[selector % std::size(kCodes)] : reader.I32();
}

}  // namespace

minihost::CallFault DecodeCallFault(ByteReader& reader) {
  const FaultableCall& call = reader.Pick(kCalls);
  minihost::CallFault fault;
  fault.call = call.name;
  fault.occurrence = reader.Byte() % 4;
  fault.code = DecodeCode(reader);
  // Answering 0 without doing the work is a host lying, not failing.
  fault.after_work = call.work_always_done || reader.Flag() || fault.code == PF_Err_NONE;
  return fault;
}

minihost::SuiteRefusal DecodeSuiteRefusal(ByteReader& reader) {
  const SuiteName& suite = reader.Pick(kSuites);
  minihost::SuiteRefusal refusal;
  refusal.name = suite.name;
  if (reader.Flag()) refusal.version = suite.version;
  refusal.mode = reader.Pick(kModes);
  refusal.code = static_cast<SPErr>(DecodeCode(reader));
  if (refusal.code == 0) refusal.code = minihost::kSuiteNotFound;
  return refusal;
}

ResultCodes::ResultCodes()
    : allowed_{PF_Err_NONE,
               PF_Err_OUT_OF_MEMORY,
               A_Err_MISSING_SUITE,
               PF_Err_INTERNAL_STRUCT_DAMAGED,
               PF_Err_UNRECOGNIZED_PARAM_TYPE,
               PF_Err_BAD_CALLBACK_PARAM,
               PF_Interrupt_CANCEL} {}

}  // namespace fuzz
