// The palette command end to end: the readout of frozen frames, partial
// results when a frame fails, names that are not UTF-8, the progress bar
// cleared before the readout, the visible-pixel and whole-shot palettes,
// swatch files and the timeline picture read back against the counts.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

#include "tool_fixture.h"

namespace {

// One row of the readout table.
struct Row {
  std::string frame;
  int band = -1;
  std::string hex;
  int rgb8[3] = {};
  long long count = -1;
};

std::vector<Row> TableRows(const std::string& table) {
  std::istringstream lines(table);
  std::string line;
  std::getline(lines, line);  // header
  std::vector<Row> rows;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    Row row;
    std::string unit[3];
    fields >> row.frame >> row.band >> row.hex >> row.rgb8[0] >> row.rgb8[1] >> row.rgb8[2] >> unit[0] >> unit[1] >>
        unit[2] >> row.count;
    EXPECT_TRUE(fields) << line;
    rows.push_back(row);
  }
  return rows;
}

class Palette : public ToolTest {
 protected:
  // Frames 1 to 7: the mountain, then the carrots, at one size.
  void MakeSequence() {
    ASSERT_EQ(Shell("cp " + Source("mountain.png") + " seq.0001.png && oiiotool " + Source("carrots.png") +
                    " --resize 120x80 -o seq.0002.png && for i in 3 4 5 6 7; do cp seq.0002.png seq.000$i.png; done"),
              0);
  }
  int Python(const std::string& script, const std::string& input) {
    std::ofstream(Path("input.json")) << input;
    std::ofstream(Path("check.py")) << "import json, sys\nd = json.load(open('input.json', encoding='utf-8'))\n"
                                    << script;
    return Shell("/usr/bin/python3 check.py");
  }
};

