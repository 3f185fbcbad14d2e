// Facts about the effect that the host reads in more than one place: global
// setup writes them, and the property list resource carries the same values.
#ifndef HUEWRIGHT_ENTRY_EFFECT_CONSTANTS_H
#define HUEWRIGHT_ENTRY_EFFECT_CONSTANTS_H

#include <cstdint>

#include "pf_host.h"

namespace effect {

// Version 1, subversion 0, fix 0, stage develop (0), build 1.
constexpr uint32_t PackVersion(uint32_t version, uint32_t subversion, uint32_t fix, uint32_t stage,
                               uint32_t build) {
  return (version << 19) | (subversion << 15) | (fix << 11) | (stage << 9) | build;
}
constexpr uint32_t kVersionMajor = 1;
constexpr uint32_t kVersionMinor = 0;
constexpr uint32_t kMyVersion = PackVersion(kVersionMajor, kVersionMinor, 0, 0, 1);
static_assert(kMyVersion == 0x00080001);

constexpr int32_t kOutFlags = PF_OutFlag_DEEP_COLOR_AWARE;
constexpr int32_t kOutFlags2 = PF_OutFlag2_SUPPORTS_SMART_RENDER | PF_OutFlag2_FLOAT_COLOR_AWARE |
                               PF_OutFlag2_SUPPORTS_THREADED_RENDERING;
static_assert(kOutFlags == 0x02000000 && kOutFlags2 == 0x08001400);

// Effect interface version the library is written against.
constexpr int32_t kInterfaceMajor = 13;
constexpr int32_t kInterfaceMinor = 25;

constexpr const char* kDisplayName = "Huewright Generator";
constexpr const char* kCategory = "Kestrow Productions";
constexpr const char* kPiplMatchName = "Kestrow Huewright Generator";
constexpr const char* kCallbackMatchName = "Kestrow Huewright";
constexpr const char* kEntryPointName = "EffectMain";
constexpr int32_t kEffectKind = PF_FOUR_CHAR_CODE('e', 'F', 'K', 'T');
constexpr int32_t kCallbackReservedInfo = 8;

// Declared to Premiere Pro, in this order. VUYA 8-bit is not among them.
constexpr PrPixelFormat kPremiereFormats[] = {PrPixelFormat_VUYA_4444_32f, PrPixelFormat_BGRA_4444_32f,
                                              PrPixelFormat_BGRA_4444_8u};

}  // namespace effect

#endif
