#include <filesystem>
#include <system_error>

#include "commands.h"
#include "pe_reader.h"
#include "tool_error.h"

namespace huewright {

namespace fs = std::filesystem;

std::string PluginPath(const CliOptions& options) {
  if (!options.plugin.empty()) return options.plugin;
  std::error_code error;
  const fs::path self = fs::read_symlink("/proc/self/exe", error);
  if (error) throw ToolError("/proc/self/exe", "cannot find the tool's own location; give --plugin PATH");
  return (self.parent_path() / ".." / "entry" / "HuewrightGenerator.so").lexically_normal().string();
}

std::string LoadablePluginPath(const CliOptions& options) {
  const std::string path = PluginPath(options);
  std::error_code error;
  if (!fs::is_regular_file(path, error))
    throw ToolError(path, "effect library not found; give its path with --plugin PATH (a copied huewright looks for "
                          "../entry/HuewrightGenerator.so beside itself)");
  if (LooksLikePe(path))
    throw ToolError(path, "a Windows build cannot be loaded here; render with the native library "
                          "(`huewright info` can inspect this one)");
  return path;
}

std::string HostDescription(bool premiere, const std::set<PixelLayout>& layouts) {
  std::string text = premiere ? "Premiere Pro" : "After Effects";
  const char* separator = ", ";
  for (PixelLayout layout : layouts) {
    text += separator + std::string(LayoutDescription(layout));
    separator = " / ";
  }
  return text;
}

}  // namespace huewright