TEST_F(Palette, FrozenFramesShowTheColoursAndCountsOfTheFrameMeasured) {
  MakeSequence();
  const ToolRun run = Run({"palette", Path("seq.%04d.png"), "--frames", "1-3", "--toggle-at", "2"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<Row> rows = TableRows(run.out);
  ASSERT_EQ(rows.size(), 15u) << run.out;
  for (int band = 0; band < 5; ++band)
    for (int frame : {1, 2}) {
      EXPECT_EQ(rows[5 * frame + band].hex, rows[band].hex) << "frame " << frame + 1 << " band " << band;
      EXPECT_EQ(rows[5 * frame + band].count, rows[band].count) << "frame " << frame + 1 << " band " << band;
    }
  EXPECT_NE(run.out.find("(toggled) (frozen: palette and counts of frame 1)"), std::string::npos) << run.out;
  // Measured again after a second toggle: frame 3's own counts differ from frame 1's.
  const std::vector<Row> resumed =
      TableRows(Run({"palette", Path("seq.%04d.png"), "--frames", "1-3", "--toggle-at", "2,3"}).out);
  ASSERT_EQ(resumed.size(), 15u);
  EXPECT_NE(resumed[10].count, resumed[0].count);
}

TEST_F(Palette, AFailingFrameStillReportsTheFramesBeforeIt) {
  MakeSequence();
  ASSERT_EQ(Shell("head -c 3000 seq.0002.png > broken.png"), 0);
  const ToolRun run = Run({"palette", "--json", Path("seq.0001.png"), Path("broken.png"), Path("seq.0003.png"),
                           "--export", Path("never.ase"), "--timeline", Path("never.png")});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("frame 2: "), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("broken.png"), std::string::npos) << run.err;
  EXPECT_EQ(Python("assert [f['frame'] for f in d['frames']] == [1], d\n"
                   "assert d['failed']['frame'] == 2 and d['failed']['input'].endswith('broken.png')\n"
                   "assert 'truncated' in d['failed']['error'], d['failed']\n",
                   run.out),
            0)
      << run.out;
  const std::vector<std::string> listing = Listing();
  EXPECT_EQ(std::count(listing.begin(), listing.end(), "never.ase"), 0) << "a swatch file of a failed run";
  EXPECT_EQ(std::count(listing.begin(), listing.end(), "never.png"), 0);
}

TEST_F(Palette, NamesThatAreNotUtf8GiveValidJsonWithTheirBytes) {
  const std::string name = "caf\xE9.png";  // Latin-1, as an old archive might hold
  ASSERT_EQ(Shell("cp " + Source("mountain.png") + " " + Path(name)), 0);
  const ToolRun run = Run({"palette", "--json", Path(name), "--export", Path("p.json")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Python("f = d['frames'][0]\n"
                   "assert f['input'].endswith('caf\\ufffd.png'), f['input']\n"
                   "assert f['input_not_utf8'] is True\n"
                   "assert bytes.fromhex(f['input_bytes_hex']).endswith(b'caf\\xe9.png')\n",
                   run.out),
            0)
      << run.out;
  EXPECT_EQ(Bytes("p.json"), run.out) << "the .json export is the readout";
}

TEST_F(Palette, TheProgressBarIsClearedBeforeTheReadout) {
  MakeSequence();
  // script gives the tool a terminal, on which it draws the bar.
  ASSERT_EQ(Shell("script -qec \"" + std::string(HUEWRIGHT_TOOL) + " palette " + Path("seq.%04d.png") +
                  " --frames 1-3\" /dev/null < /dev/null > terminal.txt"),
            0);
  const std::string terminal = Bytes("terminal.txt");
  ASSERT_NE(terminal.find("] 3/3"), std::string::npos) << "no progress bar drawn";
  const std::size_t header = terminal.find("  frame  band");
  ASSERT_NE(header, std::string::npos) << terminal;
  EXPECT_EQ(terminal.substr(header - 4, 4), "\r\033[K") << "the bar is still on the line of the readout";
}

// One band is one number everywhere a user reads it: 1 (darkest) to 5 (the
// JSON's numbers are checked with the sequence's readout).
TEST_F(Palette, BandsAreNumberedAlikeInTableAndSwatchFiles) {
  const ToolRun table = Run({"palette", Source("mountain.png"), "--export", Path("p.gpl"), "--export", Path("p.css")});
  ASSERT_EQ(table.status, 0) << table.err;
  const std::vector<Row> rows = TableRows(table.out);
  ASSERT_EQ(rows.size(), 5u) << table.out;
  const std::string gpl = Bytes("p.gpl"), css = Bytes("p.css");
  for (int i = 0; i < 5; ++i) {
    const std::string number = std::to_string(i + 1);
    EXPECT_EQ(rows[static_cast<std::size_t>(i)].band, i + 1) << table.out;
    EXPECT_NE(gpl.find("f0001 Band " + number + "\n"), std::string::npos) << gpl;
    EXPECT_NE(css.find("--huewright-f0001-band-" + number + ": " + rows[static_cast<std::size_t>(i)].hex), std::string::npos)
        << css;
  }
}

// A 4 x 4 frame has no swatch rows (0.8 H to 0.95 H holds no whole row), so
// nothing can be read back; the readout is the average the effect paints.
TEST_F(Palette, AFrameTooSmallForSwatchesReportsTheAverage) {
  // Two colours of band 2: (102, 51, 153) above, (153, 51, 102) below.
  ASSERT_EQ(Shell("oiiotool --pattern constant:color=0.4,0.2,0.6 4x4 3 --fill:color=0.6,0.2,0.4 4x2+0+2 -d uint8 "
                  "-o tiny.png"),
            0);
  const ToolRun run = Run({"palette", Path("tiny.png")});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<Row> rows = TableRows(run.out);
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[1].hex, "#7f337f") << "the average (127.5, 51, 127.5), truncated\n" << run.out;
  EXPECT_EQ(rows[1].count, 16);
  const ToolRun bad = Run({"palette", Path("tiny.png"), "--timeline", Path("t.nosuchformat")});
  EXPECT_EQ(bad.status, 2) << "refused before any frame renders: " << bad.err;
}

// Flat grey fills band 3 alone: in every format the other bands are marked
// empty in JSON, with no colour (their swatches are black, never NaN).
TEST_F(Palette, BandsWithoutPixelsAreMarkedEmptyInJson) {
  ASSERT_EQ(Shell("oiiotool --pattern constant:color=0.5,0.5,0.5 40x30 3 -d half -o flat.exr"), 0);
  const std::vector<std::vector<std::string>> hosts = {
      {"--depth", "8"}, {"--depth", "32"}, {"--host", "premiere", "--format", "vuya32f"}};
  for (const std::vector<std::string>& host : hosts) {
    std::vector<std::string> args = {"palette", "--json", Path("flat.exr")};
    args.insert(args.end(), host.begin(), host.end());
    const ToolRun run = Run(args);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Python("for b in d['frames'][0]['bands']:\n"
                     "    if b['band'] == 3:\n"
                     "        assert b['empty'] is False and b['count'] == 1200 and None not in b['rgb'], b\n"
                     "    else:\n"
                     "        assert b['empty'] is True and b['count'] == 0, b\n"
                     "        assert b['hex'] is None and b['rgb8'] is None and b['rgb'] is None, b\n",
                     run.out),
              0)
        << host.back() << "\n"
        << run.out;
  }
}

