// What the reading and writing halves of image_io share.
#ifndef HUEWRIGHT_TOOLS_IMAGE_IO_DETAIL_H
#define HUEWRIGHT_TOOLS_IMAGE_IO_DETAIL_H

#include <string>

namespace huewright {

// OpenImageIO's last error, or a fallback when it has none to say.
// Several lines become one: "first; second".
std::string Reason(std::string message, const char* fallback);

}  // namespace huewright

#endif
