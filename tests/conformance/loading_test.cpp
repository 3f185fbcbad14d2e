// Loading the effect by path and its registration callback.
#include <string>

#include "effect_fixture.h"

namespace conformance {
namespace {

using minihost::CallPluginDataEntry;
using minihost::EffectLibrary;
using minihost::LoadError;

std::string LoadErrorOf(const std::string& path) {
  try {
    EffectLibrary::Load(path);
  } catch (const LoadError& error) {
    return error.what();
  }
  return "";
}

TEST(EffectLoading, LibraryNamedByHuewrightEffectExportsBothEntries) {
  const EffectLibrary* effect = nullptr;
  try {
    effect = &Effect();
  } catch (const LoadError& error) {
    FAIL() << error.what();
  }
  EXPECT_NE(effect->EffectMain(), nullptr);
  EXPECT_NE(effect->PluginDataEntry(), nullptr);
}

TEST(EffectLoading, MissingFileIsAnErrorNamingTheFile) {
#if defined(_WIN32)
  const std::string path = "Z:\\no\\such\\folder\\Missing.aex";
#else
  const std::string path = "/no/such/folder/Missing.so";
#endif
  const std::string message = LoadErrorOf(path);
  EXPECT_NE(message.find(path), std::string::npos) << message;
}

TEST(EffectLoading, LibraryWithoutEffectMainIsAnErrorNamingTheExport) {
#if defined(_WIN32)
  const std::string path = "kernel32.dll";
#else
  const std::string path = "libm.so.6";
#endif
  const std::string message = LoadErrorOf(path);
  EXPECT_NE(message.find(path), std::string::npos) << message;
  EXPECT_NE(message.find("EffectMain"), std::string::npos) << message;
}

class Registration : public EffectTest {};

TEST_F(Registration, CallbackGetsTheNineValuesInOrder) {
  const minihost::RegistrationCall call = CallPluginDataEntry(Effect());
  EXPECT_EQ(call.result, PF_Err_NONE);
  EXPECT_EQ(call.callback_calls, 1);
  EXPECT_TRUE(call.pointer_passed_on);
  EXPECT_EQ(call.name, "Huewright Generator");
  EXPECT_EQ(call.match_name, "Kestrow Huewright");
  EXPECT_EQ(call.category, "Kestrow Productions");
  EXPECT_EQ(call.entry_point, "EffectMain");
  EXPECT_EQ(call.kind, 0x65464B54);
  EXPECT_EQ(call.api_major, 13);
  EXPECT_EQ(call.api_minor, 25);
  EXPECT_EQ(call.reserved_info, 8);
}

TEST_F(Registration, CallbackFailureIsReturnedUnchanged) {
  for (PF_Err code : std::initializer_list<PF_Err>{PF_Err_OUT_OF_MEMORY, PF_Err_BAD_CALLBACK_PARAM, A_Err_MISSING_SUITE, -1, 0x7fffffff}) {
    const minihost::RegistrationCall call = CallPluginDataEntry(Effect(), code);
    EXPECT_EQ(call.result, code);
    EXPECT_EQ(call.callback_calls, 1) << "code " << code;
  }
}

}  // namespace
}  // namespace conformance
