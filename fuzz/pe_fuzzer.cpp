// libFuzzer target: a damaged or hostile Windows library handed to
// `huewright info`. Each input is read twice: as one property list on its
// own (ParsePipl), and as a whole file on disk (InspectPe, through LIEF, as
// the tool reads an .aex or a Win64 .ofx). Either gives a result that stays
// inside the bytes it came from, or one ToolError that names the file;
// anything else (another exception, a crash, a sanitizer report) is a fault.
#include <unistd.h>

#include <LIEF/logging.hpp>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "pe_reader.h"
#include "tool_error.h"

namespace {

using huewright::PiplResource;
using huewright::ToolError;

void Require(bool holds, const std::string& what) {
  if (holds) return;
  std::fprintf(stderr, "invariant broken: %s\n", what.c_str());
  std::abort();
}

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

// The list's declared lengths are the data it holds, and all of it came out
// of the input: headers plus data never exceed its size.
void CheckPipl(const PiplResource& pipl, std::size_t input_size, const std::string& subject) {
  std::size_t used = 10;
  for (const huewright::PiplProperty& property : pipl.properties) {
    Require(property.data.size() == property.length, subject + ": a property's data is not its declared length");
    used += 16 + property.data.size();
    Require(huewright::FourCharText(property.key).size() == 4, subject + ": a key not shown as four characters");
    huewright::DescribePiplData(property);
  }
  Require(used <= input_size, subject + ": properties hold more bytes than the list");
}

void ParseAsPropertyList(const std::vector<uint8_t>& bytes) {
  const std::string subject = "input.pipl";
  try {
    const PiplResource pipl = huewright::ParsePipl(bytes, subject);
    Require(pipl.size == bytes.size(), "the list's size is not the input's");
    CheckPipl(pipl, bytes.size(), subject);
  } catch (const ToolError& error) {
    Require(StartsWith(error.what(), subject + ": "),
            std::string("an error that does not name the list: ") + error.what());
  }
}

std::filesystem::path ScratchFolder() {
  return std::filesystem::temp_directory_path() / ("huewright-pe-fuzz-" + std::to_string(getpid()));
}

// One file per process, rewritten for every input: the reader takes a path.
const std::string& ScratchFile() {
  static const std::string path = [] {
    std::filesystem::create_directories(ScratchFolder());
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(ScratchFolder(), ignored);
    });
    return (ScratchFolder() / "input.aex").string();
  }();
  return path;
}

void InspectAsFile(const std::vector<uint8_t>& bytes) {
  const std::string& path = ScratchFile();
  {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    Require(static_cast<bool>(file), "cannot write the scratch file " + path);
  }
  Require(huewright::LooksLikePe(path) == (bytes.size() >= 2 && bytes[0] == 'M' && bytes[1] == 'Z'),
          "LooksLikePe disagrees with the first two bytes");
  try {
    const huewright::PeEffect effect = huewright::InspectPe(path);
    for (const PiplResource& pipl : effect.pipls) CheckPipl(pipl, pipl.size, path + " (PIPL)");
  } catch (const ToolError& error) {
    Require(StartsWith(error.what(), path), std::string("an error that does not name the file: ") + error.what());
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // LIEF reports what it finds odd on stderr; the target judges by results.
  LIEF::Logger::disable();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::vector<uint8_t> bytes(data, data + size);
  ParseAsPropertyList(bytes);
  InspectAsFile(bytes);
  return 0;
}
