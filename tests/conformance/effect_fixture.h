// Shared by the conformance tests: the effect library named by the
// environment variable HUEWRIGHT_EFFECT, loaded once per process, and hosts
// playing After Effects or Premiere Pro around it.
#ifndef HUEWRIGHT_TESTS_CONFORMANCE_EFFECT_FIXTURE_H
#define HUEWRIGHT_TESTS_CONFORMANCE_EFFECT_FIXTURE_H

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "minihost.h"

namespace conformance {

// Throws minihost::LoadError naming the variable, the file and the reason
// when HUEWRIGHT_EFFECT is unset or the library cannot be loaded.
const minihost::EffectLibrary& Effect();

std::unique_ptr<minihost::Host> MakeHost(minihost::Application application = minihost::Application::kAfterEffects,
                                         minihost::HostOptions options = {});

// Fails every test loudly when the effect cannot be loaded, and checks after
// every test that the host was left clean.
class EffectTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  minihost::Host& AfterEffects();
  minihost::Host& Premiere();

 private:
  std::vector<std::unique_ptr<minihost::Host>> hosts_;
};

// The raw bytes of a record, for "nothing changed" checks.
template <class Record>
std::vector<unsigned char> BytesOf(const Record& record) {
  std::vector<unsigned char> bytes(sizeof record);
  std::memcpy(bytes.data(), &record, sizeof record);
  return bytes;
}

std::vector<unsigned char> TextBytes(const char* text);

}  // namespace conformance

#endif
