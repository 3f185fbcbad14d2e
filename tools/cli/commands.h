// The three commands of the tool. Each returns the process exit status and
// reports failures by throwing ToolError or UsageError.
#ifndef HUEWRIGHT_TOOLS_COMMANDS_H
#define HUEWRIGHT_TOOLS_COMMANDS_H

#include <set>
#include <string>

#include "cli_options.h"

namespace huewright {

int RunRender(const CliOptions& options);
int RunPalette(const CliOptions& options);
int RunInfo(const CliOptions& options);

// --plugin, or the library built beside this executable:
// <build>/tools/huewright loads <build>/entry/HuewrightGenerator.so.
std::string PluginPath(const CliOptions& options);
// A native library that exists; a Windows build is refused with a hint.
std::string LoadablePluginPath(const CliOptions& options);
// The frames of the inputs: a list, a pattern with --frames, or every frame
// of a movie (--frames picks some, counted from 1).
std::vector<Frame> CommandFrames(const CliOptions& options);
ReadSettings ReadSettingsOf(const CliOptions& options);
// "After Effects, ARGB 8-bit": the host and the layouts frames rendered in.
std::string HostDescription(bool premiere, const std::set<PixelLayout>& layouts);

}  // namespace huewright

#endif
