#include "output_safety.h"

#include <unistd.h>

#include <filesystem>
#include <map>
#include <set>
#include <system_error>

#include "tool_error.h"

namespace huewright {
namespace {

namespace fs = std::filesystem;

// The path with every link and "." or ".." that exists resolved, so that
// two names of one file compare equal.
fs::path Resolved(const std::string& path) {
  std::error_code error;
  fs::path resolved = fs::weakly_canonical(fs::absolute(path, error), error);
  return error ? fs::absolute(path).lexically_normal() : resolved;
}

// Same resolved name, or the same file through a hard link.
bool SameFile(const fs::path& a, const fs::path& b) {
  if (a == b) return true;
  std::error_code error;
  return fs::equivalent(a, b, error) && !error;
}

// The directory an output goes into, or the nearest one of its ancestors
// that exists when it is still to be created.
fs::path ExistingDirectoryOf(const std::string& output) {
  fs::path directory = fs::absolute(output).parent_path();
  std::error_code error;
  while (!fs::exists(directory, error) && directory.has_relative_path()) directory = directory.parent_path();
  return directory;
}

}  // namespace

void RequireInputsExist(const std::vector<Frame>& frames) {
  std::string missing;
  int count = 0;
  for (const Frame& frame : frames) {
    std::error_code error;
    if (fs::exists(frame.input, error)) continue;
    missing += (count++ ? ", " : "") + frame.input;
  }
  if (count == 1) throw ToolError(missing, "no such file");
  if (count > 1) throw ToolError(missing, std::to_string(count) + " inputs missing (no such file)");
}

void RefuseOutputsThatAreInputs(const std::vector<Frame>& frames) {
  std::vector<std::pair<fs::path, const Frame*>> inputs;
  for (const Frame& frame : frames) inputs.emplace_back(Resolved(frame.input), &frame);
  for (const Frame& frame : frames) {
    if (frame.output.empty()) continue;
    const fs::path output = Resolved(frame.output);
    for (const auto& [input, source] : inputs)
      if (SameFile(output, input))
        throw ToolError(frame.output, "is the input '" + source->input +
                                          "'; an output never replaces a source (choose another output name)");
  }
}

void CheckOutputsWritable(const std::vector<Frame>& frames, bool no_clobber) {
  std::map<fs::path, bool> writable;  // per directory, checked once
  for (const Frame& frame : frames) {
    std::error_code error;
    const fs::file_status status = fs::status(frame.output, error);
    if (fs::is_directory(status)) throw ToolError(frame.output, "is a directory, not a file name");
    if (no_clobber && fs::exists(status)) throw ToolError(frame.output, "already exists (--no-clobber)");
    const fs::path directory = ExistingDirectoryOf(frame.output);
    auto [at, fresh] = writable.try_emplace(directory, false);
    if (fresh) at->second = fs::is_directory(directory, error) && access(directory.c_str(), W_OK | X_OK) == 0;
    if (!at->second)
      throw ToolError(frame.output, "permission denied (cannot create files in '" + directory.string() + "')");
  }
}

OutputDirectories::OutputDirectories(const std::vector<Frame>& frames) {
  std::set<fs::path> seen;
  for (const Frame& frame : frames) {
    const fs::path directory = fs::absolute(frame.output).parent_path();
    if (!seen.insert(directory).second) continue;
    std::vector<fs::path> missing;
    std::error_code error;
    for (fs::path d = directory; !fs::exists(d, error) && d.has_relative_path(); d = d.parent_path())
      missing.insert(missing.begin(), d);
    for (const fs::path& d : missing) {
      if (!fs::create_directory(d, error) && error)
        throw ToolError(d.string(), "cannot create the output directory: " + error.message());
      created_.push_back(d.string());
    }
  }
}

OutputDirectories::~OutputDirectories() {
  std::error_code error;
  for (auto d = created_.rbegin(); d != created_.rend(); ++d) fs::remove(*d, error);  // only if empty
}

}  // namespace huewright
