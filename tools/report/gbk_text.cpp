#include "gbk_text.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>

namespace huewright {
namespace {

std::string Escaped(unsigned char byte) {
  char text[5];
  std::snprintf(text, sizeof text, "\\x%02X", byte);
  return text;
}

class Converter {
 public:
  Converter() : handle_(iconv_open("UTF-8", "GBK")) {}
  ~Converter() {
    if (Valid()) iconv_close(handle_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool Valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t Handle() const { return handle_; }

 private:
  iconv_t handle_;
};

}  // namespace

std::string GbkToUtf8(std::string_view gbk) {
  Converter converter;
  std::string result;
  std::size_t at = 0;
  while (at < gbk.size()) {
    char buffer[256];
    char* in = const_cast<char*>(gbk.data() + at);
    std::size_t in_left = gbk.size() - at;
    char* out = buffer;
    std::size_t out_left = sizeof buffer;
    const std::size_t converted = converter.Valid() ? iconv(converter.Handle(), &in, &in_left, &out, &out_left)
                                                    : static_cast<std::size_t>(-1);
    const int error = errno;
    result.append(buffer, static_cast<std::size_t>(out - buffer));
    at = gbk.size() - in_left;
    if (converted != static_cast<std::size_t>(-1) || (converter.Valid() && error == E2BIG)) continue;
    // Invalid or incomplete sequence: show the byte and go on after it.
    result += Escaped(static_cast<unsigned char>(gbk[at]));
    ++at;
    if (converter.Valid()) iconv(converter.Handle(), nullptr, nullptr, nullptr, nullptr);
  }
  return result;
}

}  // namespace huewright
