// Selectors the effect does not answer, and the user-changed-parameter toggle.
#include "effect_fixture.h"

namespace conformance {
namespace {

using minihost::Host;

// Host records filled with a recognisable pattern, so that any write shows.
void MarkRecords(Host& host) {
  PF_OutData& out = host.OutData();
  std::memset(&out, 0x5A, sizeof out);
  out.return_msg[sizeof out.return_msg - 1] = '\0';
}

class UnansweredSelectors : public EffectTest, public ::testing::WithParamInterface<PF_Cmd> {};

TEST_P(UnansweredSelectors, ReturnNoneAndTouchNothing) {
  for (Host* host : {&AfterEffects(), &Premiere()}) {
    MarkRecords(*host);
    const auto in_before = BytesOf(host->InData());
    const auto out_before = BytesOf(host->OutData());
    EXPECT_EQ(host->Send(GetParam()), PF_Err_NONE);
    EXPECT_EQ(BytesOf(host->InData()), in_before);
    EXPECT_EQ(BytesOf(host->OutData()), out_before);
    EXPECT_EQ(host->Log().Size(), 0u) << "the effect called the host";
  }
}

INSTANTIATE_TEST_SUITE_P(CommandTable, UnansweredSelectors,
                         ::testing::Values(PF_Cmd_UNUSED_0, PF_Cmd_GLOBAL_SETDOWN, PF_Cmd_SEQUENCE_SETUP,
                                           PF_Cmd_SEQUENCE_RESETUP, PF_Cmd_SEQUENCE_FLATTEN,
                                           PF_Cmd_SEQUENCE_SETDOWN, PF_Cmd_DO_DIALOG, PF_Cmd_FRAME_SETUP,
                                           PF_Cmd_FRAME_SETDOWN, PF_Cmd_UPDATE_PARAMS_UI, PF_Cmd_EVENT,
                                           PF_Cmd_COMPLETELY_GENERAL, PF_Cmd_QUERY_DYNAMIC_FLAGS,
                                           PF_Cmd_AUDIO_RENDER, PF_Cmd_ARBITRARY_CALLBACK, 25, 99, -1));

class UserChangedParam : public EffectTest {};

// The switch itself shows only in renders; here: two toggles in a row
// succeed, call nothing and write nothing, whichever parameter changed.
TEST_F(UserChangedParam, TogglesWithoutTouchingTheHost) {
  for (PF_ParamIndex index : {1, 2, 3}) {
    Host& host = AfterEffects();
    MarkRecords(host);
    const auto out_before = BytesOf(host.OutData());
    EXPECT_EQ(host.UserChangedParam(index), PF_Err_NONE);
    EXPECT_EQ(host.UserChangedParam(index), PF_Err_NONE);
    EXPECT_EQ(BytesOf(host.OutData()), out_before);
    EXPECT_EQ(host.Log().Size(), 0u);
  }
}

}  // namespace
}  // namespace conformance
