// What the image reader and the image writer share.
#ifndef HUEWRIGHT_TOOLS_OPENIMAGEIO_ERROR_H
#define HUEWRIGHT_TOOLS_OPENIMAGEIO_ERROR_H

#include <string>

namespace huewright {

// OpenImageIO's last error, or a fallback when it has none to say.
// Several lines become one: "first; second".
std::string Reason(std::string message, const char* fallback);

}  // namespace huewright

#endif
