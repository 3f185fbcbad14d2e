// What a Windows build of an effect (.aex) carries, read from the file with
// LIEF: its exports, the property list resource the host reads before
// loading it, and the file version resource. Nothing here loads or runs the
// library.
#ifndef HUEWRIGHT_TOOLS_PE_INSPECT_H
#define HUEWRIGHT_TOOLS_PE_INSPECT_H

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace huewright {

struct PeExport {
  uint32_t ordinal = 0;
  std::string name;
};

struct PiplProperty {
  uint32_t vendor = 0;  // four-character codes, first character most significant
  uint32_t key = 0;
  uint32_t id = 0;
  uint32_t length = 0;  // as declared; the data is padded to a multiple of 4
  std::vector<uint8_t> data;
};

struct PiplResource {
  uint32_t resource_id = 0;
  uint32_t language = 0;
  uint16_t marker = 0;
  uint32_t version = 0;
  std::size_t size = 0;
  std::vector<PiplProperty> properties;
};

// The VERSIONINFO resource, as Explorer's Details tab shows it.
struct VersionResource {
  bool present = false;
  std::string file_version;     // the fixed numbers, "1.0.0.1"
  std::string product_version;
  std::vector<std::pair<std::string, std::string>> strings;  // CompanyName, ProductName, ...
};

struct PeEffect {
  std::vector<PeExport> exports;
  std::vector<PiplResource> pipls;
  VersionResource version;
};

bool LooksLikePe(const std::string& path);
// Throws ToolError naming the file when it is not a readable PE file or its
// property list is malformed.
PeEffect InspectPe(const std::string& path);
// Parses the bytes of one property list; throws ToolError naming `subject`.
PiplResource ParsePipl(const std::vector<uint8_t>& bytes, const std::string& subject);

std::string FourCharText(uint32_t code);
// The data of a property as a user reads it: text, version or hex number.
std::string DescribePiplData(const PiplProperty& property);

}  // namespace huewright

#endif
