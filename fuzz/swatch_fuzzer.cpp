// libFuzzer target: the swatch file writers fed names of any bytes (broken
// UTF-8 and GBK, control characters, longer than a format's length field)
// and colours that are NaN, infinite or huge, through the notation the
// palette command gives them. Every file must read back, by readers written
// here from the published layouts, as exactly the groups and colours it was
// given: the .ase's blocks inside the file and its names intact, one line per
// colour in the .gpl, one property per colour in the .css, nothing outside
// 0-1 or 0-255. A name the format cannot hold is an error that says so.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "byte_reader.h"
#include "json_text.h"
#include "swatch_export.h"
#include "swatch_readers.h"
#include "tool_error.h"

namespace {

using huewright::SwatchGroup;

void Require(bool holds, const std::string& what) {
  if (holds) return;
  std::fprintf(stderr, "invariant broken: %s\n", what.c_str());
  std::abort();
}

// Up to 255 bytes of the input, repeated up to 512 times: names past the
// 65535 units an .ase name can count.
std::string HostileName(fuzz::ByteReader& in) {
  const int length = in.Byte();
  std::string piece;
  for (int i = 0; i < length && !in.Done(); ++i) piece += static_cast<char>(in.Byte());
  const int repeats = in.Byte() >= 0xF0 ? 1 + in.Byte() * 2 + in.Byte() / 128 : 1;
  std::string name;
  for (int i = 0; i < repeats; ++i) name += piece;
  return name;
}

constexpr huewright::PixelLayout kLayouts[] = {huewright::PixelLayout::kArgb8,     huewright::PixelLayout::kArgb16,
                                               huewright::PixelLayout::kArgbFloat, huewright::PixelLayout::kBgra8,
                                               huewright::PixelLayout::kBgraFloat, huewright::PixelLayout::kVuyaFloat,
                                               huewright::PixelLayout::kVuya8};

SwatchGroup HostileGroup(fuzz::ByteReader& in) {
  SwatchGroup group{HostileName(in), HostileName(in), {}};
  const huewright::PixelLayout layout = in.Pick(kLayouts);
  for (huewright::SwatchNotation& colour : group.colours) {
    std::array<float, 3> rgb;
    for (float& channel : rgb) {
      const int32_t bits = in.I32();
      std::memcpy(&channel, &bits, sizeof channel);
    }
    colour = huewright::Notate(rgb, layout);
  }
  return group;
}

void CheckAse(const std::vector<SwatchGroup>& groups) {
  std::string bytes;
  try {
    bytes = huewright::AseBytes(groups);
  } catch (const huewright::ToolError& error) {
    Require(fuzz::AseCannotHold(groups), std::string("an .ase refused for names it can hold: ") + error.what());
    return;
  }
  Require(!fuzz::AseCannotHold(groups), "an .ase written with a name longer than its length field counts");
  const fuzz::ReadResult read = fuzz::ReadAse(bytes, groups);
  Require(read.ok, ".ase: " + read.fault);
}

void CheckText(const std::vector<SwatchGroup>& groups, const std::string& name) {
  const fuzz::ReadResult gpl = fuzz::ReadGpl(huewright::GplText(groups, name), groups);
  Require(gpl.ok, ".gpl: " + gpl.fault);
  const fuzz::ReadResult css = fuzz::ReadCss(huewright::CssText(groups, name), groups);
  Require(css.ok, ".css: " + css.fault);
  const std::string json = huewright::JsonString(name);
  Require(huewright::IsUtf8(json) && json.size() >= 2 && json.front() == '"' && json.back() == '"',
          "a JSON string that is not quoted UTF-8");
  for (char c : json) Require(static_cast<unsigned char>(c) >= 0x20, "a control character inside a JSON string");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  fuzz::ByteReader in(data, size);
  std::vector<SwatchGroup> groups(in.Byte() % 4);
  for (SwatchGroup& group : groups) group = HostileGroup(in);
  const std::string name = HostileName(in);
  CheckAse(groups);
  CheckText(groups, name);
  return 0;
}
