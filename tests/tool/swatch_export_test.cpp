// Swatch files read back by readers written here from the published layouts
// (Adobe swatch exchange, GIMP palette, CSS custom properties), the .ase
// also byte for byte against a hand-made file; the notations the readout
// prints; JSON text from names that are not UTF-8; timeline band heights.
#include "swatch_export.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <regex>
#include <sstream>

#include "json_text.h"
#include "timeline_image.h"
#include "tool_error.h"

namespace huewright {
namespace {

// ---- Adobe swatch exchange, as published: big-endian "ASEF", version
// major/minor (u16, u16), block count (u32), then blocks: type (u16),
// length of the rest (u32), body. Group start 0xC001 and colour 0x0001 begin
// with a name: length in UTF-16 units with the final zero (u16), the units.
// A colour then has its model (4 bytes), its floats (3 for "RGB "), its type
// (u16: 0 global, 1 spot, 2 normal). Group end 0xC002 has no body.
struct AseColour {
  std::string name, model;
  std::vector<float> values;
  int type = -1;
};
struct AseGroup {
  std::string name;
  std::vector<AseColour> colours;
};

// Every read stays inside the file and inside the block being read; the
// first fault (a block length past the end, a block that ends early) is one
// failure, and reading stops there.
class AseReader {
 public:
  explicit AseReader(std::string bytes) : bytes_(std::move(bytes)), limit_(bytes_.size()) {}

  std::vector<AseGroup> Read() {
    EXPECT_EQ(Take(4), "ASEF");
    EXPECT_EQ(U16(), 1);
    EXPECT_EQ(U16(), 0);
    const uint32_t blocks = U32();
    std::vector<AseGroup> groups;
    bool open = false;
    for (uint32_t i = 0; i < blocks && !broken_; ++i) {
      const uint16_t type = U16();
      const uint32_t length = U32();
      if (broken_) break;
      if (length > bytes_.size() - at_) {
        Fail("block " + std::to_string(i) + " length " + std::to_string(length) + " runs past the end");
        break;
      }
      limit_ = at_ + length;
      if (type == 0xC001) {
        std::string name = Name();
        if (broken_) break;
        EXPECT_FALSE(open) << "nested group";
        groups.push_back({name, {}});
        open = true;
      } else if (type == 0x0001) {
        AseColour colour{Name(), Take(4), {}, -1};
        for (int c = 0; c < 3; ++c) colour.values.push_back(F32());
        colour.type = U16();
        if (broken_) break;
        EXPECT_TRUE(open) << "colour outside a group";
        EXPECT_EQ(colour.model, "RGB ");
        if (!groups.empty()) groups.back().colours.push_back(colour);
      } else if (type == 0xC002) {
        EXPECT_TRUE(open);
        open = false;
      } else {
        ADD_FAILURE() << "unexpected block type " << type;
      }
      EXPECT_EQ(at_, limit_) << "block " << i << " holds bytes its type does not";
      at_ = limit_;
      limit_ = bytes_.size();
    }
    if (broken_) return groups;
    EXPECT_FALSE(open);
    EXPECT_EQ(at_, bytes_.size()) << "bytes after the last block";
    return groups;
  }

 private:
  void Fail(const std::string& fault) {
    ADD_FAILURE() << fault;
    broken_ = true;
  }
  std::string Take(std::size_t n) {
    if (broken_) return std::string(n, '\0');
    if (n > limit_ - at_) {
      Fail((limit_ == bytes_.size() ? "file" : "block") + std::string(" ends early, at byte ") + std::to_string(at_));
      return std::string(n, '\0');
    }
    at_ += n;
    return bytes_.substr(at_ - n, n);
  }
  uint32_t Unsigned(std::size_t n) {
    uint32_t value = 0;
    for (char c : Take(n)) value = (value << 8) | static_cast<unsigned char>(c);
    return value;
  }
  uint16_t U16() { return static_cast<uint16_t>(Unsigned(2)); }
  uint32_t U32() { return Unsigned(4); }
  float F32() {
    const uint32_t bits = U32();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }
  std::string Name() {
    const uint16_t units = U16();
    std::string name;
    for (uint16_t i = 0; i < units && !broken_; ++i) {
      const uint16_t unit = U16();
      if (i + 1 == units)
        EXPECT_EQ(unit, 0) << "name not ended by a zero";
      else
        name += static_cast<char>(unit);  // the tool's names are ASCII
    }
    return name;
  }

