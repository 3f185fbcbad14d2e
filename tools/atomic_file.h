// An output written under a temporary name in its own directory and renamed
// over the final name only when complete: a failure or an interrupt never
// leaves a truncated file, and never replaces a good one with garbage.
#ifndef HUEWRIGHT_TOOLS_ATOMIC_FILE_H
#define HUEWRIGHT_TOOLS_ATOMIC_FILE_H

#include <string>

namespace huewright {

class AtomicFile {
 public:
  // Throws ToolError when the directory of `final_path` does not exist.
  explicit AtomicFile(std::string final_path);
  ~AtomicFile();  // removes the temporary file unless committed
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  const std::string& TempPath() const { return temp_path_; }
  // Renames the temporary file to the final name; throws ToolError.
  void Commit();

 private:
  std::string final_path_;
  std::string temp_path_;
  bool committed_ = false;
};

// SIGINT and SIGTERM remove the temporary file being written, then end the
// process with the conventional status.
void InstallInterruptCleanup();

}  // namespace huewright

#endif
