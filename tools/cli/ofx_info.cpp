// `huewright info` on an OpenFX bundle: the plug-in loaded natively from the
// bundle and described through our OpenFX test host, as a host would see it.
#include "ofx_info.h"

#include <iostream>
#include <string>

#include "plugin_binary.h"
#include "test_host.h"
#include "tool_error.h"

namespace huewright {

namespace {

std::string Joined(const std::vector<std::string>& values) {
  std::string text;
  for (const std::string& value : values) text += (text.empty() ? "" : ", ") + value;
  return text;
}

void Require(OfxStatus status, const std::string& bundle, const char* action) {
  if (status != kOfxStatOK)
    throw ToolError(bundle, std::string("the plug-in answered ") + action + " with status " + std::to_string(status));
}

void PrintParam(const std::string& name, const ofx_host::Param& param) {
  const ofx_host::PropertySet& p = param.properties;
  std::cout << "  " << name << " (" << param.type << ") \"" << p.String(kOfxPropLabel) << "\"";
  if (param.type == kOfxParamTypeDouble)
    std::cout << " default " << p.Double(kOfxParamPropDefault) << ", " << p.Double(kOfxParamPropMin) << " to "
              << p.Double(kOfxParamPropMax);
  else
    std::cout << " default " << (p.Int(kOfxParamPropDefault) ? "on" : "off");
  std::cout << "\n";
}

}  // namespace

bool IsOpenFxBundle(const std::string& path) {
  const std::string suffix = ".ofx.bundle";
  std::string trimmed = path;
  while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
  return trimmed.size() > suffix.size() && trimmed.compare(trimmed.size() - suffix.size(), suffix.size(), suffix) == 0;
}

void PrintOpenFxBundle(const std::string& bundle) {
  std::unique_ptr<ofx_host::PluginBinary> binary;
  try {
    binary = std::make_unique<ofx_host::PluginBinary>(bundle);
  } catch (const ofx_host::LoadError& error) {
    throw ToolError(bundle, std::string("cannot load the OpenFX plug-in: ") + error.what());
  }
  std::cout << "OpenFX bundle: " << bundle << "\n  binary: " << binary->Path() << " (loaded natively)\n"
            << "  plug-ins: " << binary->Count() << "\n";
  if (binary->Count() < 1 || !binary->Plugin(0)) throw ToolError(bundle, "the binary offers no plug-in");
  OfxPlugin& plugin = *binary->Plugin(0);
  std::cout << "Identifier: " << plugin.pluginIdentifier << "\nVersion: " << plugin.pluginVersionMajor << "."
            << plugin.pluginVersionMinor << "\nAPI: " << plugin.pluginApi << " " << plugin.apiVersion << "\n";

  ofx_host::HostOptions options;
  ofx_host::Host host(plugin, options);
  Require(host.Load(), bundle, "load");
  Require(host.Describe(), bundle, "describe");
  const ofx_host::PropertySet& effect = host.Descriptor().properties;
  std::cout << "Label: " << effect.String(kOfxPropLabel) << "\nGrouping: "
            << effect.String(kOfxImageEffectPluginPropGrouping)
            << "\nContexts: " << Joined(effect.Strings(kOfxImageEffectPropSupportedContexts))
            << "\nDepths: " << Joined(effect.Strings(kOfxImageEffectPropSupportedPixelDepths))
            << "\nRender thread safety: " << effect.String(kOfxImageEffectPluginRenderThreadSafety) << "\n";
  Require(host.DescribeInContext(kOfxImageEffectContextFilter), bundle, "describe in the filter context");
  const ofx_host::Effect& filter = host.ContextDescriptor(kOfxImageEffectContextFilter);
  std::cout << "Parameters (filter context):\n";
  for (const std::string& name : filter.param_order) PrintParam(name, *filter.params.at(name));
  host.Unload();
}

}  // namespace huewright
