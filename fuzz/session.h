// One fuzz input played as a sequence of host commands against the effect,
// in an After Effects and a Premiere Pro host, with the invariants checked
// after every command.
#ifndef HUEWRIGHT_FUZZ_SESSION_H
#define HUEWRIGHT_FUZZ_SESSION_H

#include <string>

#include "byte_reader.h"
#include "effect_library.h"
#include "host.h"
#include "host_faults.h"
#include "world.h"

namespace fuzz {

struct HostSlot {
  HostSlot(const minihost::EffectLibrary& effect, minihost::Application application);
  bool premiere() const { return options.application == minihost::Application::kPremiere; }

  minihost::HostOptions options;
  minihost::Host host;
  ResultCodes codes;
  // Some callback or suite will fail: results other than the plain ones may come.
  bool faults_armed = false;
  bool query_leaves_format = false;
};

// For one classic render: a format query that leaves the preset selects the
// 8-bit path, so only a host whose output is 8-bit may answer that way.
class FormatQueryFor {
 public:
  FormatQueryFor(HostSlot& slot, const minihost::World& output);
  ~FormatQueryFor();
  FormatQueryFor(const FormatQueryFor&) = delete;
  FormatQueryFor& operator=(const FormatQueryFor&) = delete;
  bool leaves() const { return leaves_; }

 private:
  HostSlot& slot_;
  bool leaves_;
};

// The process-wide analysis switch of the loaded effect as the fuzzer
// tracks it: on at load, flipped by every PF_Cmd_USER_CHANGED_PARAM.
bool AnalysisOn();
void NoteSelectorSent(PF_Cmd cmd);

// Commands with worlds; each checks its own invariants.
void SmartRenderCommand(ByteReader& reader, HostSlot& slot, const std::string& label);
void ClassicRenderCommand(ByteReader& reader, HostSlot& slot, const std::string& label);
void HostileRenderCommand(ByteReader& reader, HostSlot& slot, const std::string& label);
void HostileSmartCommand(ByteReader& reader, HostSlot& slot, const std::string& label);

void RunSession(const minihost::EffectLibrary& effect, ByteReader& reader);

}  // namespace fuzz

#endif
