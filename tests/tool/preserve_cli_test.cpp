// What a render keeps: the header as oiiotool keeps it when it copies a
// file, the input's depth, every channel, layer and part, the picture's
// orientation; and every frame of a movie. Files are made at test time.
#include <cmath>
#include <fstream>

#include <OpenImageIO/imagebuf.h>

#include "tool_fixture.h"

namespace {

const std::string kFill =
    "--pattern fill:topleft=0.1,0.2,0.9:topright=0.9,0.8,0.1:bottomleft=0.3,0.9,0.3:bottomright=2.5,1.5,0.2 ";

// The quantisation tables of a JPEG file (its DQT segments), which fix the
// quality it was saved at.
std::string QuantisationTables(const std::string& bytes) {
  std::string tables;
  for (std::size_t at = 2; at + 4 <= bytes.size() && static_cast<unsigned char>(bytes[at]) == 0xFF;) {
    const unsigned char marker = static_cast<unsigned char>(bytes[at + 1]);
    if (marker == 0xDA) break;
    const std::size_t length =
        static_cast<std::size_t>(static_cast<unsigned char>(bytes[at + 2])) << 8 | static_cast<unsigned char>(bytes[at + 3]);
    if (marker == 0xDB) tables += bytes.substr(at, 2 + length);
    at += 2 + length;
  }
  return tables;
}

class Preserve : public ToolTest {
 protected:
  void Make(const std::string& arguments) { ASSERT_EQ(Shell("oiiotool " + arguments), 0) << arguments; }
  // The pixels of channel `name` of part `part`, as floats.
  std::vector<float> Channel(const std::string& file, const std::string& name, int part = 0) {
    OIIO::ImageBuf image(Path(file), part, 0);
    const int c = image.spec().channelindex(name);
    EXPECT_GE(c, 0) << file << " has no channel " << name;
    std::vector<float> values(static_cast<std::size_t>(image.spec().image_pixels()));
    if (c >= 0) image.get_pixels(OIIO::ROI(image.roi().xbegin, image.roi().xend, image.roi().ybegin,
                                           image.roi().yend, 0, 1, c, c + 1),
                                 OIIO::TypeDesc::FLOAT, values.data());
    return values;
  }
  ToolRun Render(const std::string& in, const std::string& out, std::vector<std::string> more = {}) {
    std::vector<std::string> args = {"render", Path(in), "-o", Path(out), "-q"};
    args.insert(args.end(), more.begin(), more.end());
    return Run(args);
  }
};

// `oiiotool --info -v` of our output equals that of oiiotool's own copy.
TEST_F(Preserve, HeadersMatchOiiotoolsCopy) {
  Make(kFill + "96x64 3 -d uint8 --attrib Artist Ann --attrib Copyright '(c) Ann' --attrib Make Phone "
               "--attrib GPS:Latitude 1,2,3 --attrib XResolution 300 --attrib YResolution 300 "
               "--attrib jpeg:subsampling 4:4:4 -o exif.jpg");
  const std::string icc = "/usr/share/color/icc/ghostscript/a98.icc";
  ASSERT_EQ(Shell("exiftool -q -overwrite_original '-icc_profile<=" + icc + "' -IPTC:By-line=Ann exif.jpg"), 0);
  Make(kFill + "96x64 3 -d half --attrib PixelAspectRatio 2.0 --compression piz -o aspect.exr");
  Make(kFill + "126x86 3 -d half --origin +10+5 --fullsize 146x96+0+0 -o window.exr");
  Make(kFill + "96x64 4 -d half --tile 32 32 --compression dwaa -o tiled.exr");
  Make(kFill + "96x64 3 -d uint8 --compression lzw -o lzw.tif");
  Make(kFill + "96x64 3 -d uint8 --compression none -o none.tif");
  Make(kFill + "96x64 3 -d uint16 --attrib oiio:BitsPerSample 10 -o ten.dpx");
  Make(kFill + "96x64 3 -d half --ch R,G,B,Z=0.5 -o rgbz.exr");
  const std::string script = std::string(PROJECT_DIR) + "/scripts/compare-with-oiiotool.sh";
  ASSERT_EQ(Shell(script + " '" + HUEWRIGHT_TOOL + "' exif.jpg aspect.exr window.exr tiled.exr lzw.tif none.tif "
                  "ten.dpx rgbz.exr " + Source("carrots.exr") + " > differences.txt"), 0);
  EXPECT_EQ(Bytes("differences.txt"), "");
  // exiftool's reading of the profile and the IPTC and EXIF tags.
  ASSERT_EQ(Render("exif.jpg", "out.jpg").status, 0);
  const std::string tags = "exiftool -s3 -ProfileDescription -By-line -Artist -Copyright -Make -XResolution ";
  ASSERT_EQ(Shell("oiiotool exif.jpg --mulc 1 -o copy.jpg && " + tags + "copy.jpg > copy.txt && " + tags +
                  "out.jpg > out.txt"), 0);
  EXPECT_NE(Bytes("out.txt").find("A98"), std::string::npos) << Bytes("out.txt");
  EXPECT_EQ(Bytes("out.txt"), Bytes("copy.txt"));
}

// The default depth keeps HDR values and 16-bit steps; asking for less
// says so once per command.
TEST_F(Preserve, DepthFollowsTheInput) {
  Make("--pattern constant:color=2.5,0.5,0.25 40x30 3 -d half -o hdr.exr");
  Make("--pattern constant:color=0.30001,0.5,0.7 40x30 3 -d uint16 -o deep.png");
  ASSERT_EQ(Render("hdr.exr", "hdr_out.exr").status, 0);
  EXPECT_FLOAT_EQ(Read("hdr_out.exr").At(0, 0)[0], 2.5f);
  ASSERT_EQ(Render("deep.png", "deep_out.png").status, 0);
  EXPECT_NEAR(Read("deep_out.png").At(0, 0)[0], Read("deep.png").At(0, 0)[0], 1.0f / 32768);
  EXPECT_NE(std::fmod(Read("deep_out.png").At(0, 0)[0] * 65535.0f, 257.0f), 0.0f) << "reduced to 8-bit steps";
  // A deeper --out-type keeps the 16-bit world's swatches of an 8-bit file.
  Make(kFill + "96x64 3 -d uint8 -o eight.png");
  ASSERT_EQ(Render("eight.png", "sixteen.tif", {"--depth", "16", "--out-type", "uint16"}).status, 0);
  const Pixels sixteen = Read("sixteen.tif");
  int off_8bit_steps = 0;
  for (int cell = 0; cell < 5; ++cell)
    for (int c = 0; c < 3; ++c)
      off_8bit_steps += std::fmod(std::round(sixteen.At(static_cast<int>((0.18 + 0.16 * cell) * 96), 56)[c] * 65535.0f),
                                  257.0f) != 0.0f;
  EXPECT_GT(off_8bit_steps, 0) << "swatches reduced to 8-bit steps";
  const ToolRun run = Run({"render", Path("hdr.exr"), Path("hdr.exr"), "-o", Path("eight.%d.exr"), "--depth", "8"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("warning: "), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find("warning: "), run.err.rfind("warning: ")) << "warned more than once: " << run.err;
}

TEST_F(Preserve, ChannelsLayersAndPartsPassThrough) {
  Make(kFill + "96x64 3 -d half --ch R,G,B,Z=0.5 -o rgbz.exr");
  ASSERT_EQ(Render("rgbz.exr", "rgbz_out.exr").status, 0);
  EXPECT_EQ(Channel("rgbz_out.exr", "Z"), std::vector<float>(96 * 64, 0.5f)) << "Z renamed, clamped or dropped";
  EXPECT_NE(Channel("rgbz_out.exr", "R"), Channel("rgbz.exr", "R")) << "no swatches";

  Make(kFill + "96x64 4 -d half --ch R,G,B,A,Z=0.5 -o base.exr");
  Make("--pattern constant:color=0.2,0.4,0.6 96x64 3 -d half --chnames diffuse.R,diffuse.G,diffuse.B -o diffuse.exr");
  Make("base.exr diffuse.exr --chappend -o layered.exr");
  ASSERT_EQ(Render("layered.exr", "layered_out.exr").status, 0);
  EXPECT_EQ(Channel("layered_out.exr", "diffuse.G"), Channel("layered.exr", "diffuse.G"));
  ASSERT_EQ(Render("layered.exr", "diffuse_out.exr", {"--layer", "diffuse"}).status, 0);
  EXPECT_EQ(Channel("diffuse_out.exr", "R"), Channel("layered.exr", "R")) << "--layer painted the main layer";
  EXPECT_NE(Channel("diffuse_out.exr", "diffuse.G"), Channel("layered.exr", "diffuse.G")) << "layer not painted";

  Make("base.exr diffuse.exr --siappend -o multi.exr");
  ASSERT_EQ(Render("multi.exr", "multi_out.exr").status, 0);
  EXPECT_EQ(Channel("multi_out.exr", "diffuse.B", 1), Channel("multi.exr", "diffuse.B", 1)) << "second part lost";
}

// The phone photo's swatches go along the bottom of the upright picture.
TEST_F(Preserve, OrientationIsUprightUnlessKept) {
  Make(kFill + "96x64 3 -d uint8 --attrib Orientation 6 -o phone.tif");
  ASSERT_EQ(Render("phone.tif", "upright.tif").status, 0);
  const Pixels upright = Read("upright.tif");
  EXPECT_EQ(upright.width, 64);
  EXPECT_EQ(upright.height, 96);
  EXPECT_EQ(Shell("oiiotool --info -v upright.tif | grep -q 'Orientation: 1'"), 0);
  const float* left = upright.At(static_cast<int>(0.15 * 64), static_cast<int>(0.875 * 96));
  const float* right = upright.At(static_cast<int>(0.2 * 64), static_cast<int>(0.875 * 96));
  EXPECT_EQ(std::vector<float>(left, left + 3), std::vector<float>(right, right + 3)) << "no swatch at the bottom";
  ASSERT_EQ(Render("phone.tif", "stored.tif", {"--keep-orientation"}).status, 0);
  EXPECT_EQ(Read("stored.tif").width, 96);
  EXPECT_EQ(Shell("oiiotool --info -v stored.tif | grep -q 'Orientation: 6'"), 0);
}

TEST_F(Preserve, EveryFrameOfAMovieRendersToASequence) {
  ASSERT_EQ(Shell("ffmpeg -loglevel error -f lavfi -i testsrc=size=96x64:rate=6 -frames:v 6 -pix_fmt yuv444p "
                  "clip.mp4"),
            0);
  const ToolRun run = Render("clip.mp4", "f.%02d.png");
  ASSERT_EQ(run.status, 0) << run.err;
  for (const char* name : {"f.01.png", "f.06.png"}) EXPECT_EQ(Read(name).width, 96) << name;
  EXPECT_NE(Read("f.01.png").rgba, Read("f.06.png").rgba) << "the same frame twice";
  const ToolRun palette = Run({"palette", Path("clip.mp4")});
  ASSERT_EQ(palette.status, 0) << palette.err;
  EXPECT_EQ(std::count(palette.out.begin(), palette.out.end(), '\n'), 1 + 6 * 5) << palette.out;
}

// The size is checked from the header, before any pixel is read.
TEST_F(Preserve, ImageTooLargeFailsUpFront) {
  std::ofstream(Path("huge.py")) <<
      "import struct, zlib\n"
      "def chunk(kind, data):\n"
      "    return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))\n"
      "ihdr = struct.pack('>IIBBBBB', 20000, 20000, 8, 2, 0, 0, 0)\n"
      "open('huge.png', 'wb').write(b'\\x89PNG\\r\\n\\x1a\\n' + chunk(b'IHDR', ihdr) +\n"
      "    chunk(b'IDAT', zlib.compress(bytes(64))) + chunk(b'IEND', b''))\n";
  ASSERT_EQ(Shell("python3 huge.py"), 0);
  const ToolRun run = Render("huge.png", "out.png");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("huge.png: image too large: 20000 x 20000 needs"), std::string::npos) << run.err;
}

// A JPEG is written back at its own quality and subsampling (the tables
// match those libjpeg makes for that quality), unless --compression says.
TEST_F(Preserve, JpegKeepsItsQualityAndSubsampling) {
  const struct {
    std::string quality, subsampling, compression, expected;  // expected: the quality of the output's tables
  } cases[] = {{"92", "4:2:0", "", "92"},
               {"12", "4:4:4", "", "12"},
               {"75", "4:2:2", "", "75"},
               {"100", "4:2:0", "", "100"},
               {"92", "4:2:0", "jpeg:60", "60"}};
  for (const auto& c : cases) {
    const std::string made = " --attrib jpeg:subsampling " + c.subsampling + " -o ";
    Make(Source("mountain.png") + " --compression jpeg:" + c.quality + made + "in.jpg");
    Make(Source("mountain.png") + " --compression jpeg:" + c.expected + made + "expected.jpg");
    ASSERT_EQ(Render("in.jpg", "out.jpg", c.compression.empty() ? std::vector<std::string>{}
                                                                  : std::vector<std::string>{"--compression", c.compression})
                  .status,
              0);
    const std::string tables = QuantisationTables(Bytes("out.jpg"));
    EXPECT_FALSE(tables.empty());
    EXPECT_EQ(tables, QuantisationTables(Bytes("expected.jpg"))) << c.quality << " " << c.compression;
    EXPECT_EQ(Shell("oiiotool --info -v out.jpg | grep -q 'jpeg:subsampling: \"" + c.subsampling + "\"'"), 0)
        << c.subsampling;
  }
}

}  // namespace
