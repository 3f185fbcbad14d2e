// The checks that keep a render from destroying what the user has, run on
// the whole list of frames before anything renders: no output may be an
// input (the same file, through a link, a directory or a pattern), every
// output directory must be writable, and with --no-clobber no output may
// exist. Missing output directories are created only after the checks.
#ifndef HUEWRIGHT_TOOLS_OUTPUT_SAFETY_H
#define HUEWRIGHT_TOOLS_OUTPUT_SAFETY_H

#include <string>
#include <vector>

#include "frame_list.h"

namespace huewright {

// Throws ToolError naming every input that does not exist.
void RequireInputsExist(const std::vector<Frame>& frames);
// Throws ToolError naming the output and the input it would replace.
void RefuseOutputsThatAreInputs(const std::vector<Frame>& frames);
// Throws ToolError for the first output that exists (--no-clobber) or
// that cannot be written: a directory in its place, a directory that
// refuses writing.
void CheckOutputsWritable(const std::vector<Frame>& frames, bool no_clobber);

// Creates the missing directories of the outputs; those it made and that
// are still empty are removed again when it is destroyed without Keep(),
// so that a failed command leaves nothing behind.
class OutputDirectories {
 public:
  explicit OutputDirectories(const std::vector<Frame>& frames);
  ~OutputDirectories();
  OutputDirectories(const OutputDirectories&) = delete;
  OutputDirectories& operator=(const OutputDirectories&) = delete;
  void Keep() { created_.clear(); }

 private:
  std::vector<std::string> created_;  // outermost first
};

}  // namespace huewright

#endif
