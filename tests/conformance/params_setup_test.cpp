// The three parameters as registered with add_param.
#include "effect_fixture.h"

namespace conformance {
namespace {

using minihost::CallFault;
using minihost::Host;

// A definition with every member zero but those set by the caller.
PF_ParamDef ZeroDef(PF_ParamType type, const char* gbk_name, A_long id) {
  PF_ParamDef def;
  std::memset(&def, 0, sizeof def);
  def.param_type = type;
  std::strcpy(def.name, gbk_name);
  def.uu.id = id;
  return def;
}

PF_ParamDef Slider(const char* gbk_name, A_long id, float low, float high, double value, A_short precision) {
  PF_ParamDef def = ZeroDef(PF_Param_FLOAT_SLIDER, gbk_name, id);
  def.u.fs_d.value = value;
  def.u.fs_d.valid_min = def.u.fs_d.slider_min = low;
  def.u.fs_d.valid_max = def.u.fs_d.slider_max = high;
  def.u.fs_d.dephault = static_cast<float>(value);
  def.u.fs_d.precision = precision;
  def.u.fs_d.curve_tolerance = 0.05f;
  return def;
}

const char kEnableName[] = "\xC6\xF4\xD3\xC3";
const char kGainName[] = "\xD9\xA4\xC2\xEA";
const char kSeedName[] = "\xCB\xE6\xBB\xFA\xD6\xD6\xD7\xD3";

std::vector<PF_ParamDef> ExpectedDefinitions() {
  PF_ParamDef enable = ZeroDef(PF_Param_CHECKBOX, kEnableName, 1);
  enable.u.bd.value = 1;
  enable.u.bd.dephault = 1;
  return {enable, Slider(kGainName, 2, 0.001f, 3.0f, 1.0, PF_Precision_HUNDREDTHS),
          Slider(kSeedName, 3, 2.0f, 9999.0f, 9999.0, PF_Precision_INTEGER)};
}

class ParamsSetup : public EffectTest {};

TEST_F(ParamsSetup, RegistersThreeParametersByteForByte) {
  Host& host = AfterEffects();
  EXPECT_EQ(host.ParamsSetup(), PF_Err_NONE);
  EXPECT_EQ(host.OutData().num_params, 4);
  const std::vector<PF_ParamDef> expected = ExpectedDefinitions();
  const std::vector<PF_ParamDef>& actual = host.ParamDefinitions();
  ASSERT_EQ(actual.size(), expected.size());
  // The checkbox's text pointer is the effect's own: an empty text, not null.
  const A_char* beside_box = actual[0].u.bd.u.nameptr;
  ASSERT_NE(beside_box, nullptr);
  EXPECT_STREQ(beside_box, "");
  for (std::size_t i = 0; i < expected.size(); ++i) {
    PF_ParamDef want = expected[i];
    if (i == 0) want.u.bd.u.nameptr = beside_box;
    EXPECT_EQ(BytesOf(actual[i]), BytesOf(want)) << "parameter " << i + 1 << " differs from its definition";
    EXPECT_EQ(std::string(actual[i].name), std::string(want.name)) << "parameter " << i + 1;
  }
  for (const minihost::CallRecord& call : host.Log().Named("add_param")) EXPECT_EQ(call.values.at(0), -1);
  const std::vector<minihost::CallRecord> copies = host.Log().Named("strcpy");
  ASSERT_EQ(copies.size(), 3u) << "names go through the host's strcpy";
  EXPECT_EQ(copies[0].text, kEnableName);
  EXPECT_EQ(copies[1].text, kGainName);
  EXPECT_EQ(copies[2].text, kSeedName);
}

TEST_F(ParamsSetup, RegisteredValuesBecomeTheHostsDefaults) {
  Host& host = AfterEffects();
  host.Params() = minihost::ParamValues{0, 2.5, 7.0};
  ASSERT_EQ(host.ParamsSetup(), PF_Err_NONE);
  EXPECT_EQ(host.Params().checkbox, 1);
  EXPECT_EQ(host.Params().gain, 1.0);
  EXPECT_EQ(host.Params().seed, 9999.0);
}

struct RefusedParam {
  int occurrence;
  PF_Err code;
  std::size_t registered;
};

TEST_F(ParamsSetup, RefusedParameterEndsSetupWithItsCode) {
  const RefusedParam cases[] = {{1, PF_Err_OUT_OF_MEMORY, 0},
                                {2, PF_Err_BAD_CALLBACK_PARAM, 1},
                                {2, PF_Err_INVALID_INDEX, 1},
                                {3, PF_Err_OUT_OF_MEMORY, 2}};
  for (const RefusedParam& refused : cases) {
    Host& host = AfterEffects();
    host.OutData().num_params = 77;
    host.FailCall(CallFault{"add_param", refused.occurrence, std::nullopt, refused.code});
    EXPECT_EQ(host.ParamsSetup(), refused.code);
    EXPECT_EQ(host.ParamDefinitions().size(), refused.registered);
    EXPECT_EQ(host.Log().Count("add_param"), static_cast<std::size_t>(refused.occurrence))
        << "registration went on after a refusal";
    EXPECT_EQ(host.OutData().num_params, 77);
  }
}

}  // namespace
}  // namespace conformance
