// The smart pre-render: the request passed to checkout_layer and the
// rectangles reported back.
#include "effect_fixture.h"

namespace conformance {
namespace {

using minihost::CallFault;
using minihost::Host;
using minihost::HostOptions;

::testing::AssertionResult SameRect(const PF_LRect& actual, const PF_LRect& expected) {
  if (actual.left == expected.left && actual.top == expected.top && actual.right == expected.right &&
      actual.bottom == expected.bottom)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "(" << actual.left << ", " << actual.top << ", " << actual.right << ", "
                                       << actual.bottom << ") instead of (" << expected.left << ", " << expected.top
                                       << ", " << expected.right << ", " << expected.bottom << ")";
}

PF_RenderRequest HostRequest() {
  PF_RenderRequest request{};
  request.rect = PF_LRect{1, 2, 300, 400};
  request.field = 2;
  request.channel_mask = PF_ChannelMask_ALPHA;
  request.preserve_rgb_of_zero_alpha = 1;
  for (A_long i = 0; i < 4; ++i) request.reserved[i] = 11 + i;
  return request;
}

struct RectCase {
  const char* what;
  PF_LRect initial;
  PF_LRect checkout;
  PF_LRect expected;
};

const RectCase kRectCases[] = {
    {"empty output takes the checkout", {0, 0, 0, 0}, {10, 20, 110, 220}, {10, 20, 110, 220}},
    {"overlapping rectangles unite", {0, 0, 100, 100}, {50, 50, 150, 150}, {0, 0, 150, 150}},
    {"empty checkout leaves the output", {0, 0, 100, 100}, {5, 5, 5, 50}, {0, 0, 100, 100}},
    {"both empty: output becomes the checkout", {3, 3, 3, 3}, {7, 8, 7, 9}, {7, 8, 7, 9}},
    {"inverted output counts as empty", {50, 50, 10, 10}, {1, 2, 3, 4}, {1, 2, 3, 4}},
    {"disjoint rectangles span both", {-20, -10, 0, 0}, {30, 40, 50, 60}, {-20, -10, 50, 60}},
};

class SmartPreRender : public EffectTest {};

TEST_F(SmartPreRender, ResultRectanglesAreUnionsWithTheCheckout) {
  for (const RectCase& rect : kRectCases) {
    Host& host = AfterEffects();
    // The maximum rectangle gets its own case shifted, so that swapping the
    // two shows.
    auto shifted = [](PF_LRect r) { return PF_LRect{r.left + 1000, r.top + 1000, r.right + 1000, r.bottom + 1000}; };
    host.SetCheckoutResult(rect.checkout, shifted(rect.checkout));
    const minihost::PreRenderOutcome outcome =
        host.SmartPreRender(HostRequest(), rect.initial, shifted(rect.initial));
    EXPECT_EQ(outcome.result, PF_Err_NONE) << rect.what;
    EXPECT_TRUE(SameRect(outcome.output.result_rect, rect.expected)) << rect.what;
    EXPECT_TRUE(SameRect(outcome.output.max_result_rect, shifted(rect.expected))) << rect.what;
  }
}

TEST_F(SmartPreRender, RequestsRedGreenBlueOfTheInputLayerAtTheCurrentTime) {
  HostOptions options;
  options.current_time = 1234;
  options.time_step = 7;
  options.time_scale = 600;
  std::unique_ptr<Host> host = MakeHost(minihost::Application::kAfterEffects, options);
  const PF_RenderRequest sent = HostRequest();
  const minihost::PreRenderOutcome outcome = host->SmartPreRender(sent);
  ASSERT_EQ(outcome.result, PF_Err_NONE);
  ASSERT_TRUE(outcome.request_seen && outcome.checkout);
  const PF_RenderRequest& seen = *outcome.request_seen;
  EXPECT_EQ(seen.channel_mask, 14);
  EXPECT_EQ(seen.preserve_rgb_of_zero_alpha, 0);
  EXPECT_TRUE(SameRect(seen.rect, sent.rect));
  EXPECT_EQ(seen.field, sent.field);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(seen.reserved[i], sent.reserved[i]);
  // index, checkout id, what_time, time_step, time_scale
  EXPECT_EQ(outcome.checkout->values, (std::vector<int64_t>{0, 0, 1234, 7, 600}));
  EXPECT_EQ(outcome.output.solid, 0);
  EXPECT_EQ(outcome.output.pre_render_data, nullptr);
  EXPECT_EQ(host->Log().Count("checkout_layer"), 1u);
  EXPECT_EQ(host->VerifyReport(), "");
}

TEST_F(SmartPreRender, FailedCheckoutReturnsItsCode) {
  for (PF_Err code : {PF_Err_BAD_CALLBACK_PARAM, PF_Interrupt_CANCEL, PF_Err_OUT_OF_MEMORY}) {
    Host& host = AfterEffects();
    host.FailCall(CallFault{"checkout_layer", 1, std::nullopt, code});
    EXPECT_EQ(host.SmartPreRender(HostRequest()).result, code);
  }
}

}  // namespace
}  // namespace conformance
