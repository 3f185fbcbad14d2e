#include "version_report.h"

#include <exception>

#include "commands.h"
#include "minihost.h"

namespace huewright {
namespace {

// The effect's version word: version << 19 | subversion << 15 | fix << 11 | stage << 9 | build.
std::string RegisteredVersion(uint32_t word) {
  static const char* const kStages[] = {"develop", "alpha", "beta", "release"};
  return std::to_string(word >> 19) + '.' + std::to_string((word >> 15) & 0xF) + '.' +
         std::to_string((word >> 11) & 0xF) + ' ' + kStages[(word >> 9) & 0x3] + " build " +
         std::to_string(word & 0x1FF);
}

}  // namespace

std::string VersionReport() {
  std::string text = "huewright " HUEWRIGHT_VERSION "\neffect: ";
  try {
    const std::string path = LoadablePluginPath(CliOptions{});
    const minihost::EffectLibrary library = minihost::EffectLibrary::Load(path);
    minihost::Host host(library, {});
    if (host.GlobalSetup() != PF_Err_NONE) return text + path + ": global setup failed";
    return text + "Huewright Generator " + RegisteredVersion(host.OutData().my_version) + " (" + path + ")";
  } catch (const std::exception& error) {
    return text + "not loaded: " + error.what();
  }
}

}  // namespace huewright
