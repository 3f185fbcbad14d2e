// Global setup: version and flags, and the pixel formats declared to Premiere.
#include "effect_fixture.h"

namespace conformance {
namespace {

using minihost::Host;
using minihost::RefusalMode;
using minihost::SuiteRefusal;

constexpr A_u_long kMyVersion = 0x00080001;
constexpr PF_OutFlags kOutFlags = 0x02000000;
constexpr PF_OutFlags2 kOutFlags2 = 0x08001400;

class GlobalSetup : public EffectTest {};

void ExpectVersionAndFlags(const PF_OutData& out) {
  EXPECT_EQ(out.my_version, kMyVersion);
  EXPECT_EQ(out.out_flags2, kOutFlags2);
}

// Any application id but 'PrMr' with its first character most significant
// is After Effects: no suite, only the three values.
TEST_F(GlobalSetup, OutsidePremiereSetsThreeValuesAndAcquiresNothing) {
  const A_long not_premiere[] = {PF_APPL_ID_AFTER_EFFECTS, 0, PF_FOUR_CHAR_CODE('P', 'r', 'M', 'R'),
                                 static_cast<A_long>(PF_MEMORY_CHAR_CODE('P', 'r', 'M', 'r'))};
  for (A_long appl_id : not_premiere) {
    Host& host = AfterEffects();
    host.InData().appl_id = appl_id;
    host.OutData().out_flags = 0x7f;
    host.OutData().out_flags2 = 0x7f;
    host.OutData().num_params = 77;
    EXPECT_EQ(host.GlobalSetup(), PF_Err_NONE);
    ExpectVersionAndFlags(host.OutData());
    EXPECT_EQ(host.OutData().out_flags, kOutFlags) << "appl_id " << appl_id;
    EXPECT_EQ(host.OutData().num_params, 77);
    EXPECT_EQ(host.Log().Size(), 0u) << "appl_id " << appl_id;
  }
}

TEST_F(GlobalSetup, PremiereClearsThenDeclaresThreeFormatsInOrder) {
  Host& host = Premiere();
  EXPECT_EQ(host.GlobalSetup(), PF_Err_NONE);
  ExpectVersionAndFlags(host.OutData());
  EXPECT_EQ(host.OutData().out_flags, kOutFlags);
  EXPECT_EQ(host.PixelFormatClears(), 1);
  EXPECT_EQ(host.DeclaredPixelFormats(), (std::vector<PrPixelFormat>{0x61795556, 0x61724742, 0x61726762}));
  EXPECT_EQ(host.Log().Names(),
            (std::vector<std::string>{"AcquireSuite", "ClearSupportedPixelFormats", "AddSupportedPixelFormat",
                                      "AddSupportedPixelFormat", "AddSupportedPixelFormat", "ReleaseSuite"}));
  for (const char* event : {"AcquireSuite", "ReleaseSuite"}) {
    const minihost::CallRecord call = host.Log().Named(event).at(0);
    EXPECT_EQ(call.text, "PF Pixel Format Suite");
    EXPECT_EQ(call.values.at(0), 1) << event << " version";
  }
}

TEST_F(GlobalSetup, PremiereWithoutPixelFormatSuiteReportsMissingSuite) {
  for (RefusalMode mode : {RefusalMode::kErrorAndNull, RefusalMode::kErrorOnly, RefusalMode::kNullOnly}) {
    Host& host = Premiere();
    host.RefuseSuite(SuiteRefusal{"PF Pixel Format Suite", 1, mode});
    EXPECT_EQ(host.GlobalSetup(), A_Err_MISSING_SUITE);
    ExpectVersionAndFlags(host.OutData());
    EXPECT_EQ(host.OutData().out_flags, 0x02000100);
    EXPECT_STREQ(host.OutData().return_msg, "Not able to acquire AEFX Suite.");
    EXPECT_TRUE(host.DeclaredPixelFormats().empty());
    EXPECT_EQ(host.PixelFormatClears(), 0);
  }
}

}  // namespace
}  // namespace conformance
