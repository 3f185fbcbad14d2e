#include <algorithm>
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
    throw ToolError(path, "effect library not found; give its path with --plugin PATH (a copied huewright looks for "
                          "../entry/HuewrightGenerator.so beside itself)");
  if (LooksLikePe(path))
    throw ToolError(path, "a Windows build cannot be loaded here; render with the native library "
                          "(`huewright info` can inspect this one)");
  return path;
}

std::vector<Frame> CommandFrames(const CliOptions& options) {
  const std::optional<int> movie =
      options.inputs.size() == 1 ? MovieFrameCount(options.inputs[0]) : std::optional<int>();
  if (!movie) return ExpandInputs(options.inputs, options.frames);
  const FrameRange range = options.frames.value_or(FrameRange{1, *movie});
  if (range.last > *movie)
    throw ToolError(options.inputs[0], "has " + std::to_string(*movie) + " frames, not " + std::to_string(range.last));
  std::vector<Frame> frames;
  for (int n = std::max(range.first, 1); n <= range.last; ++n) frames.push_back({n, options.inputs[0], {}, n - 1});
  return frames;
}

ReadSettings ReadSettingsOf(const CliOptions& options) {
  ReadSettings settings = options.read;
  settings.premiere = options.render.premiere;
  settings.layout = options.render.layout;
  return settings;
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
