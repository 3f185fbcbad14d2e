// `huewright info` on the OpenFX bundle: what a host would read of it.
#include "tool_fixture.h"

namespace {

TEST_F(ToolTest, InfoDescribesTheOpenFxBundle) {
  const ToolRun run = Run({"info", "--plugin", OFX_BUNDLE});
  ASSERT_EQ(run.status, 0) << run.err;
  for (const char* expected :
       {"Identifier: com.kestrow.HuewrightGenerator", "Version: 1.0", "Label: Huewright Generator",
        "Contexts: OfxImageEffectContextFilter, OfxImageEffectContextGeneral",
        "Depths: OfxBitDepthByte, OfxBitDepthShort, OfxBitDepthFloat", "swatches (OfxParamTypeBoolean) \"Swatches\" default on",
        "gain (OfxParamTypeDouble) \"Gain\" default 1, 0.001 to 3", "measure (OfxParamTypeBoolean) \"Measure\" default on"})
    EXPECT_NE(run.out.find(expected), std::string::npos) << expected << "\n" << run.out;
}

TEST_F(ToolTest, InfoNamesAMissingBundle) {
  const ToolRun run = Run({"info", "--plugin", Path("Nothing.ofx.bundle")});
  EXPECT_NE(run.status, 0);
  EXPECT_NE(run.err.find("Nothing.ofx.bundle"), std::string::npos) << run.err;
}

}  // namespace
