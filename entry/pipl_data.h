// The property list resource ("PIPL" 16000) that the host reads from the
// library file before it loads it. The bytes are computed here, at compile
// time, from effect_constants.h: the version and flags in the resource are the
// very values global setup writes, so the two cannot drift apart. The Windows
// build writes these bytes into the resource through pipl_generate.cpp.
#ifndef HUEWRIGHT_ENTRY_PIPL_DATA_H
#define HUEWRIGHT_ENTRY_PIPL_DATA_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "effect_constants.h"

namespace pipl {

constexpr std::size_t kSize = 314;
constexpr std::size_t kHeaderSize = 10;
constexpr std::size_t kPropertyHeaderSize = 16;
constexpr uint32_t kPropertyCount = 12;
constexpr uint16_t kFormatMarker = 1;
constexpr uint32_t kListVersion = 0;
constexpr uint16_t kPropertyListMajor = 2;
constexpr uint16_t kPropertyListMinor = 0;
constexpr uint16_t kInfoFlags = 0;
constexpr uint32_t kReservedInfo = 0;

// Registration codes keep their first character in the most significant byte,
// so they read reversed in the little-endian file.
constexpr uint32_t FourCharCode(std::string_view code) {
  if (code.size() != 4) throw "a four-character code has four characters";
  uint32_t value = 0;
  for (char c : code) value = (value << 8) | static_cast<uint8_t>(c);
  return value;
}

constexpr std::size_t RoundUpTo4(std::size_t n) { return (n + 3) & ~std::size_t{3}; }

struct Image {
  std::array<uint8_t, kSize> bytes{};
  std::size_t size = 0;
  std::array<std::size_t, kPropertyCount> property_offsets{};
  std::size_t property_count = 0;
};

// Appends to an Image; running past kSize stops compilation.
class Writer {
 public:
  constexpr void U8(uint8_t value) {
    if (image_.size >= kSize) throw "the property list outgrew its size";
    image_.bytes[image_.size++] = value;
  }
  constexpr void U16(uint16_t value) {
    U8(static_cast<uint8_t>(value));
    U8(static_cast<uint8_t>(value >> 8));
  }
  constexpr void U32(uint32_t value) {
    U16(static_cast<uint16_t>(value));
    U16(static_cast<uint16_t>(value >> 16));
  }
  constexpr void Chars(std::string_view text) {
    for (char c : text) U8(static_cast<uint8_t>(c));
  }

  // Opens a property whose header declares `length` bytes of data.
  constexpr void BeginProperty(std::string_view key, uint32_t length) {
    if (image_.property_count >= kPropertyCount) throw "too many properties";
    image_.property_offsets[image_.property_count++] = image_.size;
    U32(FourCharCode("8BIM"));
    U32(FourCharCode(key));
    U32(0);
    U32(length);
    data_start_ = image_.size;
  }
  // Zero bytes up to the next multiple of 4 from the start of the data.
  constexpr void EndProperty() {
    while ((image_.size - data_start_) % 4 != 0) U8(0);
  }

  constexpr const Image& Result() const { return image_; }

 private:
  Image image_{};
  std::size_t data_start_ = 0;
};

constexpr void PascalTextProperty(Writer& out, std::string_view key, std::string_view text) {
  if (text.size() > 255) throw "a length-prefixed text holds at most 255 characters";
  out.BeginProperty(key, static_cast<uint32_t>(RoundUpTo4(1 + text.size())));
  out.U8(static_cast<uint8_t>(text.size()));
  out.Chars(text);
  out.EndProperty();
}

constexpr void ZeroTerminatedTextProperty(Writer& out, std::string_view key, std::string_view text) {
  out.BeginProperty(key, static_cast<uint32_t>(RoundUpTo4(text.size() + 1)));
  out.Chars(text);
  out.U8(0);
  out.EndProperty();
}

constexpr void U32Property(Writer& out, std::string_view key, uint32_t value) {
  out.BeginProperty(key, 4);
  out.U32(value);
  out.EndProperty();
}

// Major number first.
constexpr void VersionPairProperty(Writer& out, std::string_view key, uint16_t major, uint16_t minor) {
  out.BeginProperty(key, 4);
  out.U16(major);
  out.U16(minor);
  out.EndProperty();
}

// The length field counts the two data bytes but not the padding after them.
constexpr void U16Property(Writer& out, std::string_view key, uint16_t value) {
  out.BeginProperty(key, 2);
  out.U16(value);
  out.EndProperty();
}

constexpr Image BuildImage() {
  Writer out;
  out.U16(kFormatMarker);
  out.U32(kListVersion);
  out.U32(kPropertyCount);
  U32Property(out, "kind", static_cast<uint32_t>(effect::kEffectKind));
  PascalTextProperty(out, "name", effect::kDisplayName);
  PascalTextProperty(out, "catg", effect::kCategory);
  ZeroTerminatedTextProperty(out, "8664", effect::kEntryPointName);
  VersionPairProperty(out, "ePVR", kPropertyListMajor, kPropertyListMinor);
  VersionPairProperty(out, "eSVR", static_cast<uint16_t>(effect::kInterfaceMajor),
                      static_cast<uint16_t>(effect::kInterfaceMinor));
  U32Property(out, "eVER", effect::kMyVersion);
  U16Property(out, "eINF", kInfoFlags);
  U32Property(out, "eGLO", static_cast<uint32_t>(effect::kOutFlags));
  U32Property(out, "eGL2", static_cast<uint32_t>(effect::kOutFlags2));
  PascalTextProperty(out, "eMNA", effect::kPiplMatchName);
  U32Property(out, "aeFL", kReservedInfo);
  return out.Result();
}

constexpr Image kImage = BuildImage();

constexpr bool EveryPropertyStartsTwoPastAMultipleOf4() {
  for (std::size_t offset : kImage.property_offsets)
    if (offset % 4 != 2) return false;
  return true;
}

static_assert(kImage.size == kSize, "the property list must fill exactly its 314 bytes");
static_assert(kImage.property_count == kPropertyCount);
static_assert(kImage.property_offsets[0] == kHeaderSize);
static_assert(EveryPropertyStartsTwoPastAMultipleOf4());

constexpr std::array<uint8_t, kSize> kBytes = kImage.bytes;

}  // namespace pipl

#endif
