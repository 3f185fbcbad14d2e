#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "pe_reader.h"
#include "tool_error.h"

namespace huewright {
namespace {

void Put32(std::vector<uint8_t>& bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

uint32_t Code(const char* text) {
  return (uint32_t(uint8_t(text[0])) << 24) | (uint32_t(uint8_t(text[1])) << 16) | (uint32_t(uint8_t(text[2])) << 8) |
         uint32_t(uint8_t(text[3]));
}

void Property(std::vector<uint8_t>& bytes, const char* key, std::vector<uint8_t> data, std::size_t length) {
  Put32(bytes, Code("8BIM"));
  Put32(bytes, Code(key));
  Put32(bytes, 0);
  Put32(bytes, static_cast<uint32_t>(length));
  while (data.size() % 4) data.push_back(0);  // padding the length does not count
  bytes.insert(bytes.end(), data.begin(), data.end());
}

// Marker, list version and count, then a 2-byte property padded to 4, a
// Pascal string and a version pair.
std::vector<uint8_t> SampleList() {
  std::vector<uint8_t> bytes = {1, 0};
  Put32(bytes, 0);
  Put32(bytes, 3);
  Property(bytes, "eINF", {7, 0}, 2);
  Property(bytes, "name", {3, 'A', 'b', 'c'}, 4);
  Property(bytes, "eSVR", {13, 0, 25, 0}, 4);
  return bytes;
}

TEST(Pipl, PropertiesFollowTheirPaddedData) {
  const PiplResource pipl = ParsePipl(SampleList(), "sample");
  EXPECT_EQ(pipl.marker, 1);
  ASSERT_EQ(pipl.properties.size(), 3u);
  const struct {
    const char* key;
    std::size_t length;
    const char* shown;
  } expected[] = {{"eINF", 2, "0x0007"}, {"name", 4, "\"Abc\""}, {"eSVR", 4, "13.25"}};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(FourCharText(pipl.properties[i].vendor), "8BIM");
    EXPECT_EQ(FourCharText(pipl.properties[i].key), expected[i].key);
    EXPECT_EQ(pipl.properties[i].data.size(), expected[i].length);
    EXPECT_EQ(DescribePiplData(pipl.properties[i]), expected[i].shown);
  }
}

TEST(Pipl, TruncatedListsAreRefusedByName) {
  const std::vector<uint8_t> whole = SampleList();
  for (std::size_t size : {std::size_t{4}, std::size_t{20}, whole.size() - 6}) {
    const std::vector<uint8_t> cut(whole.begin(), whole.begin() + size);
    try {
      ParsePipl(cut, "cut.aex");
      ADD_FAILURE() << "accepted a list cut to " << size << " bytes";
    } catch (const ToolError& error) {
      EXPECT_NE(std::string(error.what()).find("cut.aex"), std::string::npos);
    }
  }
}

}  // namespace
}  // namespace huewright
