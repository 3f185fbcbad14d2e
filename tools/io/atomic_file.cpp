#include "atomic_file.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "interrupt.h"
#include "tool_error.h"

namespace huewright {
namespace {

namespace fs = std::filesystem;

// Same directory (so that the rename is atomic), hidden, and with the final
// extension so that format writers that look at it are not surprised.
std::string TempPathFor(const fs::path& final_path) {
  static unsigned counter = 0;
  std::string name = ".";
  name += final_path.stem().string();
  name += ".huewright-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
  name += final_path.extension().string();
  return (final_path.parent_path() / name).string();
}

}  // namespace

AtomicFile::AtomicFile(std::string final_path) : final_path_(std::move(final_path)) {
  const fs::path target(final_path_);
  const fs::path directory = target.has_parent_path() ? target.parent_path() : fs::path(".");
  std::error_code error;
  if (!fs::is_directory(directory, error))
    throw ToolError(final_path_, "output directory '" + directory.string() + "' does not exist");
  if (fs::is_directory(target, error)) throw ToolError(final_path_, "is a directory, not a file name");
  if (access(directory.c_str(), W_OK | X_OK) != 0)
    throw ToolError(final_path_, "permission denied (cannot create files in '" + directory.string() + "')");
  temp_path_ = TempPathFor(target);
  SetPendingTemp(temp_path_);
}

AtomicFile::~AtomicFile() {
  ClearPendingTemp();
  if (!committed_) std::remove(temp_path_.c_str());
}

void AtomicFile::Commit(bool replace) {
  if (replace) {
    std::error_code error;
    fs::rename(temp_path_, final_path_, error);
    if (error) throw ToolError(final_path_, "cannot move the finished file into place: " + error.message());
  } else {
    // link() refuses an existing name, so nothing is replaced even when a
    // file appeared after the checks.
    if (link(temp_path_.c_str(), final_path_.c_str()) != 0) {
      const std::error_code error(errno, std::generic_category());
      if (error == std::errc::file_exists) throw ToolError(final_path_, "already exists (--no-clobber)");
      throw ToolError(final_path_, "cannot move the finished file into place: " + error.message());
    }
    unlink(temp_path_.c_str());
  }
  committed_ = true;
  ClearPendingTemp();
}

}  // namespace huewright
