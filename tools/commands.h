// The three commands of the tool. Each returns the process exit status and
// reports failures by throwing ToolError or UsageError.
#ifndef HUEWRIGHT_TOOLS_COMMANDS_H
#define HUEWRIGHT_TOOLS_COMMANDS_H

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
// Missing inputs are reported before any frame is rendered.
void RequireInputsExist(const std::vector<Frame>& frames);
std::string HostDescription(const RenderSettings& settings);

}  // namespace huewright

#endif
