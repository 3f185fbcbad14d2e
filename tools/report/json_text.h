// JSON strings from arbitrary bytes. File names on this platform are bytes,
// not text; JSON holds only Unicode, so bytes that are not UTF-8 are replaced.
#ifndef HUEWRIGHT_TOOLS_JSON_TEXT_H
#define HUEWRIGHT_TOOLS_JSON_TEXT_H

#include <string>
#include <string_view>

namespace huewright {

// True when text is well-formed UTF-8 (no overlong forms, surrogates or
// values beyond U+10FFFF).
bool IsUtf8(std::string_view text);

// A quoted JSON string: quotes, backslashes and control characters escaped,
// every byte that is not part of a well-formed UTF-8 sequence replaced by
// U+FFFD.
std::string JsonString(std::string_view text);

// The UTF-16 units of text, each byte that is not part of a well-formed
// UTF-8 sequence as U+FFFD, as JsonString replaces it.
std::u16string Utf16Units(std::string_view text);

// The bytes in lower-case hex, two digits each: a name that JsonString had
// to alter can still be recovered exactly.
std::string HexBytes(std::string_view text);

}  // namespace huewright

#endif
