#include <filesystem>
#include <system_error>

#include "commands.h"
#include "pe_reader.h"
#include "tool_error.h"

namespace huewright {

namespace fs = std::filesystem;

// The effect beside the tool: in the build tree (tools/../entry) or where the
// package installs both (bin/../lib/huewright).
std::string PluginPath(const CliOptions& options) {
  if (!options.plugin.empty()) return options.plugin;
  std::error_code error;
  const fs::path self = fs::read_symlink("/proc/self/exe", error);
  if (error) throw ToolError("/proc/self/exe", "cannot find the tool's own location; give --plugin PATH");
  const fs::path built = (self.parent_path() / ".." / "entry" / "HuewrightGenerator.so").lexically_normal();
  const fs::path installed =
      (self.parent_path() / ".." / "lib" / "huewright" / "HuewrightGenerator.so").lexically_normal();
  return (fs::exists(built, error) || !fs::exists(installed, error) ? built : installed).string();
}

std::string LoadablePluginPath(const CliOptions& options) {
  const std::string path = PluginPath(options);
  std::error_code error;
  if (!fs::is_regular_file(path, error))
    throw ToolError(path, "effect library not found (build the effect, or give --plugin PATH)");
  if (LooksLikePe(path))
    throw ToolError(path, "a Windows build cannot be loaded here; render with the native library "
                          "(`huewright info` can inspect this one)");
  return path;
}

void RequireInputsExist(const std::vector<Frame>& frames) {
  for (const Frame& frame : frames) {
    std::error_code error;
    if (!fs::exists(frame.input, error)) throw ToolError(frame.input, "no such file");
  }
}

std::string HostDescription(const RenderSettings& settings) {
  return std::string(settings.premiere ? "Premiere Pro, " : "After Effects, ") +
         std::string(LayoutName(settings.layout));
}

}  // namespace huewright
