#include "invariants.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

namespace fuzz {

namespace {

constexpr double kCellEdges[] = {0.1, 0.26, 0.42, 0.58, 0.74, 0.9};
constexpr double kStripTop = 0.8;
constexpr double kStripBottom = 0.95;  // inclusive

bool InSwatchCell(A_long x, A_long y, double width, double height) {
  const double column = x, row = y;
  if (!(row >= kStripTop * height && row <= kStripBottom * height)) return false;
  for (int cell = 0; cell < 5; ++cell)
    if (column >= kCellEdges[cell] * width && column < kCellEdges[cell + 1] * width) return true;
  return false;
}

std::string PixelText(const minihost::World& world, A_long x, A_long y) {
  std::string text;
  const uint8_t* address = world.PixelAddress(x, y);
  char hex[4];
  for (std::size_t byte = 0; byte < minihost::PixelBytes(world.Layout()); ++byte) {
    std::snprintf(hex, sizeof hex, "%02x", address[byte]);
    text += hex;
  }
  return text;
}

bool SamePixel(const Frame& frame, A_long x, A_long y) {
  return std::memcmp(frame.input.PixelAddress(x, y), frame.output.PixelAddress(x, y),
                     minihost::PixelBytes(frame.input.Layout())) == 0;
}

void ExpectSamePixel(const std::string& command, const Frame& frame, A_long x, A_long y, const char* why) {
  if (SamePixel(frame, x, y)) return;
  Violation(command, std::string(why) + ": output pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") is " +
                         PixelText(frame.output, x, y) + ", input has " + PixelText(frame.input, x, y));
}

std::string CallList(const std::vector<minihost::CallRecord>& calls, std::size_t first_call) {
  std::string list;
  for (std::size_t index = first_call; index < calls.size(); ++index)
    list += " " + calls[index].name + (calls[index].text.empty() ? "" : "(" + calls[index].text + ")") + "=" +
            std::to_string(calls[index].result);
  return list;
}

}  // namespace

void Violation(const std::string& command, const std::string& what) {
  std::fprintf(stderr, "\nINVARIANT VIOLATED after %s:\n%s\n", command.c_str(), what.c_str());
  std::fflush(stderr);
  std::abort();
}

void ExpectAllowedResult(const std::string& command, PF_Err result, const ResultCodes& codes) {
  if (!codes.Allowed(result))
    Violation(command, "the effect returned " + std::to_string(result) +
                           ", which is neither one of its own codes nor one a host call was told to return");
}

void ExpectExactResult(const std::string& command, PF_Err result, PF_Err expected) {
  if (result != expected)
    Violation(command, "the effect returned " + std::to_string(result) + " where " + std::to_string(expected) +
                           " was due");
}

void ExpectFirstFailurePassedOn(const std::string& command, const minihost::Host& host, std::size_t first_call,
                                PF_Err result) {
  static const std::set<std::string> kNotInspected = {"PF_GetPixelFormat",          "GetPixelFormat",
                                                      "ClearSupportedPixelFormats", "AddSupportedPixelFormat",
                                                      "ReleaseSuite",               "sprintf",
                                                      "strcpy"};
  const std::vector<minihost::CallRecord> calls = host.Log().All();
  for (std::size_t index = first_call; index < calls.size(); ++index) {
    const minihost::CallRecord& call = calls[index];
    if (call.name == "AcquireSuite" && (call.result != 0 || call.values.at(1) == 0)) return;
    if (call.result == PF_Err_NONE || kNotInspected.count(call.name)) continue;
    if (result != call.result)
      Violation(command, call.name + " failed with " + std::to_string(call.result) + ", yet the effect returned " +
                             std::to_string(result) + "; calls:" + CallList(calls, first_call));
    return;
  }
}

void ExpectHostClean(const std::string& command, const minihost::Host& host) {
  const std::string report = host.VerifyReport();
  if (!report.empty()) Violation(command, "the host reports:\n" + report);
}

void ExpectWorldsIntact(const std::string& command, const Frame& frame) {
  std::string damage;
  for (const std::string& text : frame.input.GuardDamage()) damage += "input " + text + "\n";
  for (const std::string& text : frame.output.GuardDamage()) damage += "output " + text + "\n";
  if (!damage.empty()) Violation(command, "a write outside the worlds:\n" + damage);
  if (frame.input.PixelBytesCopy() != frame.input_pixels) Violation(command, "the input world's pixels changed");
}

void ExpectPassThrough(const std::string& command, const Frame& frame, double frame_width, double frame_height,
                       A_long rows) {
  for (A_long y = 0; y < rows && y < frame.input.Height(); ++y)
    for (A_long x = 0; x < frame.input.Width(); ++x)
      if (!InSwatchCell(x, y, frame_width, frame_height))
        ExpectSamePixel(command, frame, x, y, "outside the swatches the input passes through");
}

void ExpectExactCopy(const std::string& command, const Frame& frame) {
  for (A_long y = 0; y < frame.input.Height(); ++y)
    for (A_long x = 0; x < frame.input.Width(); ++x)
      ExpectSamePixel(command, frame, x, y, "with the swatches off the output is a copy of the input");
}

}  // namespace fuzz
