#include "frame_list.h"

#include <charconv>
#include <cstdint>
#include <filesystem>
#include <set>
#include <system_error>

#include "tool_error.h"

namespace huewright {
namespace {

namespace fs = std::filesystem;

// Every frame of a pattern is named before the first is read, so a range of
// billions would exhaust memory instead of failing; a million frames is over
// eleven hours at 24 frames a second.
constexpr int64_t kMostPatternFrames = 1'000'000;

std::optional<int> ParseInt(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

struct Conversion {
  std::size_t start = std::string_view::npos;  // the '%'
  std::size_t end = 0;                          // one past the 'd'
  int width = 0;
  bool zero_fill = false;
};

// A name such as h%02d%03d.png has no one frame number to fill in.
void RequireNoSecondConversion(std::string_view name, std::size_t from) {
  for (std::size_t i = from; i < name.size(); ++i) {
    if (name[i] != '%') continue;
    if (i + 1 < name.size() && name[i + 1] == '%') {
      ++i;
      continue;
    }
    throw UsageError("'" + std::string(name) + "': a frame pattern takes one % conversion (write %% for a percent sign)");
  }
}

// The first %... conversion; "%%" is a literal percent sign.
std::optional<Conversion> FindConversion(std::string_view name) {
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] != '%') continue;
    if (i + 1 < name.size() && name[i + 1] == '%') {
      ++i;
      continue;
    }
    Conversion c;
    c.start = i;
    std::size_t j = i + 1;
    if (j < name.size() && name[j] == '0') c.zero_fill = true, ++j;
    const std::size_t digits = j;
    while (j < name.size() && name[j] >= '0' && name[j] <= '9') ++j;
    if (j > digits) c.width = ParseInt(name.substr(digits, j - digits)).value_or(-1);
    if (j >= name.size() || name[j] != 'd' || c.width < 0 || c.width > 12)
      throw UsageError("'" + std::string(name) + "': frame patterns use %d, %4d or %04d");
    c.end = j + 1;
    RequireNoSecondConversion(name, c.end);
    return c;
  }
  return std::nullopt;
}

std::string Unescape(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    out += text[i];
    if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == '%') ++i;
  }
  return out;
}

bool IsDirectory(const std::string& path) {
  std::error_code error;
  return fs::is_directory(path, error);
}

// A frame number after the last dot is not an extension.
bool HasFormatExtension(const std::string& name) {
  const std::string extension = fs::path(name).extension().string();
  for (char c : extension)
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
  return false;
}

// Movies are not written: their frames become PNG images, which hold 8
// and 16-bit RGB(A) as decoded.
constexpr const char* kMovieFrameExtension = ".png";

// An output named without an extension keeps the input's file format.
std::string WithInputExtension(const std::string& output, const Frame& frame) {
  if (HasFormatExtension(output)) return output;
  return output + (frame.movie ? kMovieFrameExtension : fs::path(frame.input).extension().string());
}

std::string NameInDirectory(const Frame& frame) {
  if (!frame.movie) return fs::path(frame.input).filename().string();
  return fs::path(frame.input).stem().string() + ExpandPattern(".%04d", frame.number) + kMovieFrameExtension;
}

void RequireUniqueOutputs(const std::vector<Frame>& frames) {
  std::set<std::string> seen;
  for (const Frame& frame : frames)
    if (!seen.insert(frame.output).second)
      throw UsageError("two inputs would be written to the same output '" + frame.output +
                       "'; use an output pattern such as out.%04d.png");
}

}  // namespace

FrameRange ParseFrameRange(std::string_view text) {
  const std::size_t dash = text.find('-', 1);
  const auto first = ParseInt(text.substr(0, dash));
  const auto last = dash == std::string_view::npos ? first : ParseInt(text.substr(dash + 1));
  if (!first || !last || *first < 0 || *last < *first)
    throw UsageError("'" + std::string(text) + "': expected FIRST-LAST with 0 <= FIRST <= LAST");
  return {*first, *last};
}

bool IsFramePattern(std::string_view name) { return FindConversion(name).has_value(); }

std::string ExpandPattern(std::string_view pattern, int number) {
  const std::optional<Conversion> c = FindConversion(pattern);
  if (!c) return Unescape(pattern);
  std::string digits = std::to_string(number);
  if (static_cast<int>(digits.size()) < c->width)
    digits.insert(0, static_cast<std::size_t>(c->width) - digits.size(), c->zero_fill ? '0' : ' ');
  return Unescape(pattern.substr(0, c->start)) + digits + Unescape(pattern.substr(c->end));
}

std::vector<Frame> ExpandInputs(const std::vector<std::string>& inputs, const std::optional<FrameRange>& range) {
  if (inputs.empty()) throw UsageError("no input image given");
  std::vector<Frame> frames;
  const bool pattern = inputs.size() == 1 && IsFramePattern(inputs[0]);
  if (pattern) {
    if (!range) throw UsageError("'" + inputs[0] + "' is a frame pattern: give the frames with --frames FIRST-LAST");
    // Counted in 64 bits: a range ending at the largest int would overflow
    // a loop that steps past its end.
    const int64_t count = int64_t{range->last} - range->first + 1;
    if (count > kMostPatternFrames)
      throw UsageError("--frames " + std::to_string(range->first) + "-" + std::to_string(range->last) + ": at most " +
                       std::to_string(kMostPatternFrames) + " frames of a pattern at once");
    for (int64_t i = 0; i < count; ++i) {
      const int n = static_cast<int>(range->first + i);
      frames.push_back({n, ExpandPattern(inputs[0], n), {}});
    }
    return frames;
  }
  if (range) throw UsageError("--frames needs one input pattern such as shot.%04d.exr");
  int number = 1;
  for (const std::string& input : inputs) frames.push_back({number++, input, {}});
  return frames;
}

void AssignOutputs(std::vector<Frame>& frames, const std::string& output) {
  if (output.empty()) throw UsageError("no output given: use -o OUTPUT");
  const bool pattern = IsFramePattern(output);
  // A directory: one that exists, a name ending in '/', or, for several
  // frames, a name with no extension (created when missing).
  const bool to_directory = IsDirectory(output) || output.back() == '/' ||
                            (frames.size() > 1 && !pattern && !HasFormatExtension(output));
  if (frames.size() > 1 && !to_directory && !pattern)
    throw UsageError("several frames need an output directory or an output pattern such as out.%04d.png, "
                     "not '" + output + "'");
  for (Frame& frame : frames) {
    if (to_directory)
      frame.output = (fs::path(output) / NameInDirectory(frame)).string();
    else if (pattern)
      frame.output = WithInputExtension(ExpandPattern(output, frame.number), frame);
    else
      frame.output = WithInputExtension(output, frame);
  }
  RequireUniqueOutputs(frames);
}

}  // namespace huewright
