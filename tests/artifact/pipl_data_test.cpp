// The compile-time property list bytes, property by property, against the
// table the host reads, written out here byte for byte by hand.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "pipl_data.h"

namespace {

using namespace std::string_view_literals;

struct ExpectedProperty {
  std::string_view key_in_file;  // reversed four-character code
  uint32_t length;
  std::string_view data;  // with its zero padding
};

// Version 0x00080001, flags 0x02000000 and 0x08001400: what global setup writes.
constexpr ExpectedProperty kExpected[] = {
    {"dnik", 4, "TKFe"sv},
    {"eman", 20, "\x13Huewright Generator"sv},
    {"gtac", 20, "\x13Kestrow Productions"sv},
    {"4668", 12, "EffectMain\0\0"sv},
    {"RVPe", 4, "\x02\0\0\0"sv},
    {"RVSe", 4, "\x0d\0\x19\0"sv},
    {"REVe", 4, "\x01\0\x08\0"sv},
    {"FNIe", 2, "\0\0\0\0"sv},
    {"OLGe", 4, "\0\0\0\x02"sv},
    {"2LGe", 4, "\0\x14\0\x08"sv},
    {"ANMe", 28, "\x1bKestrow Huewright Generator"sv},
    {"LFea", 4, "\0\0\0\0"sv},
};

constexpr std::string_view kHeader = "\x01\0\0\0\0\0\x0c\0\0\0"sv;
constexpr std::size_t kPropertyHeaderSize = 16;

std::string Bytes(std::size_t offset, std::size_t count) {
  std::string out;
  for (std::size_t i = offset; i < offset + count && i < pipl::kBytes.size(); ++i)
    out.push_back(static_cast<char>(pipl::kBytes[i]));
  return out;
}

std::string U32Bytes(uint32_t value) {
  return {static_cast<char>(value), static_cast<char>(value >> 8), static_cast<char>(value >> 16),
          static_cast<char>(value >> 24)};
}

// Offset of each expected property, derived from the expected table alone.
std::vector<std::size_t> ExpectedOffsets() {
  std::vector<std::size_t> offsets;
  std::size_t offset = kHeader.size();
  for (const ExpectedProperty& property : kExpected) {
    offsets.push_back(offset);
    offset += kPropertyHeaderSize + property.data.size();
  }
  offsets.push_back(offset);
  return offsets;
}

TEST(PiplData, HeaderDeclaresTwelveProperties) { EXPECT_EQ(Bytes(0, kHeader.size()), kHeader); }

TEST(PiplData, ExpectedTableFillsExactly314Bytes) {
  EXPECT_EQ(ExpectedOffsets().back(), 314u);
  EXPECT_EQ(pipl::kBytes.size(), 314u);
}

class PiplProperty : public testing::TestWithParam<std::size_t> {};

TEST_P(PiplProperty, MatchesTheTable) {
  const ExpectedProperty& expected = kExpected[GetParam()];
  const std::size_t offset = ExpectedOffsets()[GetParam()];
  EXPECT_EQ(offset % 4, 2u) << "properties start 2 bytes past a multiple of 4";
  EXPECT_EQ(Bytes(offset, 4), "MIB8");
  EXPECT_EQ(Bytes(offset + 4, 4), expected.key_in_file);
  EXPECT_EQ(Bytes(offset + 8, 4), U32Bytes(0)) << "property id";
  EXPECT_EQ(Bytes(offset + 12, 4), U32Bytes(expected.length));
  EXPECT_EQ(Bytes(offset + kPropertyHeaderSize, expected.data.size()), expected.data);
}

INSTANTIATE_TEST_SUITE_P(AllTwelve, PiplProperty, testing::Range<std::size_t>(0, std::size(kExpected)),
                         [](const testing::TestParamInfo<std::size_t>& info) {
                           const std::string_view reversed = kExpected[info.param].key_in_file;
                           return std::string(reversed.rbegin(), reversed.rend());
                         });

}  // namespace