struct VisibleCase {
  const char* name;
  std::vector<std::string> host;
};

class VisiblePixels : public Palette, public testing::WithParamInterface<VisibleCase> {};

// A cut-out whose left half is transparent measures as its right half alone.
TEST_P(VisiblePixels, IgnoreTransparentMeasuresOnlyTheVisibleHalf) {
  ASSERT_EQ(Shell("oiiotool " + Source("mountain.png") +
                  " --ch R,G,B,A=1.0 --fill:color=0,0,0,0 60x80+0+0 -o cutout.png && oiiotool " +
                  Source("mountain.png") + " --cut 60x80+60+0 -o right.png"),
            0);
  auto palette = [&](std::vector<std::string> args) {
    args.insert(args.begin(), "palette");
    args.insert(args.end(), GetParam().host.begin(), GetParam().host.end());
    const ToolRun run = Run(args);
    EXPECT_EQ(run.status, 0) << run.err;
    return TableRows(run.out);
  };
  const std::vector<Row> visible = palette({Path("cutout.png"), "--ignore-transparent"});
  const std::vector<Row> right = palette({Path("right.png")});
  const std::vector<Row> painted = palette({Path("cutout.png")});
  ASSERT_EQ(visible.size(), 5u);
  ASSERT_EQ(right.size(), 5u);
  ASSERT_EQ(painted.size(), 5u);
  long long visible_total = 0, painted_total = 0;
  for (int band = 0; band < 5; ++band) {
    EXPECT_EQ(visible[band].count, right[band].count) << "band " << band;
    EXPECT_EQ(visible[band].hex, right[band].hex) << "band " << band;
    visible_total += visible[band].count;
    painted_total += painted[band].count;
  }
  EXPECT_EQ(visible_total, 60 * 80);
  EXPECT_EQ(painted_total, 120 * 80) << "by default every pixel counts, as the effect measures them";
  EXPECT_EQ(painted[0].count - visible[0].count, 60 * 80) << "the transparent half is black, band 1";
}

INSTANTIATE_TEST_SUITE_P(Layouts, VisiblePixels,
                         testing::Values(VisibleCase{"ae8", {}}, VisibleCase{"ae32", {"--depth", "32"}},
                                         VisibleCase{"vuya", {"--host", "premiere", "--format", "vuya32f"}}),
                         [](const auto& info) { return std::string(info.param.name); });

// One band of the JSON readout, its values as printed.
struct JsonBand {
  bool empty = false;
  std::string hex;
  std::vector<std::string> rgb8, rgb;
  std::string encoding;
  long long count = -1;
};

std::vector<std::string> Items(const std::string& list) {
  std::vector<std::string> items;
  std::istringstream in(list);
  for (std::string item; std::getline(in, item, ',');) items.push_back(item.substr(item.find_first_not_of(' ')));
  return items;
}

// The items of "[a, b, c]"; none for null.
std::vector<std::string> ListItems(const std::string& list) {
  return list == "null" ? std::vector<std::string>{} : Items(list.substr(1, list.size() - 2));
}

