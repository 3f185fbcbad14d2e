#include "atomic_file.h"

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "tool_error.h"

namespace huewright {
namespace {

namespace fs = std::filesystem;

// What the signal handler removes: a fixed buffer, since a handler may not
// allocate. One output is written at a time.
char g_pending_temp[4096];
volatile std::sig_atomic_t g_pending = 0;

void RemovePendingAndReraise(int signal_number) {
  if (g_pending) unlink(g_pending_temp);
  std::signal(signal_number, SIG_DFL);
  std::raise(signal_number);
}

void SetPending(const std::string& path) {
  g_pending = 0;
  if (path.size() >= sizeof g_pending_temp) return;
  std::memcpy(g_pending_temp, path.c_str(), path.size() + 1);
  g_pending = 1;
}

// Same directory (so that the rename is atomic), hidden, and with the final
// extension so that format writers that look at it are not surprised.
std::string TempPathFor(const fs::path& final_path) {
  static unsigned counter = 0;
  const std::string name = "." + final_path.stem().string() + ".huewright-" + std::to_string(getpid()) + "-" +
                           std::to_string(counter++) + final_path.extension().string();
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
  temp_path_ = TempPathFor(target);
  SetPending(temp_path_);
}

AtomicFile::~AtomicFile() {
  g_pending = 0;
  if (!committed_) std::remove(temp_path_.c_str());
}

void AtomicFile::Commit() {
  std::error_code error;
  fs::rename(temp_path_, final_path_, error);
  if (error) throw ToolError(final_path_, "cannot move the finished file into place: " + error.message());
  committed_ = true;
  g_pending = 0;
}

void InstallInterruptCleanup() {
  std::signal(SIGINT, RemovePendingAndReraise);
  std::signal(SIGTERM, RemovePendingAndReraise);
}

}  // namespace huewright
