// End-to-end renders: every host layout, the file formats, channel layouts,
// sequences with a parameter toggle, the palette report and the info text.
#include <algorithm>
#include <cmath>
#include <fstream>

#include "tool_fixture.h"

namespace {

// The centre pixel of swatch `cell`.
const float* SwatchCentre(const Pixels& image, int cell) {
  return image.At(static_cast<int>((0.18 + 0.16 * cell) * image.width), static_cast<int>(0.875 * image.height));
}

// The output must equal the input (within `tolerance`) everywhere but the
// five swatch cells; each cell is one flat colour that differs from most of
// the input pixels under it.
void ExpectSwatchesOnly(const Pixels& in, const Pixels& out, float tolerance) {
  ASSERT_EQ(out.width, in.width);
  ASSERT_EQ(out.height, in.height);
  int cell_pixels[5] = {}, cell_changed[5] = {}, outside_bad = 0, cell_uneven = 0;
  for (int y = 0; y < in.height; ++y)
    for (int x = 0; x < in.width; ++x) {
      const int cell = SwatchCell(x, y, in.width, in.height);
      const float* a = in.At(x, y);
      const float* b = out.At(x, y);
      bool same = true;
      for (int c = 0; c < 3; ++c) same = same && std::fabs(a[c] - b[c]) <= tolerance;
      if (cell < 0) {
        outside_bad += !same;
        continue;
      }
      ++cell_pixels[cell];
      cell_changed[cell] += !same;
      const float* centre = SwatchCentre(out, cell);
      for (int c = 0; c < 3; ++c) cell_uneven += centre[c] != b[c];
    }
  EXPECT_EQ(outside_bad, 0) << "pixels outside the swatches changed";
  EXPECT_EQ(cell_uneven, 0) << "a swatch is not one flat colour";
  for (int k = 0; k < 5; ++k) EXPECT_GT(cell_changed[k] * 2, cell_pixels[k]) << "swatch " << k << " not painted";
}

struct RenderCase {
  const char* name;
  const char* input;
  std::vector<std::string> options;
  const char* output;
  const char* format;  // of the output file
  const char* type;
  float tolerance;     // outside the swatches, in 0-1 units
};

class Render : public ToolTest, public testing::WithParamInterface<RenderCase> {};

TEST_P(Render, PaintsTheSwatchesAndKeepsEverythingElse) {
  const RenderCase& c = GetParam();
  std::vector<std::string> args = {"render", Source(c.input), "-o", Path(c.output)};
  args.insert(args.end(), c.options.begin(), c.options.end());
  const ToolRun run = Run(args);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("rendered 1 frame"), std::string::npos) << run.err;
  const Pixels out = Read(c.output);
  EXPECT_EQ(out.format, c.format);
  EXPECT_EQ(out.type, c.type);
  ExpectSwatchesOnly(Read(c.input), out, c.tolerance);
}