std::vector<JsonBand> JsonBands(const std::string& json) {
  static const std::regex band(
      R"(\{"band": \d, "empty": (true|false), "hex": (null|"[^"]*"), "rgb8": (null|\[[^\]]*\]), )"
      R"re("rgb": (null|\[[^\]]*\]), "encoding": "(srgb|linear)", "count": (\d+)\})re");
  std::vector<JsonBand> bands;
  for (std::sregex_iterator at(json.begin(), json.end(), band), end; at != end; ++at)
    bands.push_back(
        {(*at)[1] == "true", (*at)[2], ListItems((*at)[3]), ListItems((*at)[4]), (*at)[5], std::stoll((*at)[6])});
  return bands;
}

struct ReadoutCase {
  const char* name;
  const char* input;
  std::vector<std::string> options;  // given to both commands
  const char* output;                // render output that holds the layout's values
  std::vector<std::string> render_options;
  const char* host;  // the readout's "host"
  int levels;        // the layout's levels per unit, 0 for float
  float stored;      // error of the output file against the layout's value
  bool measured;     // false: no frame is measured, the swatches stay black
};

class Readout : public Palette, public testing::WithParamInterface<ReadoutCase> {};

// The readout is what the render paints: each band's value is the swatch
// pixel of the same picture rendered in the same layout, to the digits the
// layout holds, and 0-255 and hex are that value clamped and rounded. The
// EXR is scene-linear: --linear-swatches keeps its values as painted
// (colour_cli_test checks the sRGB-encoded default).
TEST_P(Readout, IsTheSwatchesOfTheRenderInTheSameLayout) {
  const ReadoutCase& c = GetParam();
  std::vector<std::string> render = {"render", Source(c.input), "-o", Path(c.output), "-q"};
  std::vector<std::string> palette = {"palette", "--json", "--linear-swatches", Source(c.input)};
  for (auto* args : {&render, &palette}) args->insert(args->end(), c.options.begin(), c.options.end());
  render.insert(render.end(), c.render_options.begin(), c.render_options.end());
  const ToolRun rendered = Run(render);
  ASSERT_EQ(rendered.status, 0) << rendered.err;
  const ToolRun run = Run(palette);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find(std::string("\"host\": \"") + c.host + "\""), std::string::npos) << run.out;
  const char* held = c.measured ? "\"frozen\": false, \"measured_on\": 1" : "\"frozen\": true, \"measured_on\": null";
  EXPECT_NE(run.out.find(held), std::string::npos) << run.out;
  const std::vector<JsonBand> bands = JsonBands(run.out);
  ASSERT_EQ(bands.size(), 5u) << run.out;
  const Pixels out = Read(c.output);
  for (int band = 0; band < 5; ++band) {
    SCOPED_TRACE("band " + std::to_string(band));
    const JsonBand& readout = bands[band];
    EXPECT_EQ(readout.encoding, c.levels ? "srgb" : "linear") << "the PNG and TIFF are display-encoded, the EXR not";
    const float* pixel =
        out.At(static_cast<int>((0.18 + 0.16 * band) * out.width), static_cast<int>(0.875 * out.height));
    // A band no pixel fell in has no colour; the effect paints it black.
    if (readout.empty) {
      EXPECT_EQ(readout.count, 0);
      EXPECT_EQ(readout.hex, "null");
      EXPECT_TRUE(readout.rgb.empty() && readout.rgb8.empty());
      for (int ch = 0; ch < 3; ++ch) EXPECT_EQ(pixel[ch], 0.0f) << "channel " << ch;
      continue;
    }
    ASSERT_EQ(readout.rgb.size(), 3u);
    ASSERT_EQ(readout.rgb8.size(), 3u);
    for (int ch = 0; ch < 3; ++ch) {
      const float p = pixel[ch];
      if (readout.rgb[ch] == "null") {
        EXPECT_TRUE(std::isnan(p)) << "channel " << ch << ": " << p;
        EXPECT_EQ(readout.rgb8[ch], "null");
        continue;
      }
      const float value = std::strtof(readout.rgb[ch].c_str(), nullptr);
      if (c.levels) {
        EXPECT_EQ(std::lround(value * c.levels), std::lround(p * c.levels)) << "channel " << ch << ": " << p;
      } else {
        EXPECT_EQ(value, p) << "channel " << ch;
      }
      EXPECT_NEAR(std::stoi(readout.rgb8[ch]), std::clamp(p, 0.0f, 1.0f) * 255, 0.5f + c.stored * 255) << ch;
      if (!c.measured) {
        EXPECT_EQ(p, 0.0f) << "channel " << ch;
      }
    }
    const bool known = std::count(readout.rgb.begin(), readout.rgb.end(), "null") == 0;
    EXPECT_EQ(readout.hex != "null", known) << readout.hex;
    if (!known) continue;
    char hex[10];
    std::snprintf(hex, sizeof hex, "\"#%02x%02x%02x\"", std::stoi(readout.rgb8[0]), std::stoi(readout.rgb8[1]),
                  std::stoi(readout.rgb8[2]));
    EXPECT_EQ(readout.hex, hex);
  }
}

