#include "effect_fixture.h"

#include <cstdlib>
#include <stdexcept>

namespace conformance {

const minihost::EffectLibrary& Effect() {
  static const minihost::EffectLibrary* effect = [] {
    const char* path = std::getenv("HUEWRIGHT_EFFECT");
    if (!path || !*path)
      throw minihost::LoadError("HUEWRIGHT_EFFECT is not set: it must name the effect library to test");
    return new minihost::EffectLibrary(minihost::EffectLibrary::Load(path));
  }();
  return *effect;
}

std::unique_ptr<minihost::Host> MakeHost(minihost::Application application, minihost::HostOptions options) {
  options.application = application;
  return std::make_unique<minihost::Host>(Effect(), options);
}

void EffectTest::SetUp() {
  try {
    Effect();
  } catch (const std::exception& error) {
    GTEST_FAIL() << error.what();
  }
}

void EffectTest::TearDown() {
  for (const auto& host : hosts_) EXPECT_EQ(host->VerifyReport(), "") << "host left unclean";
}

minihost::Host& EffectTest::AfterEffects() {
  hosts_.push_back(MakeHost(minihost::Application::kAfterEffects));
  return *hosts_.back();
}

minihost::Host& EffectTest::Premiere() {
  hosts_.push_back(MakeHost(minihost::Application::kPremiere));
  return *hosts_.back();
}

std::vector<unsigned char> TextBytes(const char* text) {
  return std::vector<unsigned char>(text, text + std::strlen(text));
}

}  // namespace conformance