const float k16 = 1.5f / 65535;  // 16-bit file through the 0-32768 world
INSTANTIATE_TEST_SUITE_P(
    HostsAndFormats, Render,
    testing::Values(
        RenderCase{"ae8_png", "mountain.png", {}, "out.png", "png", "uint8", 0},
        RenderCase{"ae16_tiff16", "mountain16.tif", {"--depth", "16"}, "out.tif", "tiff", "uint16", k16},
        RenderCase{"ae32_exr", "carrots.exr", {"--depth", "32", "--threads", "3"}, "out.exr", "openexr", "half", 0},
        RenderCase{"ae8_jpeg_to_png", "mountain.jpg", {"--quality", "low"}, "out.png", "png", "uint8", 0},
        RenderCase{"ae16_dpx10", "mountain.dpx", {"--depth", "16"}, "out.dpx", "dpx", "uint16", 0.5f / 1023},
        RenderCase{"premiere_bgra8", "mountain.png", {"--host", "premiere"}, "out.png", "png", "uint8", 0},
        RenderCase{"premiere_bgra32f", "carrots.exr", {"--host", "premiere", "--format", "bgra32f"}, "out.exr",
                   "openexr", "half", 0},
        RenderCase{"premiere_vuya32f", "carrots.exr", {"--host", "premiere", "--format", "vuya32f"}, "out.exr",
                   "openexr", "half", 4e-3f},
        RenderCase{"out_type_float", "mountain.png", {"--out-type", "float"}, "out.exr", "openexr", "float",
                   1e-6f},  // 8-bit values scaled back by another route than the reader's
        RenderCase{"grey_to_rgb", "grey.png", {}, "out.png", "png", "uint8", 0},
        RenderCase{"grey_alpha", "greyalpha.png", {}, "out.png", "png", "uint8", 0},
        RenderCase{"rgba", "rgba.png", {"--depth", "32"}, "out.png", "png", "uint8", 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Render, OutputChannelsFollowTheInputsAlpha) {
  for (const auto& [input, channels] : {std::pair{"grey.png", 3}, {"greyalpha.png", 4}, {"rgba.png", 4}}) {
    ASSERT_EQ(Run({"render", Source(input), "-o", Path("c.png"), "-q"}).status, 0);
    EXPECT_EQ(Read("c.png").channels, channels) << input;
  }
}

TEST_F(Render, SwatchesOffPassesTheFrameThrough) {
  ASSERT_EQ(Run({"render", Source("mountain.png"), "-o", Path("off.png"), "--swatches", "off"}).status, 0);
  EXPECT_EQ(Read("off.png").rgba, Read("mountain.png").rgba);
}

TEST_F(Render, GainScalesTheSwatches) {
  ASSERT_EQ(Run({"render", Source("mountain.png"), "-o", Path("g1.png")}).status, 0);
  ASSERT_EQ(Run({"render", Source("mountain.png"), "-o", Path("g05.png"), "--gain", "0.5"}).status, 0);
  const Pixels one = Read("g1.png"), half = Read("g05.png");
  const float* a = SwatchCentre(one, 2);
  const float* b = SwatchCentre(half, 2);
  for (int c = 0; c < 3; ++c) EXPECT_NEAR(b[c], a[c] * 0.5f, 1.5f / 255) << c;
}

std::vector<float> Swatch(const Pixels& image, int cell) {
  const float* p = SwatchCentre(image, cell);
  return {p[0], p[1], p[2]};
}

class Sequence : public ToolTest {
 protected:
  // Frames 1 to 3: the mountain, then the carrots twice, at one size.
  void SetUp() override {
    ToolTest::SetUp();
    ASSERT_EQ(Shell("cp " + Source("mountain.png") + " seq.0001.png && oiiotool " + Source("carrots.png") +
                    " --resize 120x80 -o seq.0002.png && cp seq.0002.png seq.0003.png"),
              0);
  }
  std::vector<std::vector<float>> Palettes(const std::string& toggles) {
    std::vector<std::string> args = {"render", Path("seq.%04d.png"), "--frames", "1-3", "-o", Path("out.%04d.png")};
    if (!toggles.empty()) args.insert(args.end(), {"--toggle-at", toggles});
    const ToolRun run = Run(args);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("rendered 3 frames"), std::string::npos) << run.err;
    std::vector<std::vector<float>> palettes;
    for (const char* name : {"out.0001.png", "out.0002.png", "out.0003.png"}) {
      std::vector<float> colours;
      for (int cell = 0; cell < 5; ++cell)
        for (float v : Swatch(Read(name), cell)) colours.push_back(v);
      palettes.push_back(colours);
    }
    return palettes;
  }
};

TEST_F(Sequence, EveryFrameMeasuredWithoutToggles) {
  const auto p = Palettes("");
  EXPECT_NE(p[0], p[1]);
  EXPECT_EQ(p[1], p[2]);
}

TEST_F(Sequence, ToggleFreezesThePaletteUntilTheNextToggle) {
  const auto frozen = Palettes("2");
  EXPECT_EQ(frozen[1], frozen[0]) << "frame 2 must keep frame 1's palette";
  EXPECT_EQ(frozen[2], frozen[0]) << "frame 3 must keep frame 1's palette";
  const auto resumed = Palettes("2,3");
  EXPECT_EQ(resumed[1], resumed[0]);
  EXPECT_EQ(resumed[2], Palettes("")[2]) << "frame 3 measured again after the second toggle";
}

TEST_F(Sequence, PaletteJsonParsesAndCountsEveryPixel) {
  const std::string check =
      "import json, sys\n"
      "d = json.load(sys.stdin)\n"
      "assert [f['frame'] for f in d['frames']] == [1, 2, 3], d\n"
      "assert [f['toggled_before'] for f in d['frames']] == [False, True, False]\n"
      "for f in d['frames']:\n"
      "    assert [b['band'] for b in f['bands']] == [1, 2, 3, 4, 5]\n"
      "    assert sum(b['count'] for b in f['bands']) == f['width'] * f['height'] == 9600\n"
      "    assert all(len(b['rgb']) == 3 and all(0 <= v <= 1 for v in b['rgb']) for b in f['bands'])\n"
      "# frame 2 is frozen: frame 1's colours with frame 1's counts, not its own\n"
      "assert [f['measured_on'] for f in d['frames']] == [1, 1, 1]\n"
      "assert d['frames'][1]['bands'] == d['frames'][0]['bands']\n";
  const ToolRun run = Run({"palette", "--json", Path("seq.%04d.png"), "--frames", "1-3", "--toggle-at", "2", "--host",
                           "premiere", "--format", "bgra32f"});
  ASSERT_EQ(run.status, 0) << run.err;
  std::ofstream(Path("palette.json")) << run.out;
  std::ofstream(Path("check.py")) << check;
  EXPECT_EQ(Shell("/usr/bin/python3 check.py < palette.json"), 0) << run.out;
}

TEST_F(Sequence, PaletteTableListsFiveBandsPerFrame) {
  const ToolRun run = Run({"palette", Path("seq.0001.png"), Path("seq.0002.png")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1 + 2 * 5) << run.out;
  EXPECT_NE(run.out.find("seq.0002.png"), std::string::npos);
}

TEST_F(ToolTest, InfoShowsTheRegistrationWithUtf8Names) {
  const ToolRun run = Run({"info"});
  ASSERT_EQ(run.status, 0) << run.err;
  for (const char* expected : {"Huewright Generator", "Kestrow Huewright", "Kestrow Productions", "'eFKT'",
                               "0x00080001", "13.25", "启用", "伽玛", "随机种子", "valid 0.001 to 3",
                               "VUYA_4444_32f BGRA_4444_32f BGRA_4444_8u", "SUPPORTS_SMART_RENDER"})
    EXPECT_NE(run.out.find(expected), std::string::npos) << expected << " missing from\n" << run.out;
}

TEST_F(ToolTest, InfoReadsTheWindowsBuildWithoutLoadingIt) {
  const std::string aex = WINDOWS_EFFECT;
  if (aex.empty()) GTEST_SKIP() << "configure with HUEWRIGHT_WINDOWS_BUILD to test the .aex";
  const ToolRun run = Run({"info", "--plugin", aex});
  ASSERT_EQ(run.status, 0) << run.err;
  for (const char* expected : {"ordinal 1  EffectMain", "ordinal 2  PluginDataEntryFunction",
                               "PIPL 16000 (language 1033, 314 bytes", "12 properties", "'8BIM' 'kind'",
                               "\"Kestrow Huewright Generator\"", "'eVER' id 0 length 4: 0x00080001",
                               "file version:     1.0.0.1", "CompanyName:      Kestrow Productions",
                               "ProductName:      Huewright Generator", "OriginalFilename: HuewrightGenerator.aex"})
    EXPECT_NE(run.out.find(expected), std::string::npos) << expected << " missing from\n" << run.out;
}

}  // namespace
