// `huewright info` for OpenFX bundles.
#ifndef HUEWRIGHT_TOOLS_CLI_OFX_INFO_H
#define HUEWRIGHT_TOOLS_CLI_OFX_INFO_H

#include <string>

namespace huewright {

// Whether path names a folder NAME.ofx.bundle (a trailing slash allowed).
bool IsOpenFxBundle(const std::string& path);
// Prints the identifier, version, contexts, depths and parameters of the
// bundle's plug-in; throws ToolError naming the bundle when it cannot load.
void PrintOpenFxBundle(const std::string& bundle);

}  // namespace huewright

#endif
