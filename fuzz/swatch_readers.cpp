#include "swatch_readers.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace fuzz {
namespace {

using huewright::SwatchGroup;
using huewright::SwatchNotation;

constexpr int kBands = huewright::kBands;

std::string BandName(const SwatchGroup& group, int band) {
  return group.label + " Band " + std::to_string(huewright::BandNumber(band));
}

// UTF-16 units as a reader of the name would see them: each well-formed
// UTF-8 sequence its character, every other byte U+FFFD.
std::u16string Utf16Of(const std::string& text) {
  std::u16string units;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t size = text.size();
  for (std::size_t i = 0; i < size;) {
    const unsigned char lead = bytes[i];
    int length = lead < 0x80                    ? 1
                 : lead >= 0xC2 && lead <= 0xDF ? 2
                 : lead >= 0xE0 && lead <= 0xEF ? 3
                 : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                : 0;
    uint32_t code = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
    // The second byte's range rules out overlong forms, surrogates and
    // values past U+10FFFF.
    const unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    const unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    for (int k = 1; k < length; ++k) {
      const bool in_range =
          i + k < size && bytes[i + k] >= (k == 1 ? low : 0x80) && bytes[i + k] <= (k == 1 ? high : 0xBF);
      if (!in_range) {
        length = 0;
        break;
      }
      code = (code << 6) | (bytes[i + k] & 0x3F);
    }
    if (length == 0) {
      units += u'\uFFFD';
      ++i;
      continue;
    }
    if (code >= 0x10000) {
      units += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
      units += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      units += static_cast<char16_t>(code);
    }
    i += static_cast<std::size_t>(length);
  }
  return units;
}

constexpr std::size_t kAseNameUnits = 0xFFFF - 1;  // the length counts the final zero

float UnitInFile(double value) { return value > 0.0 ? static_cast<float>(std::min(value, 1.0)) : 0.0f; }

class AseReader {
 public:
  explicit AseReader(const std::string& bytes) : bytes_(bytes), limit_(bytes.size()) {}

  ReadResult Read(const std::vector<SwatchGroup>& groups) {
    if (Take(4) != "ASEF" || U16() != 1 || U16() != 0) return Fault("not an ASEF 1.0 header");
    const uint32_t blocks = U32();
    if (blocks != groups.size() * (2 + kBands)) return Fault("block count " + std::to_string(blocks));
    for (const SwatchGroup& group : groups) {
      if (!Block(0xC001) || Name() != Utf16Of(group.title)) return Fault("group start or its name");
      if (!BlockEnded()) return Fault("group start holds more than its name");
      for (int band = 0; band < kBands; ++band) {
        if (!Block(0x0001) || Name() != Utf16Of(BandName(group, band))) return Fault("colour block or its name");
        if (Take(4) != "RGB ") return Fault("colour model");
        for (double unit : group.colours[band].unit) {
          const float value = F32();
          if (!(value >= 0.0f && value <= 1.0f) || value != UnitInFile(unit)) return Fault("colour value");
        }
        if (U16() != 2 || !BlockEnded()) return Fault("colour type or block length");
      }
      if (!Block(0xC002) || !BlockEnded()) return Fault("group end");
    }
    if (broken_ || at_ != bytes_.size()) return Fault("bytes after the last block");
    return {};
  }

 private:
  bool Block(uint16_t type) {
    limit_ = bytes_.size();
    const uint16_t found = U16();
    const uint32_t length = U32();
    if (broken_ || found != type || length > bytes_.size() - at_) return false;
    limit_ = at_ + length;
    return true;
  }
  bool BlockEnded() { return !broken_ && at_ == limit_; }
  std::u16string Name() {
    const uint16_t units = U16();
    std::u16string name;
    for (uint16_t i = 0; i + 1 < units && !broken_; ++i) name += static_cast<char16_t>(U16());
    if (units == 0 || U16() != 0) broken_ = true;
    return name;
  }
  std::string Take(std::size_t n) {
    if (broken_ || limit_ - at_ < n) {
      broken_ = true;
      return {};
    }
    at_ += n;
    return bytes_.substr(at_ - n, n);
  }
  uint16_t U16() {
    const std::string b = Take(2);
    return broken_ ? 0
                   : static_cast<uint16_t>(static_cast<unsigned char>(b[0]) << 8 | static_cast<unsigned char>(b[1]));
  }
  uint32_t U32() { return static_cast<uint32_t>(U16()) << 16 | U16(); }
  float F32() {
    const uint32_t bits = U32();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }
  ReadResult Fault(const std::string& what) const {
    return {false, what + " at byte " + std::to_string(at_) + " of " + std::to_string(bytes_.size())};
  }

  const std::string& bytes_;
  std::size_t at_ = 0, limit_;
  bool broken_ = false;
};

std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  if (start != text.size()) lines.push_back(text.substr(start));  // no final newline: a fault below
  return lines;
}

