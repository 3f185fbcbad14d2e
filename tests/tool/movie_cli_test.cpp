// Movies in every container and codec ffmpeg writes here: each frame once,
// in order, as ffmpeg itself decodes it; --frames picks frames counted from
// 1; a movie into a directory becomes a sequence named after it.
#include <algorithm>
#include <cmath>

#include "tool_fixture.h"

namespace {

struct MovieCase {
  const char* name;
  const char* encode;  // ffmpeg's output options
};

const MovieCase kMovies[] = {
    {"clip.mp4", "-c:v libx264 -pix_fmt yuv420p"},  // B-frames: pictures held back at the end
    {"clip.mkv", "-c:v libx264 -pix_fmt yuv420p"},  // Matroska records no frame count
    {"ffv1.mkv", "-c:v ffv1"},
    {"clip.webm", "-c:v libvpx-vp9"},
    {"clip.avi", "-c:v mpeg4"},
    {"clip.mxf", "-c:v mpeg2video"},
    {"no_extension", "-c:v libx264 -pix_fmt yuv420p -f matroska"},  // recognised by content
};
constexpr int kFrames = 12;

class Movie : public ToolTest, public testing::WithParamInterface<MovieCase> {
 protected:
  void SetUp() override {
    ToolTest::SetUp();
    ASSERT_EQ(Shell(std::string("ffmpeg -loglevel error -f lavfi -i testsrc=size=64x48:rate=24 -frames:v 12 ") +
                    GetParam().encode + " " + GetParam().name),
              0);
    // ffmpeg's own pictures of every frame, converted as huewright converts.
    ASSERT_EQ(Shell(std::string("ffmpeg -loglevel error -i ") + GetParam().name +
                    " -sws_flags bicubic+accurate_rnd+full_chroma_int -pix_fmt rgb24 ref.%04d.png"),
              0);
  }
  void ExpectFrame(const std::string& written, int number) {
    const Pixels ours = Read(written);
    const Pixels theirs = Read("ref." + std::string(number < 10 ? "000" : "00") + std::to_string(number) + ".png");
    ASSERT_EQ(ours.rgba.size(), theirs.rgba.size()) << written;
    float worst = 0;
    for (std::size_t i = 0; i < ours.rgba.size(); ++i) worst = std::max(worst, std::fabs(ours.rgba[i] - theirs.rgba[i]));
    EXPECT_LE(worst, 1.5f / 255) << written << " is not frame " << number;
  }
  std::string Stem() const { return std::string(GetParam().name).substr(0, std::string(GetParam().name).find('.')); }
};

TEST_P(Movie, EveryFrameOnceIntoADirectoryNamedAfterTheMovie) {
  const ToolRun run = Run({"render", Path(GetParam().name), "-o", Path("out/"), "-q", "--swatches", "off"});
  ASSERT_EQ(run.status, 0) << run.err;
  for (int n = 1; n <= kFrames; ++n)
    ExpectFrame("out/" + Stem() + "." + (n < 10 ? "000" : "00") + std::to_string(n) + ".png", n);
}

TEST_P(Movie, FramesPicksFramesCountedFromOne) {
  const ToolRun run =
      Run({"render", Path(GetParam().name), "--frames", "10-12", "-o", Path("f.%04d.png"), "-q", "--swatches", "off"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> files = Listing();
  EXPECT_EQ(std::count_if(files.begin(), files.end(), [](const std::string& f) { return f.rfind("f.", 0) == 0; }), 3);
  for (int n = 10; n <= kFrames; ++n) ExpectFrame("f.00" + std::to_string(n) + ".png", n);
  const ToolRun palette = Run({"palette", Path(GetParam().name), "--frames", "11-11", "--json", "-q"});
  ASSERT_EQ(palette.status, 0) << palette.err;
  EXPECT_NE(palette.out.find("\"frame\": 11"), std::string::npos) << palette.out;
  EXPECT_EQ(Run({"palette", Path(GetParam().name), "--frames", "0-2"}).status, 2);
  EXPECT_EQ(Run({"palette", Path(GetParam().name), "--frames", "12-13"}).status, 1);
}

INSTANTIATE_TEST_SUITE_P(Containers, Movie, testing::ValuesIn(kMovies), [](const auto& info) {
  std::string name = info.param.name;
  std::replace(name.begin(), name.end(), '.', '_');
  return name;
});

}  // namespace
