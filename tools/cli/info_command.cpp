#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>

#include "commands.h"
#include "gbk_text.h"
#include "minihost.h"
#include "ofx_info.h"
#include "pe_reader.h"
#include "tool_error.h"

namespace huewright {
namespace {

std::string Hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", value);
  return text;
}

std::string Decimal(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

// Version word: version << 19 | subversion << 15 | fix << 11 | stage << 9 | build.
std::string VersionText(uint32_t word) {
  static const char* const kStages[] = {"develop", "alpha", "beta", "release"};
  std::ostringstream text;
  text << (word >> 19) << '.' << ((word >> 15) & 0xF) << '.' << ((word >> 11) & 0xF) << ' '
       << kStages[(word >> 9) & 0x3] << " build " << (word & 0x1FF) << " (" << Hex(word) << ')';
  return text.str();
}

template <std::size_t N>
std::string FlagNames(uint32_t flags, const std::pair<uint32_t, const char*> (&names)[N]) {
  std::string text = Hex(flags);
  std::string list;
  for (const auto& [bit, name] : names)
    if (flags & bit) list += (list.empty() ? "" : ", ") + std::string(name);
  return list.empty() ? text : text + " (" + list + ")";
}

std::string PremiereFormatText(PrPixelFormat format) {
  const char* name = minihost::PremiereFormatName(format);
  return name ? name : Hex(format);
}

std::string DescribeParam(const PF_ParamDef& def) {
  const std::string name = GbkToUtf8(std::string(def.name, strnlen(def.name, sizeof def.name)));
  std::ostringstream text;
  text << "  id " << def.uu.id << "  " << name << "  ";
  switch (def.param_type) {
    case PF_Param_CHECKBOX:
      text << "checkbox, default " << (def.u.bd.dephault ? "on" : "off");
      break;
    case PF_Param_FLOAT_SLIDER: {
      const PF_FloatSliderDef& s = def.u.fs_d;
      text << "float slider, valid " << Decimal(s.valid_min) << " to " << Decimal(s.valid_max) << ", slider "
           << Decimal(s.slider_min) << " to " << Decimal(s.slider_max) << ", default " << Decimal(s.dephault)
           << ", precision " << s.precision;
      break;
    }
    default:
      text << "type " << def.param_type;
  }
  return text.str();
}

void PrintRegistration(const minihost::EffectLibrary& library) {
  const minihost::RegistrationCall call = minihost::CallPluginDataEntry(library);
  if (call.result != PF_Err_NONE) throw ToolError(library.Path(), "PluginDataEntryFunction returned " + std::to_string(call.result));
  std::cout << "Registration (PluginDataEntryFunction):\n"
            << "  name:            " << call.name << "\n"
            << "  match name:      " << call.match_name << "\n"
            << "  category:        " << call.category << "\n"
            << "  entry point:     " << call.entry_point << "\n"
            << "  kind:            '" << FourCharText(static_cast<uint32_t>(call.kind)) << "'\n"
            << "  interface:       " << call.api_major << "." << call.api_minor << "\n";
}

void RequireSuccess(PF_Err err, const std::string& path, const char* command) {
  if (err != PF_Err_NONE) throw ToolError(path, std::string(command) + " failed with error " + std::to_string(err));
}

void PrintSetup(const minihost::EffectLibrary& library) {
  static const std::pair<uint32_t, const char*> kFlags[] = {{PF_OutFlag_DEEP_COLOR_AWARE, "DEEP_COLOR_AWARE"},
                                                            {PF_OutFlag_DISPLAY_ERROR_MESSAGE, "DISPLAY_ERROR_MESSAGE"}};
  static const std::pair<uint32_t, const char*> kFlags2[] = {
      {PF_OutFlag2_SUPPORTS_SMART_RENDER, "SUPPORTS_SMART_RENDER"},
      {PF_OutFlag2_FLOAT_COLOR_AWARE, "FLOAT_COLOR_AWARE"},
      {PF_OutFlag2_SUPPORTS_THREADED_RENDERING, "SUPPORTS_THREADED_RENDERING"}};
  minihost::Host ae(library, {});
  RequireSuccess(ae.GlobalSetup(), library.Path(), "global setup");
  const PF_OutData& out = ae.OutData();
  std::cout << "Global setup:\n"
            << "  version:         " << VersionText(out.my_version) << "\n"
            << "  out_flags:       " << FlagNames(static_cast<uint32_t>(out.out_flags), kFlags) << "\n"
            << "  out_flags2:      " << FlagNames(static_cast<uint32_t>(out.out_flags2), kFlags2) << "\n";

  minihost::HostOptions premiere_options;
  premiere_options.application = minihost::Application::kPremiere;
  minihost::Host premiere(library, premiere_options);
  RequireSuccess(premiere.GlobalSetup(), library.Path(), "global setup in Premiere");
  std::cout << "  Premiere formats:";
  for (PrPixelFormat format : premiere.DeclaredPixelFormats()) std::cout << ' ' << PremiereFormatText(format);
  std::cout << "\n";

  RequireSuccess(ae.ParamsSetup(), library.Path(), "parameter setup");
  std::cout << "Parameters (" << ae.OutData().num_params << " including the input layer):\n";
  for (const PF_ParamDef& def : ae.ParamDefinitions()) std::cout << DescribeParam(def) << "\n";

  RequireSuccess(ae.About(), library.Path(), "About");
  std::string about = ae.OutData().return_msg;
  for (char& c : about)
    if (c == '\r') c = '\n';
  std::cout << "About:\n  ";
  for (char c : about) std::cout << c << (c == '\n' ? "  " : "");
  std::cout << "\n";
}

void PrintNative(const std::string& path) {
  std::cout << "Effect library: " << path << " (native, loaded through minihost)\n";
  minihost::EffectLibrary library = [&] {
    try {
      return minihost::EffectLibrary::Load(path);
    } catch (const minihost::LoadError& error) {
      throw ToolError(path, std::string("cannot load the effect: ") + error.what());
    }
  }();
  PrintRegistration(library);
  PrintSetup(library);
}

void PrintVersionResource(const VersionResource& version) {
  if (!version.present) {
    std::cout << "No version resource.\n";
    return;
  }
  std::cout << "Version resource:\n"
            << "  file version:     " << version.file_version << "\n"
            << "  product version:  " << version.product_version << "\n";
  for (const auto& [key, value] : version.strings)
    std::cout << "  " << key << ":" << std::string(key.size() < 17 ? 17 - key.size() : 1, ' ') << value << "\n";
}

void PrintWindows(const std::string& path) {
  const PeEffect effect = InspectPe(path);
  std::cout << "Effect library: " << path << " (Windows PE, read with LIEF; not loaded)\n";
  std::cout << "Exports:\n";
  for (const PeExport& e : effect.exports) std::cout << "  ordinal " << e.ordinal << "  " << e.name << "\n";
  if (effect.pipls.empty()) std::cout << "No PIPL resource.\n";
  for (const PiplResource& pipl : effect.pipls) {
    std::cout << "PIPL " << pipl.resource_id << " (language " << pipl.language << ", " << pipl.size
              << " bytes, marker " << pipl.marker << ", list version " << pipl.version << ", "
              << pipl.properties.size() << " properties):\n";
    for (const PiplProperty& p : pipl.properties)
      std::cout << "  '" << FourCharText(p.vendor) << "' '" << FourCharText(p.key) << "' id " << p.id << " length "
                << p.length << ": " << DescribePiplData(p) << "\n";
  }
  PrintVersionResource(effect.version);
}

}  // namespace

int RunInfo(const CliOptions& options) {
  const std::string path = PluginPath(options);
  std::error_code error;
  if (IsOpenFxBundle(path)) {
    if (!std::filesystem::is_directory(path, error)) throw ToolError(path, "OpenFX bundle not found");
    PrintOpenFxBundle(path);
    return 0;
  }
  if (!std::filesystem::is_regular_file(path, error)) throw ToolError(path, "effect library not found");
  if (LooksLikePe(path))
    PrintWindows(path);
  else
    PrintNative(path);
  return 0;
}

}  // namespace huewright
