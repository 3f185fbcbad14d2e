#include "pe_reader.h"

#include <LIEF/PE.hpp>
#include <LIEF/utils.hpp>

#include <cstdio>
#include <fstream>

#include "tool_error.h"

namespace huewright {
namespace {

constexpr std::size_t kListHeader = 10;
constexpr std::size_t kPropertyHeader = 16;

uint32_t LittleEndian(const std::vector<uint8_t>& bytes, std::size_t at, std::size_t size) {
  uint32_t value = 0;
  for (std::size_t i = size; i-- > 0;) value = (value << 8) | bytes[at + i];
  return value;
}

std::string Hex(uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%0*X", digits, value);
  return text;
}

bool IsText(const std::vector<uint8_t>& bytes, std::size_t from, std::size_t to) {
  for (std::size_t i = from; i < to; ++i)
    if (bytes[i] < 0x20 || bytes[i] > 0x7E) return false;
  return to > from;
}

std::u16string ToU16(const std::string& text) { return std::u16string(text.begin(), text.end()); }

// Resource tree: type directory, then id directory, then one data node per
// language.
void CollectPipls(const LIEF::PE::ResourceNode& root, const std::string& path, PeEffect& effect) {
  for (const LIEF::PE::ResourceNode& type : root.childs()) {
    if (!type.has_name() || type.name() != ToU16("PIPL")) continue;
    for (const LIEF::PE::ResourceNode& id : type.childs())
      for (const LIEF::PE::ResourceNode& language : id.childs()) {
        if (!language.is_data()) continue;
        const auto& data = static_cast<const LIEF::PE::ResourceData&>(language);
        PiplResource pipl = ParsePipl(data.content(), path + " (PIPL " + std::to_string(id.id()) + ")");
        pipl.resource_id = id.id();
        pipl.language = language.id();
        effect.pipls.push_back(std::move(pipl));
      }
  }
}

// Four 16-bit numbers, most significant first.
std::string FourPartVersion(uint32_t most, uint32_t least) {
  return std::to_string(most >> 16) + "." + std::to_string(most & 0xFFFF) + "." + std::to_string(least >> 16) + "." +
         std::to_string(least & 0xFFFF);
}

VersionResource ReadVersion(const LIEF::PE::Binary& binary, const std::string& path) {
  VersionResource result;
  try {
    const LIEF::PE::ResourcesManager manager = binary.resources_manager();
    if (!manager.has_version()) return result;
    const LIEF::PE::ResourceVersion version = manager.version();
    result.present = true;
    if (version.has_fixed_file_info()) {
      const LIEF::PE::ResourceFixedFileInfo& fixed = version.fixed_file_info();
      result.file_version = FourPartVersion(fixed.file_version_MS(), fixed.file_version_LS());
      result.product_version = FourPartVersion(fixed.product_version_MS(), fixed.product_version_LS());
    }
    if (version.has_string_file_info())
      for (const LIEF::PE::LangCodeItem& table : version.string_file_info().langcode_items())
        for (const auto& [key, value] : table.items())
          result.strings.emplace_back(LIEF::u16tou8(key, true), LIEF::u16tou8(value, true));
  } catch (const std::exception& error) {
    throw ToolError(path, std::string("unreadable version resource: ") + error.what());
  }
  return result;
}

}  // namespace

bool LooksLikePe(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  char magic[2] = {};
  return file.read(magic, 2) && magic[0] == 'M' && magic[1] == 'Z';
}

PiplResource ParsePipl(const std::vector<uint8_t>& bytes, const std::string& subject) {
  if (bytes.size() < kListHeader) throw ToolError(subject, "property list shorter than its header");
  PiplResource pipl;
  pipl.size = bytes.size();
  pipl.marker = static_cast<uint16_t>(LittleEndian(bytes, 0, 2));
  pipl.version = LittleEndian(bytes, 2, 4);
  const uint32_t count = LittleEndian(bytes, 6, 4);
  std::size_t at = kListHeader;
  for (uint32_t i = 0; i < count; ++i) {
    if (bytes.size() - at < kPropertyHeader)
      throw ToolError(subject, "property " + std::to_string(i) + " runs past the end of the list");
    PiplProperty property{LittleEndian(bytes, at, 4), LittleEndian(bytes, at + 4, 4), LittleEndian(bytes, at + 8, 4),
                          LittleEndian(bytes, at + 12, 4), {}};
    at += kPropertyHeader;
    const std::size_t padded = (static_cast<std::size_t>(property.length) + 3) & ~std::size_t{3};
    if (bytes.size() - at < property.length)
      throw ToolError(subject, "data of property '" + FourCharText(property.key) + "' runs past the end of the list");
    property.data.assign(bytes.begin() + at, bytes.begin() + at + property.length);
    at += std::min(padded, bytes.size() - at);
    pipl.properties.push_back(std::move(property));
  }
  return pipl;
}

PeEffect InspectPe(const std::string& path) {
  std::unique_ptr<LIEF::PE::Binary> binary;
  try {
    binary = LIEF::PE::Parser::parse(path);
  } catch (const std::exception& error) {
    throw ToolError(path, std::string("not a readable Windows library: ") + error.what());
  }
  if (!binary) throw ToolError(path, "not a readable Windows library");
  PeEffect effect;
  if (binary->has_exports())
    for (const LIEF::PE::ExportEntry& entry : binary->get_export().entries())
      effect.exports.push_back({entry.ordinal(), entry.name()});
  if (binary->has_resources()) {
    CollectPipls(binary->resources(), path, effect);
    effect.version = ReadVersion(*binary, path);
  }
  return effect;
}

std::string FourCharText(uint32_t code) {
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) {
    const char c = static_cast<char>((code >> shift) & 0xFF);
    text += (c >= 0x20 && c <= 0x7E) ? c : '?';
  }
  return text;
}

std::string DescribePiplData(const PiplProperty& p) {
  const std::vector<uint8_t>& d = p.data;
  const std::string key = FourCharText(p.key);
  // A length byte and that many printable characters: a Pascal string.
  if (!d.empty() && d[0] + 1u <= d.size() && IsText(d, 1, 1 + d[0]))
    return "\"" + std::string(d.begin() + 1, d.begin() + 1 + d[0]) + "\"";
  // Printable characters up to a terminating zero: a C string.
  const std::size_t zero = std::find(d.begin(), d.end(), 0) - d.begin();
  if (zero < d.size() && IsText(d, 0, zero) && zero >= 2) return "\"" + std::string(d.begin(), d.begin() + zero) + "\"";
  if (d.size() == 4 && (key == "ePVR" || key == "eSVR"))
    return std::to_string(LittleEndian(d, 0, 2)) + "." + std::to_string(LittleEndian(d, 2, 2));
  if (d.size() == 4 && key == "kind") return "'" + FourCharText(LittleEndian(d, 0, 4)) + "'";
  if (d.size() == 4) return Hex(LittleEndian(d, 0, 4), 8);
  if (d.size() == 2) return Hex(LittleEndian(d, 0, 2), 4);
  std::string bytes;
  for (uint8_t b : d) bytes += Hex(b, 2).substr(2) + " ";
  return bytes;
}

}  // namespace huewright
