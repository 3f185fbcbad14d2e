// Host::Verify: everything the effect left behind or broke, as readable text.
#include "host.h"
#include "host_state.h"

namespace minihost {

std::vector<std::string> Host::Verify() const {
  std::vector<std::string> problems = state_->Errors();
  for (const auto& [suite, count] : state_->acquired_suites)
    problems.push_back("suite \"" + suite.first + "\" version " + std::to_string(suite.second) +
                       " acquired and not released (" + std::to_string(count) + " time(s))");
  for (const auto& held : state_->checked_out_params)
    for (PF_ParamIndex index : held.second)
      problems.push_back("parameter " + std::to_string(index) + " checked out and not checked in");
  for (const auto& world : state_->created_worlds) {
    problems.push_back(std::string("created ") + LayoutName(world->Layout()) + " world " +
                       std::to_string(world->Width()) + "x" + std::to_string(world->Height()) + " not disposed");
    for (const std::string& damage : world->GuardDamage()) problems.push_back("created " + damage);
  }
  return problems;
}

std::string Host::VerifyReport() const {
  std::string report;
  for (const std::string& problem : Verify()) report += problem + "\n";
  return report;
}

}  // namespace minihost
