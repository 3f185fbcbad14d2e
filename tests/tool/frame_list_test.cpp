#include "frame_list.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <filesystem>

#include "tool_error.h"

namespace huewright {
namespace {

TEST(FramePattern, Expansion) {
  const struct {
    const char* pattern;
    int number;
    const char* expected;
  } cases[] = {{"shot.%04d.exr", 7, "shot.0007.exr"}, {"shot.%d.exr", 12, "shot.12.exr"},
               {"s%3d.png", 5, "s  5.png"},          {"a%%b.%02d.png", 3, "a%b.03.png"},
               {"shot.%04d.exr", 12345, "shot.12345.exr"}, {"plain.png", 3, "plain.png"}};
  for (const auto& c : cases) EXPECT_EQ(ExpandPattern(c.pattern, c.number), c.expected) << c.pattern;
  EXPECT_TRUE(IsFramePattern("x.%04d.png"));
  EXPECT_FALSE(IsFramePattern("100%%.png"));
  EXPECT_THROW(ExpandPattern("x.%s.png", 1), UsageError);
  EXPECT_THROW(ExpandPattern("x.%4.png", 1), UsageError);
}

TEST(FrameRange, Parsing) {
  EXPECT_EQ(ParseFrameRange("1-48").first, 1);
  EXPECT_EQ(ParseFrameRange("1-48").last, 48);
  EXPECT_EQ(ParseFrameRange("7").last, 7);
  for (const char* bad : {"", "5-1", "a-b", "1-", "-3", "1-2-3", "1.5-2"})
    EXPECT_THROW(ParseFrameRange(bad), UsageError) << bad;
}

// Frames are named before the first is read: a range of billions is
// refused, and one ending at the largest int stops there.
TEST(Inputs, PatternRangesAreBoundedAndEndWhereTheySay) {
  EXPECT_THROW(ExpandInputs({"in.%d.png"}, FrameRange{0, INT_MAX}), UsageError);
  EXPECT_THROW(ExpandInputs({"in.%d.png"}, FrameRange{0, 1'000'000}), UsageError);
  const std::vector<Frame> last = ExpandInputs({"in.%d.png"}, FrameRange{INT_MAX - 1, INT_MAX});
  ASSERT_EQ(last.size(), 2u);
  EXPECT_EQ(last[1].input, "in.2147483647.png");
}

TEST(Inputs, PatternNeedsFramesAndListsNumberFromOne) {
  const std::vector<Frame> frames = ExpandInputs({"in.%02d.png"}, FrameRange{9, 11});
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_EQ(frames[0].input, "in.09.png");
  EXPECT_EQ(frames[2].number, 11);
  const std::vector<Frame> list = ExpandInputs({"a.png", "b.png"}, std::nullopt);
  EXPECT_EQ(list[1].number, 2);
  EXPECT_THROW(ExpandInputs({"in.%02d.png"}, std::nullopt), UsageError);
  EXPECT_THROW(ExpandInputs({"a.png"}, FrameRange{1, 2}), UsageError);
  EXPECT_THROW(ExpandInputs({}, std::nullopt), UsageError);
}

TEST(Outputs, NamesFromFileDirectoryOrPattern) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("huewright_frame_list_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const struct {
    std::vector<std::string> inputs;
    std::string output;
    std::vector<std::string> expected;
  } cases[] = {
      {{"in/a.png"}, "out.tif", {"out.tif"}},
      {{"in/a.png"}, "out", {"out.png"}},  // no extension: the input's format
      {{"in/a.png", "in/b.exr"}, dir.string(), {(dir / "a.png").string(), (dir / "b.exr").string()}},
      {{"a.png", "b.png"}, "o.%03d.jpg", {"o.001.jpg", "o.002.jpg"}},
      {{"a.png", "b.png"}, "o.%03d", {"o.001.png", "o.002.png"}},
  };
  for (const auto& c : cases) {
    std::vector<Frame> frames = ExpandInputs(c.inputs, std::nullopt);
    AssignOutputs(frames, c.output);
    for (std::size_t i = 0; i < frames.size(); ++i) EXPECT_EQ(frames[i].output, c.expected[i]) << c.output;
  }
  std::vector<Frame> two = ExpandInputs({"a.png", "b.png"}, std::nullopt);
  EXPECT_THROW(AssignOutputs(two, "single.png"), UsageError);
  AssignOutputs(two, (dir / "missing").string());  // a directory to be created
  EXPECT_EQ(two[1].output, (dir / "missing" / "b.png").string());
  EXPECT_THROW(AssignOutputs(two, "h%02d%03d.png"), UsageError) << "two conversions";
  std::vector<Frame> clash = ExpandInputs({"x/a.png", "y/a.png"}, std::nullopt);
  EXPECT_THROW(AssignOutputs(clash, dir.string()), UsageError);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace huewright
