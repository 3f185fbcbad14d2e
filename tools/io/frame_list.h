// Which files a command reads and writes: a list of inputs or a printf-style
// pattern with a frame range, and for each frame the output name (the output
// itself, a file in an output directory, or an output pattern).
#ifndef HUEWRIGHT_TOOLS_FRAME_LIST_H
#define HUEWRIGHT_TOOLS_FRAME_LIST_H

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace huewright {

struct FrameRange {
  int first = 1;
  int last = 1;
};

struct Frame {
  int number = 1;  // from the pattern's range, or 1, 2, ... for a list
  std::string input;
  std::string output;  // empty when the command writes no image
  int movie_frame = 0;  // which frame of a movie input, from 0
};

// "1-48" or "7"; throws UsageError.
FrameRange ParseFrameRange(std::string_view text);
// True for names holding one %d, %4d or %04d conversion; throws UsageError
// for a name with two.
bool IsFramePattern(std::string_view name);
// Throws UsageError for a conversion other than %d/%Nd/%0Nd.
std::string ExpandPattern(std::string_view pattern, int number);

// A single pattern needs a range; a range needs a pattern. Throws UsageError.
std::vector<Frame> ExpandInputs(const std::vector<std::string>& inputs, const std::optional<FrameRange>& range);
// Fills each frame's output name from the -o argument: a file, a directory
// (existing, ending in '/', or for several frames a name without an
// extension) or a pattern. Throws UsageError.
void AssignOutputs(std::vector<Frame>& frames, const std::string& output);

}  // namespace huewright

#endif