bool HasControl(const std::string& text) {
  return std::any_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

// One CSS identifier: letters, digits, '-' and '_' as they are, anything
// else as a backslash escape (hex digits and one optional space, or one
// character). Returns the code points, or false past the identifier's end.
bool CssIdentifier(const std::string& text, std::size_t& at, std::u32string& out) {
  auto hex = [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; };
  while (at < text.size()) {
    const char c = text[at];
    if (std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_') {
      out += static_cast<char32_t>(c);
      ++at;
    } else if (c == '\\' && at + 1 < text.size() && hex(text[at + 1])) {
      std::size_t end = at + 1;
      while (end < text.size() && end - at <= 6 && hex(text[end])) ++end;
      out += static_cast<char32_t>(std::stoul(text.substr(at + 1, end - at - 1), nullptr, 16));
      at = end + (end < text.size() && text[end] == ' ');
    } else if (c == '\\' && at + 1 < text.size() && text[at + 1] != '\n') {
      out += static_cast<char32_t>(static_cast<unsigned char>(text[at + 1]));
      at += 2;
    } else {
      return true;
    }
  }
  return true;
}

std::u32string BytesAsCodePoints(const std::string& text) {
  std::u32string out;
  for (char c : text) out += static_cast<char32_t>(static_cast<unsigned char>(c));
  return out;
}

}  // namespace

bool AseCannotHold(const std::vector<SwatchGroup>& groups) {
  for (const SwatchGroup& group : groups) {
    if (Utf16Of(group.title).size() > kAseNameUnits) return true;
    for (int band = 0; band < kBands; ++band)
      if (Utf16Of(BandName(group, band)).size() > kAseNameUnits) return true;
  }
  return false;
}

ReadResult ReadAse(const std::string& bytes, const std::vector<SwatchGroup>& groups) {
  return AseReader(bytes).Read(groups);
}

ReadResult ReadGpl(const std::string& text, const std::vector<SwatchGroup>& groups) {
  if (text.empty() || text.back() != '\n') return {false, "no final newline"};
  const std::vector<std::string> lines = LinesOf(text);
  if (lines.size() != 4 + groups.size() * kBands) return {false, std::to_string(lines.size()) + " lines"};
  if (lines[0] != "GIMP Palette" || lines[1].rfind("Name: ", 0) != 0 || HasControl(lines[1]) ||
      lines[2] != "Columns: 5" || lines[3] != "#")
    return {false, "header"};
  std::size_t line = 4;
  for (const SwatchGroup& group : groups)
    for (int band = 0; band < kBands; ++band, ++line) {
      const SwatchNotation& colour = group.colours[band];
      // Three right-aligned numbers and a tab: GIMP reads the numbers as
      // whitespace-separated fields and the rest of the line as the name.
      int r = -1, g = -1, b = -1, used = 0;
      const std::string& row = lines[line];
      const std::size_t tab = row.find('\t');
      if (tab == std::string::npos || std::sscanf(row.substr(0, tab).c_str(), "%d %d %d%n", &r, &g, &b, &used) != 3 ||
          static_cast<std::size_t>(used) != tab)
        return {false, "colour line " + std::to_string(line)};
      used = static_cast<int>(tab + 1);
      if (r != colour.rgb8[0] || g != colour.rgb8[1] || b != colour.rgb8[2] || std::min({r, g, b}) < 0 ||
          std::max({r, g, b}) > 255)
        return {false, "colour values on line " + std::to_string(line)};
      const std::string name = row.substr(static_cast<std::size_t>(used));
      if (HasControl(name)) return {false, "a control character in the name on line " + std::to_string(line)};
      if (!HasControl(group.label) && name != BandName(group, band))
        return {false, "name on line " + std::to_string(line) + " is not the colour's"};
    }
  return {};
}

ReadResult ReadCss(const std::string& text, const std::vector<SwatchGroup>& groups) {
  if (text.empty() || text.back() != '\n') return {false, "no final newline"};
  const std::vector<std::string> lines = LinesOf(text);
  if (lines.size() != 3 + groups.size() * kBands) return {false, std::to_string(lines.size()) + " lines"};
  const std::string& comment = lines[0];
  const std::string open = "/* huewright palette: ", close = " */";
  if (comment.rfind(open, 0) != 0 || comment.size() < open.size() + close.size() ||
      comment.compare(comment.size() - close.size(), close.size(), close) != 0 ||
      comment.substr(open.size(), comment.size() - open.size() - close.size()).find("*/") != std::string::npos ||
      HasControl(comment))
    return {false, "the comment naming the host ends early or spans lines"};
  if (lines[1] != ":root {" || lines.back() != "}") return {false, "the :root block"};
  std::size_t line = 2;
  for (const SwatchGroup& group : groups)
    for (int band = 0; band < kBands; ++band, ++line) {
      const std::string& property = lines[line];
      const std::string prefix = "  --huewright-";
      if (property.rfind(prefix, 0) != 0) return {false, "property line " + std::to_string(line)};
      std::size_t at = prefix.size();
      std::u32string name;
      CssIdentifier(property, at, name);
      const std::u32string expected = BytesAsCodePoints(group.label + "-band-" + std::to_string(band + 1));
      if (name != expected) return {false, "property name on line " + std::to_string(line) + " is not the colour's"};
      const SwatchNotation& colour = group.colours[band];
      const std::string value = colour.known ? ": " + colour.hex + ";" : ": #000000; /* not a number */";
      if (property.substr(at) != value) return {false, "property value on line " + std::to_string(line)};
    }
  return {};
}

}  // namespace fuzz
