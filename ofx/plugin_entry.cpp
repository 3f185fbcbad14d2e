// The binary's two exports and the plug-in's main entry: the one place
// where every action arrives and no exception leaves.
#include <cstring>
#include <new>
#include <string>

#include "actions.h"
#include "api/ofx_image_effect.h"
#include "describe.h"
#include "host_suites.h"
#include "instance.h"
#include "ofx_error.h"
#include "plugin_identity.h"

#if defined(_WIN32)
#define HUEWRIGHT_OFX_EXPORT extern "C"
#else
#define HUEWRIGHT_OFX_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace huewright_ofx {

namespace {

using EffectHandle = OfxImageEffectHandle;

OfxStatus Load() {
  Suites();
  return kOfxStatOK;
}

OfxStatus Unload() {
  ForgetSuites();
  return kOfxStatOK;
}

OfxStatus DescribeAction(EffectHandle effect, OfxPropertySetHandle, OfxPropertySetHandle) {
  Describe(effect);
  return kOfxStatOK;
}

OfxStatus DescribeInContextAction(EffectHandle effect, OfxPropertySetHandle in_args, OfxPropertySetHandle) {
  DescribeInContext(effect, in_args);
  return kOfxStatOK;
}

OfxStatus CreateAction(EffectHandle effect, OfxPropertySetHandle, OfxPropertySetHandle) {
  CreateInstance(effect);
  return kOfxStatOK;
}

OfxStatus DestroyAction(EffectHandle effect, OfxPropertySetHandle, OfxPropertySetHandle) {
  DestroyInstance(effect);
  return kOfxStatOK;
}

OfxStatus ClipPreferencesAction(EffectHandle effect, OfxPropertySetHandle, OfxPropertySetHandle out_args) {
  return GetClipPreferences(effect, out_args);
}

OfxStatus RenderAction(EffectHandle effect, OfxPropertySetHandle in_args, OfxPropertySetHandle) {
  return Render(effect, in_args);
}

// Sequences need nothing prepared: every frame stands on its own.
OfxStatus SequenceAction(EffectHandle effect, OfxPropertySetHandle, OfxPropertySetHandle) {
  InstanceOf(effect);
  return kOfxStatOK;
}

struct ActionEntry {
  const char* name;
  OfxStatus (*run)(EffectHandle effect, OfxPropertySetHandle in_args, OfxPropertySetHandle out_args);
};

constexpr ActionEntry kActions[] = {
    {kOfxActionDescribe, DescribeAction},
    {kOfxImageEffectActionDescribeInContext, DescribeInContextAction},
    {kOfxActionCreateInstance, CreateAction},
    {kOfxActionDestroyInstance, DestroyAction},
    {kOfxImageEffectActionGetClipPreferences, ClipPreferencesAction},
    {kOfxImageEffectActionGetRegionOfDefinition, GetRegionOfDefinition},
    {kOfxImageEffectActionGetRegionsOfInterest, GetRegionsOfInterest},
    {kOfxImageEffectActionIsIdentity, IsIdentity},
    {kOfxImageEffectActionRender, RenderAction},
    {kOfxImageEffectActionBeginSequenceRender, SequenceAction},
    {kOfxImageEffectActionEndSequenceRender, SequenceAction},
};

OfxStatus Dispatch(const char* action, EffectHandle effect, OfxPropertySetHandle in_args,
                   OfxPropertySetHandle out_args) {
  if (std::strcmp(action, kOfxActionLoad) == 0) return Load();
  if (std::strcmp(action, kOfxActionUnload) == 0) return Unload();
  for (const ActionEntry& entry : kActions)
    if (std::strcmp(action, entry.name) == 0) {
      if (!effect) throw OfxError(kOfxStatErrBadHandle, std::string("no effect handle for ") + action);
      return entry.run(effect, in_args, out_args);
    }
  return kOfxStatReplyDefault;
}

// Tells the user through the host's message suite, when it has one.
void Report(EffectHandle effect, const char* text) noexcept {
  try {
    const HostSuites& suites = Suites();
    if (suites.message && suites.message->message)
      suites.message->message(effect, kOfxMessageError, kPluginIdentifier, "%s", text);
  } catch (...) {
  }
}

OfxStatus MainEntry(const char* action, const void* handle, OfxPropertySetHandle in_args,
                    OfxPropertySetHandle out_args) {
  if (!action) return kOfxStatErrBadHandle;
  auto* effect = static_cast<EffectHandle>(const_cast<void*>(handle));
  try {
    return Dispatch(action, effect, in_args, out_args);
  } catch (const OfxError& error) {
    Report(effect, error.what());
    return error.status();
  } catch (const std::bad_alloc&) {
    Report(effect, "out of memory");
    return kOfxStatErrMemory;
  } catch (...) {
    Report(effect, "unexpected failure");
    return kOfxStatFailed;
  }
}

void SetHostEntry(OfxHost* host) { SetHost(host); }

OfxPlugin plugin = {kOfxImageEffectPluginApi,
                    kOfxImageEffectPluginApiVersion,
                    kPluginIdentifier,
                    kVersionMajor,
                    kVersionMinor,
                    SetHostEntry,
                    MainEntry};

}  // namespace

}  // namespace huewright_ofx

HUEWRIGHT_OFX_EXPORT int OfxGetNumberOfPlugins() { return 1; }

HUEWRIGHT_OFX_EXPORT OfxPlugin* OfxGetPlugin(int nth) { return nth == 0 ? &huewright_ofx::plugin : nullptr; }
