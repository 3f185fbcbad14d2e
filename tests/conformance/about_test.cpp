// The About text and the ANSI suite it is written with.
#include "effect_fixture.h"

namespace conformance {
namespace {

using minihost::Host;
using minihost::RefusalMode;
using minihost::SuiteRefusal;

constexpr char kEarlierMessage[] = "earlier message";

class About : public EffectTest {};

TEST_F(About, NameVersionCarriageReturnAndDescription) {
  for (Host* host : {&AfterEffects(), &Premiere()}) {
    host->OutData().out_flags = 0x11;
    EXPECT_EQ(host->About(), PF_Err_NONE);
    const std::vector<unsigned char> text = TextBytes(host->OutData().return_msg);
    const std::vector<unsigned char> head = TextBytes("HUEWRIGHT v1.0\r");
    ASSERT_GT(text.size(), head.size()) << "no description after the carriage return";
    EXPECT_TRUE(std::equal(head.begin(), head.end(), text.begin()));
    EXPECT_EQ(std::count(text.begin(), text.end(), 0x0D), 1);
    EXPECT_EQ(host->OutData().out_flags, 0x11) << "About sets no out flag";
    ASSERT_EQ(host->Log().Count("AcquireSuite"), 1u);
    ASSERT_EQ(host->Log().Count("ReleaseSuite"), 1u);
    for (const char* event : {"AcquireSuite", "ReleaseSuite"}) {
      EXPECT_EQ(host->Log().Named(event)[0].text, "PF ANSI Suite");
      EXPECT_EQ(host->Log().Named(event)[0].values.at(0), 1);
    }
  }
}

TEST_F(About, WithoutAnsiSuiteReturnsBadCallbackParamAndKeepsTheMessage) {
  for (RefusalMode mode : {RefusalMode::kErrorAndNull, RefusalMode::kErrorOnly, RefusalMode::kNullOnly}) {
    Host& host = AfterEffects();
    host.RefuseSuite(SuiteRefusal{"PF ANSI Suite", std::nullopt, mode});
    std::strcpy(host.OutData().return_msg, kEarlierMessage);
    host.OutData().out_flags = 0x11;
    EXPECT_EQ(host.About(), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_STREQ(host.OutData().return_msg, kEarlierMessage);
    EXPECT_EQ(host.OutData().out_flags, 0x11);
  }
}

TEST_F(About, WithoutBasicSuiteReturnsBadCallbackParam) {
  Host& host = AfterEffects();
  host.InData().pica_basicP = nullptr;
  std::strcpy(host.OutData().return_msg, kEarlierMessage);
  EXPECT_EQ(host.About(), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_STREQ(host.OutData().return_msg, kEarlierMessage);
  EXPECT_EQ(host.Log().Size(), 0u);
}

}  // namespace
}  // namespace conformance
