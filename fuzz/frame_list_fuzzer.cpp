// libFuzzer target: what a user types for --frames, the input names and -o.
// The input is lines: the --frames text (empty: none), the -o text, then one
// input name per line. Every call either throws UsageError or gives a frame
// list that can be trusted with files: the range reads back as typed, a
// pattern names each frame once and differently, and no two frames share an
// output.
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "frame_list.h"
#include "tool_error.h"

namespace {

using huewright::Frame;
using huewright::FrameRange;
using huewright::UsageError;

void Require(bool holds, const std::string& what) {
  if (holds) return;
  std::fprintf(stderr, "invariant broken: %s\n", what.c_str());
  std::abort();
}

std::vector<std::string> Lines(const uint8_t* data, std::size_t size) {
  std::vector<std::string> lines(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == '\n')
      lines.emplace_back();
    else
      lines.back() += static_cast<char>(data[i]);
  }
  return lines;
}

std::optional<FrameRange> RangeOf(const std::string& text) {
  if (text.empty()) return std::nullopt;
  try {
    const FrameRange range = huewright::ParseFrameRange(text);
    Require(range.first >= 0 && range.first <= range.last, "accepted a range out of order: " + text);
    const std::string canonical = std::to_string(range.first) + "-" + std::to_string(range.last);
    const FrameRange again = huewright::ParseFrameRange(canonical);
    Require(again.first == range.first && again.last == range.last, "the range does not read back: " + text);
    return range;
  } catch (const UsageError&) {
    return std::nullopt;
  }
}

// Two frame numbers, one name each; a name with no conversion is the same
// for every number.
void CheckPattern(const std::string& name, int a, int b) {
  try {
    const bool pattern = huewright::IsFramePattern(name);
    const std::string first = huewright::ExpandPattern(name, a), second = huewright::ExpandPattern(name, b);
    Require(pattern == (a == b || first != second), "'" + name + "': frames " + std::to_string(a) + " and " +
                                                        std::to_string(b) + " named alike or apart wrongly");
    Require(first.size() <= name.size() + 12, "'" + name + "' grew past the widest frame number");
  } catch (const UsageError&) {
  }
}

// Small enough to list; larger lists must be refused, not built.
constexpr int64_t kListed = 4096;

void CheckFrames(const std::vector<std::string>& inputs, const std::optional<FrameRange>& range,
                 const std::string& output) {
  const int64_t count = range ? int64_t{range->last} - range->first + 1 : 0;
  if (range && count > kListed && count <= 1'000'000) return;
  std::vector<Frame> frames;
  try {
    frames = huewright::ExpandInputs(inputs, range);
  } catch (const UsageError&) {
    return;
  }
  Require(count <= kListed, "listed " + std::to_string(count) + " frames of one pattern");
  if (range && inputs.size() == 1 && huewright::IsFramePattern(inputs[0])) {
    Require(static_cast<int64_t>(frames.size()) == count, "a pattern's list is not its range");
    std::set<std::string> names;
    for (const Frame& frame : frames) names.insert(frame.input);
    Require(names.size() == frames.size(), "two frames of '" + inputs[0] + "' read the same file");
  } else {
    Require(frames.size() == inputs.size(), "a list of inputs lost or gained frames");
  }
  try {
    huewright::AssignOutputs(frames, output);
  } catch (const UsageError&) {
    return;
  }
  std::set<std::string> outputs;
  for (const Frame& frame : frames) {
    Require(!frame.output.empty(), "a frame without an output");
    outputs.insert(frame.output);
  }
  Require(outputs.size() == frames.size(), "two frames written to one output");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::vector<std::string> lines = Lines(data, size);
  const std::optional<FrameRange> range = RangeOf(lines[0]);
  const std::string output = lines.size() > 1 ? lines[1] : "";
  const std::vector<std::string> inputs(lines.size() > 2 ? lines.begin() + 2 : lines.end(), lines.end());
  for (const std::string& name : lines) {
    CheckPattern(name, 0, 1);
    CheckPattern(name, 7, INT_MAX);
  }
  CheckFrames(inputs, range, output);
  return 0;
}
