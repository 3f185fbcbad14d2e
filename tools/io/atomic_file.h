// An output written under a temporary name in its own directory and renamed
// over the final name only when complete: a failure or an interrupt never
// leaves a truncated file, and never replaces a good one with garbage.
#ifndef HUEWRIGHT_TOOLS_ATOMIC_FILE_H
#define HUEWRIGHT_TOOLS_ATOMIC_FILE_H

#include <string>

namespace huewright {

class AtomicFile {
 public:
  // Throws ToolError when the directory of `final_path` does not exist or
  // refuses writing.
  explicit AtomicFile(std::string final_path);
  ~AtomicFile();  // removes the temporary file unless committed
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  const std::string& TempPath() const { return temp_path_; }
  // Moves the temporary file to the final name; throws ToolError. Without
  // `replace`, a file that appeared at the final name meanwhile is kept and
  // the commit fails.
  void Commit(bool replace = true);

 private:
  std::string final_path_;
  std::string temp_path_;
  bool committed_ = false;
};

}  // namespace huewright

#endif
