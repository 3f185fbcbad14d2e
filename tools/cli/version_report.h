// What `huewright --version` prints: the release, and the version the
// effect beside the tool registers (a copied tool may run another build).
#ifndef HUEWRIGHT_TOOLS_VERSION_REPORT_H
#define HUEWRIGHT_TOOLS_VERSION_REPORT_H

#include <string>

namespace huewright {

std::string VersionReport();

}  // namespace huewright

#endif
