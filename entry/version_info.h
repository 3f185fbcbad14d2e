// The file version resource ("VERSIONINFO") that Explorer's Details tab,
// installers and support staff read. Every number comes from the version
// word that global setup registers (effect::kMyVersion), so the two cannot
// drift apart; version_generate.cpp writes the resource script from it.
#ifndef HUEWRIGHT_ENTRY_VERSION_INFO_H
#define HUEWRIGHT_ENTRY_VERSION_INFO_H

#include <cstdint>
#include <string>

#include "effect_constants.h"

namespace version_info {

// The fields of the version word: version << 19 | subversion << 15 |
// fix << 11 | stage << 9 | build.
struct Parts {
  uint32_t major, minor, fix, stage, build;
};

constexpr Parts Unpack(uint32_t word) {
  return {word >> 19, (word >> 15) & 0xF, (word >> 11) & 0xF, (word >> 9) & 0x3, word & 0x1FF};
}

constexpr Parts kParts = Unpack(effect::kMyVersion);
static_assert(effect::PackVersion(kParts.major, kParts.minor, kParts.fix, kParts.stage, kParts.build) ==
              effect::kMyVersion);

constexpr uint32_t kStageRelease = 3;
// Windows' VS_FF_PRERELEASE: set for every stage before release.
constexpr uint32_t kFilePrerelease = 0x2;

constexpr const char* kCompanyName = "Kestrow Productions";
// The product is the effect: one name for the effects panel and the file.
constexpr const char* kProductName = effect::kDisplayName;
constexpr const char* kFileDescription = "Huewright Generator effect for After Effects and Premiere Pro";
constexpr const char* kInternalName = "HuewrightGenerator";
constexpr const char* kOriginalFilename = "HuewrightGenerator.aex";
constexpr const char* kLegalCopyright = "Copyright (C) 2026 Kestrow Productions. Apache License 2.0.";

// "1.0.0": the release's name, as packages and installers show it.
inline std::string ReleaseText(const Parts& p = kParts) {
  return std::to_string(p.major) + "." + std::to_string(p.minor) + "." + std::to_string(p.fix);
}

// "1.0.0.1": the four numbers of the file version.
inline std::string FileVersionText(const Parts& p = kParts) {
  return ReleaseText(p) + "." + std::to_string(p.build);
}

}  // namespace version_info

#endif