  std::string bytes_;
  std::size_t at_ = 0;
  std::size_t limit_;  // the end of the block being read, or of the file
  bool broken_ = false;
};

std::string FromHex(const std::string& text) {
  std::string bytes, digits;
  for (char c : text)
    if (std::isxdigit(static_cast<unsigned char>(c))) digits += c;
  for (std::size_t i = 0; i + 1 < digits.size(); i += 2)
    bytes += static_cast<char>(std::stoi(digits.substr(i, 2), nullptr, 16));
  return bytes;
}

PaletteReadout Palette(std::initializer_list<std::array<float, 3>> colours, int64_t first_count) {
  PaletteReadout palette;
  int band = 0;
  for (const auto& rgb : colours) palette[band++] = {rgb, first_count + band};
  return palette;
}

// Frames 3 and 12 of an 8-bit sequence, colours n / 255.
PaletteReport TwoFrames() {
  PaletteReport report;
  report.host = "After Effects, ARGB 8-bit";
  const auto level = [](int n) { return static_cast<float>(n / 255.0); };
  report.frames.push_back({3, "a.png", 4, 4, false, false, 3, PixelLayout::kArgb8,
                           Palette({{level(0), level(1), level(2)},
                                    {level(30), level(42), level(59)},
                                    {level(100), level(90), level(80)},
                                    {level(200), level(150), level(7)},
                                    {level(255), level(254), level(253)}},
                                   10)});
  report.frames.push_back({12, "b.png", 4, 4, true, true, 3, PixelLayout::kArgb8, report.frames[0].palette});
  report.frames[1].palette[2].rgb = {level(17), level(18), level(19)};
  return report;
}

TEST(SwatchExport, AseMatchesAHandMadeFileByteForByte) {
  // Frame 7 of a 16-bit frame, every band (16384, 8192, 32768) / 32768.
  SwatchGroup group{"f0007", "f0007", {}};
  for (auto& colour : group.colours) colour = Notate({0.5f, 0.25f, 1.0f}, PixelLayout::kArgb16);
  std::string colours;
  for (char band = '1'; band <= '5'; ++band)
    colours += std::string("0001 0000002e  000d 0066 0030 0030 0030 0037 0020 0042 0061 006e 0064 0020 003") + band +
               " 0000  52474220  3f000000 3e800000 3f800000  0002\n";
  const std::string expected = FromHex(
      "41534546 0001 0000 00000007\n"                          // ASEF 1.0, 7 blocks
      "c001 0000000e  0006 0066 0030 0030 0030 0037 0000\n" +  // group "f0007"
      colours +                                                // "f0007 Band N", RGB 0.5 0.25 1.0, normal
      "c002 00000000\n");                                      // group end
  EXPECT_EQ(HexBytes(AseBytes({group})), HexBytes(expected));
}

TEST(SwatchExport, AseHoldsOneGroupOfFiveNamedColoursPerFrame) {
  const PaletteReport report = TwoFrames();
  const std::vector<AseGroup> groups = AseReader(AseBytes(SwatchGroups(report))).Read();
  ASSERT_EQ(groups.size(), 2u);
  for (std::size_t f = 0; f < 2; ++f) {
    const std::string label = f == 0 ? "f0003" : "f0012";
    EXPECT_EQ(groups[f].name, label);
    ASSERT_EQ(groups[f].colours.size(), 5u);
    for (int band = 0; band < 5; ++band) {
      const AseColour& colour = groups[f].colours[band];
      EXPECT_EQ(colour.name, label + " Band " + std::to_string(band + 1));
      EXPECT_EQ(colour.type, 2);
      for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(colour.values[c] * 255, Notate(report.frames[f].palette[band].rgb, report.frames[f].layout).rgb8[c],
                    1e-3);
    }
  }
}

TEST(SwatchExport, ShotSummaryIsTheOnlyGroup) {
  PaletteReport report = TwoFrames();
  report.shot = ShotPalette{3, 12, 2, PixelLayout::kArgb8, report.frames[1].palette};
  const std::vector<AseGroup> groups = AseReader(AseBytes(SwatchGroups(report))).Read();
  ASSERT_EQ(groups.size(), 1u);
  EXPECT_EQ(groups[0].name, "shot f0003-f0012");
  EXPECT_EQ(groups[0].colours[0].name, "shot Band 1");
  EXPECT_NE(CssText(SwatchGroups(report), report.host).find("--huewright-shot-band-3: #111213;"), std::string::npos);
}

// A damaged file is one failure naming the first fault, and the reader
// never reads past the bytes it holds.
TEST(AseReader, DamagedFilesFailOnceAtTheFirstFault) {
  const std::string good = AseBytes(SwatchGroups(TwoFrames()));
  auto with_u32 = [&good](std::size_t at, uint32_t value) {
    std::string bytes = good;
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (24 - 8 * i));
    return bytes;
  };
  struct Case {
    const char* what;
    std::string bytes;
    const char* message;
  };
  const Case cases[] = {
      {"cut in a block header", good.substr(0, 15), "ends early"},
      {"cut in a block body", good.substr(0, good.size() - 10), "runs past the end"},
      {"block length past the end", with_u32(14, 0xFFFFFFF0u), "runs past the end"},
      {"block length too short", with_u32(14, 4), "ends early"},
      {"more blocks than the file holds", with_u32(8, 0xFFFFFFFFu), "ends early"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_NONFATAL_FAILURE(AseReader(c.bytes).Read(), c.message);
  }
}

// GIMP palette: "GIMP Palette", then "Name: ", "Columns: " and "#" comment
// lines, then one colour a line: red green blue (0-255) and a name.
TEST(SwatchExport, GplReadsBackAsFiveColumnsOfNamedColours) {
  const PaletteReport report = TwoFrames();
  std::istringstream text(GplText(SwatchGroups(report), "Huewright f0003-f0012"));
  std::string line;
  std::getline(text, line);
  EXPECT_EQ(line, "GIMP Palette");
  std::vector<std::string> names;
  std::vector<std::array<int, 3>> colours;
  std::string name_line, columns_line;
  while (std::getline(text, line)) {
    if (line.rfind("Name: ", 0) == 0)
      name_line = line;
    else if (line.rfind("Columns: ", 0) == 0)
      columns_line = line;
    else if (!line.empty() && line[0] != '#') {
      std::istringstream fields(line);
      std::array<int, 3> rgb{};
      fields >> rgb[0] >> rgb[1] >> rgb[2];
      ASSERT_TRUE(fields) << line;
      std::string name;
      std::getline(fields >> std::ws, name);
      names.push_back(name);
      colours.push_back(rgb);
    }
  }
  EXPECT_EQ(name_line, "Name: Huewright f0003-f0012");
  EXPECT_EQ(columns_line, "Columns: 5");
  ASSERT_EQ(colours.size(), 10u);
  EXPECT_EQ(names[0], "f0003 Band 1");
  EXPECT_EQ(names[7], "f0012 Band 3");
  EXPECT_EQ(colours[1], (std::array<int, 3>{30, 42, 59}));
  EXPECT_EQ(colours[7], (std::array<int, 3>{17, 18, 19}));
}

// CSS custom properties: "--name: value;", one colour a line.
TEST(SwatchExport, CssHasOneCustomPropertyPerColour) {
  const PaletteReport report = TwoFrames();
  std::istringstream text(CssText(SwatchGroups(report), report.host));
  const std::regex property(R"(^\s*--huewright-(f\d{4})-band-([1-5]):\s*(#[0-9a-f]{6});\s*$)");
  std::vector<std::string> seen;
  std::string line;
  while (std::getline(text, line)) {
    std::smatch match;
    if (std::regex_match(line, match, property))
      seen.push_back(match[1].str() + "/" + match[2].str() + "=" + match[3].str());
  }
  ASSERT_EQ(seen.size(), 10u) << CssText(SwatchGroups(report), report.host);
  EXPECT_EQ(seen[0], "f0003/1=#000102");
  EXPECT_EQ(seen[3], "f0003/4=#c89607");
  EXPECT_EQ(seen[7], "f0012/3=#111213");
}

// Names no frame label has, as the writers may yet be handed them: each
// stays on its own line, inside its comment, inside its identifier, and in
// the .ase as the UTF-16 a reader decodes.
TEST(SwatchExport, HostileNamesStayInsideTheirField) {
  SwatchGroup group{"", "t", {}};
  for (auto& colour : group.colours) colour = Notate({0.5f, 0.5f, 0.5f}, PixelLayout::kArgb8);
  struct Case {
    std::string label, gpl_line, css_name;
  };
  const Case cases[] = {
      {"a\nb", "128 128 128\ta\\x0Ab Band 1", "--huewright-a\\a b-band-1:"},
      {std::string(120, 'L'), "128 128 128\t" + std::string(120, 'L') + " Band 1", "--huewright-" + std::string(120, 'L') + "-band-1:"},
      {"x*/y", "128 128 128\tx*/y Band 1", "--huewright-x\\2a \\2f y-band-1:"},
  };
  for (const Case& c : cases) {
    group.label = c.label;
    const std::string gpl = GplText({group}, "n\r");
    EXPECT_NE(gpl.find("Name: n\\x0D\n"), std::string::npos) << gpl;
    EXPECT_NE(gpl.find(c.gpl_line + "\n"), std::string::npos) << gpl;
    const std::string css = CssText({group}, "host */ x\n");
    EXPECT_EQ(css.rfind("/* huewright palette: host *\\/ x\\x0A */\n", 0), 0u) << css;
    EXPECT_NE(css.find(c.css_name), std::string::npos) << css;
  }
  group.label = "f";
  group.title = "\xC3\xA9\xFF";  // é, then a byte that is not UTF-8
  EXPECT_EQ(HexBytes(AseBytes({group}).substr(18, 10)), HexBytes(FromHex("0003 00e9 fffd 0000 0001")));
  group.title = std::string(65535, 'x');
  EXPECT_THROW(AseBytes({group}), ToolError);
}

TEST(SwatchExport, ExtensionChoosesTheFormat) {
  EXPECT_EQ(ExportFormatOf("out/s.ase"), ExportFormat::Ase);
  EXPECT_EQ(ExportFormatOf("S.GPL"), ExportFormat::Gpl);
  EXPECT_EQ(ExportFormatOf("a.b/c.css"), ExportFormat::Css);
  EXPECT_EQ(ExportFormatOf("p.json"), ExportFormat::Json);
  EXPECT_EQ(ExportFormatOf("p.aco"), std::nullopt);
  EXPECT_EQ(ExportFormatOf("dir.ase/palette"), std::nullopt);
}

struct NotationCase {
  const char* name;
  std::array<float, 3> rgb;
  PixelLayout layout;
  const char* hex;
  std::array<int, 3> rgb8;
  std::array<const char*, 3> text;
};

TEST(SwatchNotation, ValuesKeepOnlyTheDigitsTheFormatHolds) {
  const float f22 = static_cast<float>(22 / 255.0);
  const NotationCase cases[] = {
      {"8-bit", {f22, 0.0f, 1.0f}, PixelLayout::kBgra8, "#1600ff", {22, 0, 255}, {"0.086", "0.0", "1.0"}},
      {"16-bit", {0.5f, 1.0f / 32768, 1.0f}, PixelLayout::kArgb16, "#8000ff", {128, 0, 255}, {"0.5", "0.00003", "1.0"}},
      {"float",
       {f22, 10.37f, -0.25f},
       PixelLayout::kArgbFloat,
       "#16ff00",
       {22, 255, 0},
       {"0.08627451", "10.37", "-0.25"}},
      {"not a number", {NAN, 0.5f, 0.5f}, PixelLayout::kVuyaFloat, "", {0, 128, 128}, {"nan", "0.5", "0.5"}},
  };
  for (const NotationCase& c : cases) {
    const SwatchNotation notation = Notate(c.rgb, c.layout);
    EXPECT_EQ(notation.hex, c.hex) << c.name;
    EXPECT_EQ(notation.known, c.hex[0] != '\0') << c.name;
    EXPECT_EQ(notation.rgb8, c.rgb8) << c.name;
    for (int ch = 0; ch < 3; ++ch) EXPECT_EQ(notation.unit_text[ch], c.text[ch]) << c.name << " channel " << ch;
  }
}

TEST(JsonText, NamesThatAreNotUtf8BecomeValidJson) {
  const struct {
    std::string in, json;
    bool utf8;
  } cases[] = {
      {"plain.png", "\"plain.png\"", true},
      {"caf\xC3\xA9 \xE5\x9B\xBE.png", "\"caf\xC3\xA9 \xE5\x9B\xBE.png\"", true},
      {"say \"hi\"\\\n", "\"say \\\"hi\\\"\\\\\\u000a\"", true},
      {"latin1 \xE9t\xE9", "\"latin1 \xEF\xBF\xBDt\xEF\xBF\xBD\"", false},
      {"overlong \xC0\xAF", "\"overlong \xEF\xBF\xBD\xEF\xBF\xBD\"", false},
      {"surrogate \xED\xA0\x80", "\"surrogate \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\"", false},
      {"cut \xE5\x9B", "\"cut \xEF\xBF\xBD\xEF\xBF\xBD\"", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(JsonString(c.in), c.json) << HexBytes(c.in);
    EXPECT_EQ(IsUtf8(c.in), c.utf8) << HexBytes(c.in);
  }
  EXPECT_EQ(HexBytes("a\xE9"), "61e9");
}

TEST(Timeline, BandHeightsShareTheRowsByCount) {
  const struct {
    std::array<int64_t, kBands> counts;
    std::array<int, kBands> heights;
  } cases[] = {
      {{1, 1, 1, 1, 1}, {48, 48, 48, 48, 48}},
      {{5060, 478, 505, 433, 3124}, {126, 12, 13, 11, 78}},  // 126.5 11.95 12.625 10.825 78.1
      {{0, 0, 9600, 0, 0}, {0, 0, 240, 0, 0}},
      {{1, 1, 1, 0, 0}, {80, 80, 80, 0, 0}},
      {{2, 1, 0, 0, 0}, {160, 80, 0, 0, 0}},
      {{0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}},
  };
  for (const auto& c : cases) EXPECT_EQ(BandHeights(c.counts, 240), c.heights) << c.counts[0];
}

TEST(Timeline, LongShotsKeepColumnsTwoPixelsWideAndNumbersInside) {
  std::vector<TimelineColumn> columns(1000);
  for (std::size_t i = 0; i < columns.size(); ++i) {
    columns[i].number = 99999000 + static_cast<int>(i);  // eight digits, running past the last column
    columns[i].counts = {1, 0, 0, 0, 3};
    columns[i].colours[0] = {10, 20, 30};
    columns[i].colours[4] = {200, 210, 220};
  }
  const TimelineGeometry geometry = TimelineLayout(columns.size());
  ASSERT_EQ(geometry.column_width, 2);
  ASSERT_EQ(geometry.width, 2000);
  ASSERT_EQ(geometry.label_rows, 14);
  const std::vector<uint8_t> pixels = DrawTimeline(columns, geometry);
  ASSERT_EQ(pixels.size(), 2000u * geometry.height * 3);
  auto at = [&](int x, int y) {
    const uint8_t* p = &pixels[(static_cast<std::size_t>(y) * geometry.width + x) * 3];
    return std::array<int, 3>{p[0], p[1], p[2]};
  };
  const int bottom = geometry.band_top + geometry.band_rows - 1;
  EXPECT_EQ(at(1999, bottom), (std::array<int, 3>{10, 20, 30}));  // band 1, a quarter of the rows
  EXPECT_EQ(at(1999, bottom - 59), (std::array<int, 3>{10, 20, 30}));
  EXPECT_EQ(at(1999, bottom - 60), (std::array<int, 3>{200, 210, 220}));  // band 5 above it
  EXPECT_EQ(at(0, geometry.band_top), (std::array<int, 3>{200, 210, 220}));
  // The last number, 99999999, ends at the right edge: its last 9 is whole.
  const int label_top = geometry.band_top + geometry.band_rows + 3;
  for (int y : {label_top, label_top + 9}) EXPECT_EQ(at(1999, y), (std::array<int, 3>{220, 220, 220})) << y;
}

// Numbers along the bottom: the last frame always, every number inside the
// picture and apart from its neighbours.
TEST(Timeline, FrameNumbersFitAndNeverTouch) {
  const struct {
    std::size_t frames;
    int first;
  } cases[] = {{6, 1}, {7, 995}, {50, 1}, {61, 9990}, {481, 1}, {1000, 99999000}};
  for (const auto& c : cases) {
    std::vector<TimelineColumn> columns(c.frames);
    for (std::size_t i = 0; i < c.frames; ++i) columns[i].number = c.first + static_cast<int>(i);
    const TimelineGeometry geometry = TimelineLayout(c.frames);
    const std::vector<TimelineLabel> labels = TimelineLabels(columns, geometry);
    ASSERT_FALSE(labels.empty()) << c.frames;
    EXPECT_EQ(labels.back().column, c.frames - 1);
    EXPECT_EQ(labels.front().column, 0u) << c.frames;
    for (std::size_t j = 0; j < labels.size(); ++j) {
      const int end = labels[j].x + LabelWidth(columns[labels[j].column].number);
      EXPECT_GE(labels[j].x, 0);
      EXPECT_LE(end, geometry.width) << c.frames << " frames, label " << j;
      if (j + 1 < labels.size()) {
        EXPECT_GT(labels[j + 1].x, end + 2) << c.frames << " frames, label " << j;
      }
    }
  }
}

}  // namespace
}  // namespace huewright
