// The one error type of the tool: what went wrong, naming the file (or the
// option) it concerns. main() prints it and exits non-zero.
#ifndef HUEWRIGHT_TOOLS_TOOL_ERROR_H
#define HUEWRIGHT_TOOLS_TOOL_ERROR_H

#include <stdexcept>
#include <string>

namespace huewright {

class ToolError : public std::runtime_error {
 public:
  ToolError(const std::string& subject, const std::string& reason) : std::runtime_error(subject + ": " + reason) {}
};

// A bad command line; main() adds a hint to the usage text.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace huewright

#endif
