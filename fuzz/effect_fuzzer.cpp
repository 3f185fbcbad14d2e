// libFuzzer entry: loads the effect library by path, as a host would, and
// plays every input as a session of host commands.
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "effect_library.h"
#include "session.h"

namespace {

std::unique_ptr<minihost::EffectLibrary> effect;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  try {
    effect = std::make_unique<minihost::EffectLibrary>(minihost::EffectLibrary::Load(HUEWRIGHT_EFFECT_PATH));
  } catch (const minihost::LoadError& error) {
    std::fprintf(stderr, "%s\n", error.what());
    std::abort();
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::ByteReader reader(data, size);
  fuzz::RunSession(*effect, reader);
  return 0;
}
