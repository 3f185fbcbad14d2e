// The effect names its parameters in the GBK code page; terminals want UTF-8.
#ifndef HUEWRIGHT_TOOLS_GBK_TEXT_H
#define HUEWRIGHT_TOOLS_GBK_TEXT_H

#include <string>
#include <string_view>

namespace huewright {

// Bytes that are not valid GBK come out as \xNN escapes, never dropped.
std::string GbkToUtf8(std::string_view gbk);

}  // namespace huewright

#endif
