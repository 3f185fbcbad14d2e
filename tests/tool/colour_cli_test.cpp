// Colour through the real tool: swatch files and JSON of a scene-linear EXR
// hold sRGB-encoded colours (linear with --linear-swatches), those of a
// display-encoded JPEG are as the frame holds them, and render says once
// when a float picture is written to a file of integers.
#include <fstream>

#include "tool_fixture.h"

namespace {

// Reads default.json (the palette as written) and kept.json (with
// --linear-swatches); every swatch file p.* must hold default.json's colours.
constexpr const char* kCheckColours = R"(import json, math, re, struct, sys
linear = sys.argv[1] == '1'
d = json.load(open('default.json'))['frames'][0]['bands']
k = json.load(open('kept.json'))['frames'][0]['bands']
srgb = lambda x: 12.92 * x if abs(x) <= 0.0031308 else math.copysign(1.055 * abs(x) ** (1 / 2.4) - 0.055, x)
assert not all(b['empty'] for b in d)
for bd, bk in zip(d, k):
    assert bd['encoding'] == 'srgb', bd
    assert bk['encoding'] == ('linear' if linear else 'srgb'), bk
    if bd['empty']: continue
    for c in range(3):
        want = srgb(bk['rgb'][c]) if linear else bk['rgb'][c]
        assert abs(bd['rgb'][c] - want) <= 1e-6 * max(1, abs(want)), (bd, bk)
rgb8 = [b['rgb8'] or [0, 0, 0] for b in d]
gpl = [list(map(int, line.split('\t')[0].split())) for line in open('p.gpl').read().split('#\n')[1].splitlines()]
assert gpl == rgb8, (gpl, rgb8)
css = re.findall(r'band-\d: (#[0-9a-f]{6})', open('p.css').read())
assert css == [b['hex'] or '#000000' for b in d], css
ase = open('p.ase', 'rb').read()
floats = [struct.unpack('>3f', ase[at + 4:at + 16]) for at in [m.start() for m in re.finditer(b'RGB ', ase)]]
assert [[round(v * 255) for v in f] for f in floats] == rgb8, floats
)";

struct ColourCase {
  const char* name;
  const char* input;
  std::vector<std::string> options;
  bool linear;   // the input is scene-linear
  bool clipped;  // some colours lie beyond 0-1, which .gpl, .css and .ase clip
};

class Colour : public ToolTest, public testing::WithParamInterface<ColourCase> {};

TEST_P(Colour, SwatchFilesHoldDisplayColours) {
  const ColourCase& c = GetParam();
  std::vector<std::string> args = {"palette", Source(c.input), "--export", Path("default.json")};
  for (const char* file : {"p.gpl", "p.css", "p.ase"}) args.insert(args.end(), {"--export", Path(file)});
  args.insert(args.end(), c.options.begin(), c.options.end());
  const ToolRun run = Run(args);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err.find("p.gpl: ") != std::string::npos, c.clipped) << run.err;
  EXPECT_EQ(run.err.find("default.json: "), std::string::npos) << "JSON holds any value: " << run.err;
  std::vector<std::string> kept = {"palette", Source(c.input), "--linear-swatches", "--export", Path("kept.json")};
  kept.insert(kept.end(), c.options.begin(), c.options.end());
  ASSERT_EQ(Run(kept).status, 0);
  std::ofstream(Path("check.py")) << kCheckColours;
  EXPECT_EQ(Shell(std::string("/usr/bin/python3 check.py ") + (c.linear ? "1" : "0")), 0)
      << Bytes("default.json") << Bytes("kept.json") << Bytes("p.gpl");
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, Colour,
    testing::Values(ColourCase{"linear_exr_above_white", "carrots.exr", {"--gain", "3"}, true, true},
                    ColourCase{"srgb_jpeg", "mountain.jpg", {}, false, false},
                    ColourCase{"srgb_jpeg_16bit", "mountain.jpg", {"--depth", "16"}, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

struct ClipCase {
  const char* name;
  std::vector<std::string> inputs;
  std::string output;
  std::vector<std::string> options;
  const char* warned;  // the file the warning names, or "" for none
};

class FloatToIntegers : public ToolTest, public testing::WithParamInterface<ClipCase> {};

TEST_P(FloatToIntegers, WarnsOncePerRun) {
  const ClipCase& c = GetParam();
  std::vector<std::string> args = {"render"};
  for (const std::string& input : c.inputs) args.push_back(Source(input));
  args.insert(args.end(), {"-o", Path(c.output)});
  args.insert(args.end(), c.options.begin(), c.options.end());
  const ToolRun run = Run(args);
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string said = "values above 1";
  const std::size_t first = run.err.find(said);
  if (c.warned[0] == '\0') {
    EXPECT_EQ(first, std::string::npos) << run.err;
    return;
  }
  EXPECT_NE(run.err.find("warning: " + Path(c.warned) + ": "), std::string::npos) << run.err;
  EXPECT_NE(first, std::string::npos) << run.err;
  EXPECT_EQ(first, run.err.rfind(said)) << "once per run, not per frame: " << run.err;
}

const std::vector<std::string> kTwoExrs = {"carrots.exr", "carrots.exr"};
INSTANTIATE_TEST_SUITE_P(
    Outputs, FloatToIntegers,
    testing::Values(ClipCase{"exr_to_png", kTwoExrs, "seq.%d.png", {}, "seq.1.png"},
                    // Warnings are not progress: --quiet keeps them, as it keeps the depth warning.
                    ClipCase{"quiet", kTwoExrs, "seq.%d.jpg", {"-q"}, "seq.1.jpg"},

                    ClipCase{"explicit_out_type", kTwoExrs, "seq.%d.png", {"--out-type", "uint16"}, ""},
                    ClipCase{"explicit_integer_depth", kTwoExrs, "seq.%d.png", {"--depth", "16"}, ""},
                    ClipCase{"exr_to_exr", kTwoExrs, "seq.%d.exr", {}, ""},

                    ClipCase{"png_in_float_world", {"mountain.png"}, "out.png", {"--depth", "32"}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

// Light and display values do not add up: a shot of both is refused, naming
// the first frame of the other kind, before anything is written.
TEST_F(ToolTest, FramesSummaryRefusesLinearAndDisplayFramesTogether) {
  const ToolRun run = Run({"palette", Source("carrots.exr"), Source("mountain.jpg"), "--depth", "32",
                           "--frames-summary", "--export", Path("shot.css")});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find(Path("mountain.jpg") + ": is display-encoded, earlier frames scene-linear"), std::string::npos)
      << run.err;
  EXPECT_TRUE(Bytes("shot.css").empty()) << "no swatch file from a failed run";
}

}  // namespace
