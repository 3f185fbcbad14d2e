// What must hold after every command the fuzzer sends. A violation prints
// what was sent and what broke, then aborts, so that libFuzzer keeps the
// input as a crash.
#ifndef HUEWRIGHT_FUZZ_INVARIANTS_H
#define HUEWRIGHT_FUZZ_INVARIANTS_H

#include <string>

#include "frames.h"
#include "host.h"
#include "host_faults.h"

namespace fuzz {

[[noreturn]] void Violation(const std::string& command, const std::string& what);

void ExpectAllowedResult(const std::string& command, PF_Err result, const ResultCodes& codes);
void ExpectExactResult(const std::string& command, PF_Err result, PF_Err expected);
// The first host call of the command that failed (since call first_call of
// the log) decides the result, unless a suite was refused: the effect passes
// the host's code on. Calls whose result the effect does not inspect are
// left out.
void ExpectFirstFailurePassedOn(const std::string& command, const minihost::Host& host, std::size_t first_call,
                                PF_Err result);
// Suites released, parameters checked in, worlds disposed, no unexpected call.
void ExpectHostClean(const std::string& command, const minihost::Host& host);
// Guards intact around both worlds, and the input's pixels as handed over.
void ExpectWorldsIntact(const std::string& command, const Frame& frame);
// Outside the five swatch cells of a frame_width x frame_height frame, the
// output's pixels in rows [0, rows) equal the input's bit for bit.
void ExpectPassThrough(const std::string& command, const Frame& frame, double frame_width, double frame_height,
                       A_long rows);
// Every output pixel equals the input's.
void ExpectExactCopy(const std::string& command, const Frame& frame);

}  // namespace fuzz

#endif