const std::vector<std::string> kPremiere = {"--host", "premiere"};
const std::vector<std::string> kFloatOut = {"--out-type", "float"};
INSTANTIATE_TEST_SUITE_P(
    Layouts, Readout,
    testing::Values(
        ReadoutCase{"ae8", "mountain.png", {"--gain", "2"}, "out.png", {}, "After Effects, ARGB 8-bit", 255, 0, true},
        ReadoutCase{"ae16", "mountain16.tif", {"--threads", "3"}, "out.tif", {}, "After Effects, ARGB 16-bit", 32768,
                    0.5f / 65535, true},
        ReadoutCase{"ae32", "carrots.exr", {"--gain", "3"}, "out.exr", kFloatOut, "After Effects, ARGB 32-bit float",
                    0, 0, true},
        ReadoutCase{"bgra8", "mountain.png", kPremiere, "out.png", {}, "Premiere Pro, BGRA 8u", 255, 0, true},
        ReadoutCase{"bgra32f", "carrots.exr", kPremiere, "out.exr", kFloatOut, "Premiere Pro, BGRA 32f", 0, 0, true},
        ReadoutCase{"vuya32f", "carrots.exr", {"--host", "premiere", "--format", "vuya32f", "--threads", "2"},
                    "out.exr", kFloatOut, "Premiere Pro, VUYA 32f", 0, 0, true},
        // Premiere's float BGRA path does not analyse at low quality: until
        // a frame is measured it paints the black of an empty palette.
        ReadoutCase{"bgra32f_low", "carrots.exr", {"--host", "premiere", "--quality", "low"}, "out.exr", kFloatOut,
                    "Premiere Pro, BGRA 32f", 0, 0, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Palette, FramesSummaryAddsTheCountsOfEveryFrame) {
  MakeSequence();
  const ToolRun run = Run(
      {"palette", "--json", Path("seq.%04d.png"), "--frames", "1-3", "--frames-summary", "--export", Path("shot.css")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Python("s = d['shot']\n"
                   "assert (s['first'], s['last'], s['frame_count']) == (1, 3, 3)\n"
                   "for b in range(5):\n"
                   "    assert s['bands'][b]['count'] == sum(f['bands'][b]['count'] for f in d['frames'])\n"
                   "# the carrots twice and the mountain once: each shot colour lies between the frames'\n"
                   "for b in range(5):\n"
                   "    for c in range(3):\n"
                   "        v = [f['bands'][b]['rgb8'][c] for f in d['frames']]\n"
                   "        assert min(v) - 1 <= s['bands'][b]['rgb8'][c] <= max(v) + 1, (b, c)\n",
                   run.out),
            0)
      << run.out;
  const std::string css = Bytes("shot.css");
  EXPECT_NE(css.find("--huewright-shot-band-1: #"), std::string::npos) << css;
  EXPECT_EQ(css.find("f0001"), std::string::npos) << "with --frames-summary only the shot is exported";
}

TEST_F(Palette, ExportsOneGroupPerFrameChosenByTheExtension) {
  MakeSequence();
  for (const char* name : {"p.ase", "p.gpl", "p.css"})
    ASSERT_EQ(Run({"palette", Path("seq.%04d.png"), "--frames", "1-3", "--export", Path(name), "-q"}).status, 0);
  const std::string ase = Bytes("p.ase");
  ASSERT_GE(ase.size(), 12u);
  EXPECT_EQ(ase.substr(0, 8), std::string("ASEF\0\1\0\0", 8));
  EXPECT_EQ(ase.substr(8, 4), std::string("\0\0\0\x15", 4)) << "three groups of seven blocks";
  const std::string gpl = Bytes("p.gpl");
  EXPECT_EQ(gpl.rfind("GIMP Palette\nName: Huewright f0001-f0003\nColumns: 5\n", 0), 0u) << gpl;
  EXPECT_NE(Bytes("p.css").find("--huewright-f0003-band-5: #"), std::string::npos);

  const ToolRun wrong = Run({"palette", Path("seq.0001.png"), "--export", Path("p.aco")});
  EXPECT_EQ(wrong.status, 2);
  EXPECT_NE(wrong.err.find(".ase, .gpl, .css or .json"), std::string::npos) << wrong.err;
  const ToolRun nowhere = Run({"palette", Path("seq.0001.png"), "--export", Path("no/such/dir/p.ase")});
  EXPECT_EQ(nowhere.status, 1);
  EXPECT_NE(nowhere.err.find("directory does not exist"), std::string::npos) << nowhere.err;
}

// Column i spans columns i * w to (i + 1) * w - 1 (w = 960 / frames, within 2 to
// 48); rows 0-7 mark frozen frames; the bands fill rows 10-249, band 1 (the
// darkest) at the bottom; frame numbers below for more than five frames.
TEST_F(Palette, TimelineColumnsStackTheBandsByTheirCounts) {
  MakeSequence();
  const ToolRun run =
      Run({"palette", Path("seq.%04d.png"), "--frames", "1-7", "--toggle-at", "3,5", "--timeline", Path("t.png")});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<Row> rows = TableRows(run.out);
  ASSERT_EQ(rows.size(), 35u);
  const Pixels image = Read("t.png");
  const int w = 48;  // 960 / 7 is over the widest column
  ASSERT_EQ(image.width, 7 * w);
  ASSERT_EQ(image.height, 250 + 14) << "numbered frames have a label strip";
  auto rgb8 = [&](int x, int y) {
    const float* p = image.At(x, y);
    std::ostringstream hex;
    hex << "#";
    for (int c = 0; c < 3; ++c) {
      char digits[3];
      std::snprintf(digits, sizeof digits, "%02x", static_cast<int>(std::lround(p[c] * 255)));
      hex << digits;
    }
    return hex.str();
  };
  for (int frame = 0; frame < 7; ++frame) {
    const int x = frame * w + w / 2;
    // Frames 3 and 4 are frozen (toggled off before 3, on before 5).
    const bool frozen = frame == 2 || frame == 3;
    EXPECT_EQ(rgb8(x, 3) != rgb8(x, 9), frozen) << "frozen marker of frame " << frame + 1;
    long long total = 0;
    for (int band = 0; band < 5; ++band) total += rows[5 * frame + band].count;
    int bottom = 250;
    for (int band = 0; band < 5; ++band) {
      const Row& row = rows[5 * frame + band];
      int height = 0;
      while (bottom - height - 1 >= 10 && rgb8(x, bottom - height - 1) == row.hex) ++height;
      const double share = 240.0 * row.count / total;
      EXPECT_NEAR(height, share, 1.0) << "frame " << frame + 1 << " band " << band;
      if (height > 0) {
        EXPECT_EQ(rgb8(frame * w, bottom - 1), row.hex) << "column's left edge, band " << band;
      }
      bottom -= height;
    }
    EXPECT_EQ(bottom, 10) << "the bands fill the column, frame " << frame + 1;
  }
}

}  // namespace
