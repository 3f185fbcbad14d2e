// The actions a host sends around renders, and what the plug-in tells it.
#include <vector>

#include "ofx_fixture.h"

namespace {

using namespace ofx_test;
using ofx_host::PropertySet;

TEST(OfxPlugin, IdentifiesItselfAsOneImageEffect) {
  EXPECT_EQ(Bundle().Count(), 1);
  EXPECT_EQ(Bundle().Plugin(1), nullptr);
  const OfxPlugin& plugin = Plugin();
  EXPECT_STREQ(plugin.pluginApi, "OfxImageEffectPluginAPI");
  EXPECT_EQ(plugin.apiVersion, 1);
  EXPECT_STREQ(plugin.pluginIdentifier, "com.kestrow.HuewrightGenerator");
  EXPECT_EQ(plugin.pluginVersionMajor, 1u);
  EXPECT_EQ(plugin.pluginVersionMinor, 0u);
}

// Hosts may describe more than once; each descriptor gets the same answers.
TEST(OfxPlugin, DescribesTheSameEachTime) {
  ofx_host::Host host(Plugin());
  ASSERT_EQ(host.Load(), kOfxStatOK);
  for (int round = 0; round < 2; ++round) {
    ASSERT_EQ(host.Describe(), kOfxStatOK);
    const PropertySet& effect = host.Descriptor().properties;
    EXPECT_EQ(effect.String(kOfxPropLabel), "Huewright Generator");
    EXPECT_EQ(effect.String(kOfxImageEffectPluginPropGrouping), "Kestrow Productions");
    EXPECT_EQ(effect.Strings(kOfxImageEffectPropSupportedContexts),
              (std::vector<std::string>{kOfxImageEffectContextFilter, kOfxImageEffectContextGeneral}));
    EXPECT_EQ(effect.Strings(kOfxImageEffectPropSupportedPixelDepths),
              (std::vector<std::string>{kOfxBitDepthByte, kOfxBitDepthShort, kOfxBitDepthFloat}));
    EXPECT_EQ(effect.Int(kOfxPropVersion, 0, -1), 1);
    EXPECT_EQ(effect.Int(kOfxPropVersion, 1, -1), 0);
    EXPECT_EQ(effect.Int(kOfxImageEffectPropSupportsTiles, 0, -1), 0);
    EXPECT_EQ(effect.Int(kOfxImageEffectPropTemporalClipAccess, 0, -1), 0);
    EXPECT_EQ(effect.String(kOfxImageEffectPluginRenderThreadSafety), kOfxImageEffectRenderFullySafe);
  }
  EXPECT_EQ(host.Unload(), kOfxStatOK);
  EXPECT_EQ(ofx_host::TakeFaults(), std::vector<std::string>{});
}

TEST(OfxPlugin, DefinesItsClipsAndParametersInBothContexts) {
  struct ParamCase {
    const char* name;
    const char* type;
    const char* label;
    double default_value;
  };
  const ParamCase params[] = {{"swatches", kOfxParamTypeBoolean, "Swatches", 1},
                              {"gain", kOfxParamTypeDouble, "Gain", 1.0},
                              {"measure", kOfxParamTypeBoolean, "Measure", 1}};
  auto host = DescribedHost();
  for (const char* context : {kOfxImageEffectContextFilter, kOfxImageEffectContextGeneral}) {
    SCOPED_TRACE(context);
    const ofx_host::Effect& described = host->ContextDescriptor(context);
    ASSERT_EQ(described.clips.size(), 2u);
    for (const char* clip : {"Source", "Output"}) {
      const PropertySet& properties = described.clips.at(clip)->properties;
      EXPECT_EQ(properties.Strings(kOfxImageEffectPropSupportedComponents),
                std::vector<std::string>{kOfxImageComponentRGBA});
      EXPECT_EQ(properties.Int(kOfxImageEffectPropSupportsTiles, 0, -1), 0);
    }
    ASSERT_EQ(described.param_order, (std::vector<std::string>{"swatches", "gain", "measure"}));
    for (const ParamCase& param : params) {
      const PropertySet& properties = described.params.at(param.name)->properties;
      EXPECT_EQ(properties.String(kOfxParamPropType), param.type);
      EXPECT_EQ(properties.String(kOfxPropLabel), param.label);
      const double found = param.type == std::string(kOfxParamTypeBoolean)
                               ? properties.Int(kOfxParamPropDefault, 0, -1)
                               : properties.Double(kOfxParamPropDefault, 0, -1);
      EXPECT_EQ(found, param.default_value) << param.name;
    }
    const PropertySet& gain = described.params.at("gain")->properties;
    EXPECT_EQ(gain.Double(kOfxParamPropMin), 0.001);
    EXPECT_EQ(gain.Double(kOfxParamPropMax), 3.0);
  }
}

TEST(OfxPlugin, RefusesContextsItDoesNotOffer) {
  ofx_host::Host host(Plugin());
  ASSERT_EQ(host.Describe(), kOfxStatOK);
  EXPECT_EQ(host.DescribeInContext("OfxImageEffectContextGenerator"), kOfxStatErrUnsupported);
}

// Clip preferences, regions and identity for one frame, and a sequence
// around its render.
TEST(OfxPlugin, AnswersTheActionsAroundARender) {
  auto host = DescribedHost();
  auto instance = CreatedInstance(*host);
  const ImageShape shape{{10, 20, 130, 100}, Depth::kByte};
  instance->SetSourceFrame(0.0, SourceImage(MountainFrame(), shape), 0.5);

  PropertySet preferences;
  ASSERT_EQ(instance->ClipPreferences(preferences), kOfxStatOK);
  EXPECT_EQ(preferences.String("OfxImageClipPropComponents_Source"), kOfxImageComponentRGBA);
  EXPECT_EQ(preferences.String("OfxImageClipPropComponents_Output"), kOfxImageComponentRGBA);

  // Canonical coordinates: the half-scale frame's bounds over 0.5.
  OfxRectD region{};
  ASSERT_EQ(instance->RegionOfDefinition(0.0, 0.5, region), kOfxStatOK);
  EXPECT_EQ(region.x1, 20.0);
  EXPECT_EQ(region.y1, 40.0);
  EXPECT_EQ(region.x2, 260.0);
  EXPECT_EQ(region.y2, 200.0);
  OfxRectD interest{};
  ASSERT_EQ(instance->RegionsOfInterest(0.0, 0.5, {30.0, 50.0, 40.0, 60.0}, interest), kOfxStatOK);
  EXPECT_EQ(interest.x1, 20.0);
  EXPECT_EQ(interest.x2, 260.0);

  std::string identity_clip;
  EXPECT_EQ(instance->IsIdentity(0.0, 1.0, shape.bounds, identity_clip), kOfxStatReplyDefault);
  instance->SetBoolean("swatches", false);
  EXPECT_EQ(instance->IsIdentity(0.0, 1.0, shape.bounds, identity_clip), kOfxStatReplyDefault)
      << "a measuring frame must render";
  instance->SetBoolean("measure", false);
  EXPECT_EQ(instance->IsIdentity(0.0, 1.0, shape.bounds, identity_clip), kOfxStatOK);
  EXPECT_EQ(identity_clip, "Source");

  EXPECT_EQ(instance->BeginSequence(0.0, 10.0, 1.0), kOfxStatOK);
  EXPECT_EQ(instance->EndSequence(0.0, 10.0, 1.0), kOfxStatOK);
  EXPECT_EQ(instance->Destroy(), kOfxStatOK);
  EXPECT_EQ(ofx_host::TakeFaults(), std::vector<std::string>{});
}

// Without the optional suites the plug-in still loads and renders.
TEST(OfxPlugin, NeedsNoOptionalSuite) {
  ofx_host::HostOptions bare;
  bare.multithread_suite = false;
  bare.message_suite = false;
  auto host = DescribedHost(bare);
  auto instance = CreatedInstance(*host);
  const ImageShape shape{{0, 0, 120, 80}, Depth::kByte};
  auto output = OutputImage(shape);
  EXPECT_EQ(RenderOnce(*instance, SourceImage(MountainFrame(), shape), *output, shape.bounds), kOfxStatOK);
  EXPECT_EQ(host->MultiThreadCalls(), 0);
}

}  // namespace
