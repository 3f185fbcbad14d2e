// Bad input must fail with a message naming the file and the reason, a
// non-zero status, and no output left behind: no partial file, no temporary
// file, and an existing output untouched.
#include <unistd.h>

#include <csignal>

#include "tool_fixture.h"

namespace {

struct FailureCase {
  const char* name;
  std::vector<std::string> args;  // "@x" is the path of test image x, "%x" of file x in the scratch directory
  std::vector<std::string> message;  // fragments of the error, in any order
};

class Failure : public ToolTest, public testing::WithParamInterface<FailureCase> {
 protected:
  // Broken inputs next to the good ones.
  void MakeBrokenFiles() {
    ASSERT_EQ(Shell("head -c 3000 " + Source("mountain.png") + " > trunc.png && head -c 4000 " +
                    Source("carrots.exr") + " > trunc.exr && head -c 2000 " + Source("mountain.jpg") +
                    " > trunc.jpg && head -c 5000 " + Source("mountain16.tif") +
                    " > trunc.tif && echo 'not an image' > text.png && cp " + Source("mountain.png") +
                    " existing.png && ln -s existing.png link.png && ln existing.png hard.png && cp existing.png "
                    "s.0001.png && cp existing.png s.0002.png && mkdir -p real/inner && cp existing.png real/in.png "
                    "&& ln -s real/inner hop"),
              0);
    Source("five.exr");
  }
  std::vector<std::string> Expand(const std::vector<std::string>& args) {
    std::vector<std::string> out;
    for (const std::string& a : args)
      out.push_back(a[0] == '@' ? Source(a.substr(1)) : a[0] == '%' ? Path(a.substr(1)) : a);
    return out;
  }
};

TEST_P(Failure, ExitsNonZeroNamingTheCauseAndLeavesNothingBehind) {
  const FailureCase& c = GetParam();
  MakeBrokenFiles();
  const std::vector<std::string> args = Expand(c.args);
  const std::vector<std::string> before = Listing();
  const std::string existing = Bytes("existing.png");
  const ToolRun run = Run(args);
  EXPECT_NE(run.status, 0);
  EXPECT_NE(run.err.find("huewright: "), std::string::npos) << run.err;
  for (const std::string& fragment : c.message)
    EXPECT_NE(run.err.find(fragment), std::string::npos) << "'" << fragment << "' missing from: " << run.err;
  EXPECT_EQ(Listing(), before) << "files were created or removed";
  EXPECT_EQ(Bytes("existing.png"), existing) << "an existing output was changed";
}

INSTANTIATE_TEST_SUITE_P(
    BadInputs, Failure,
    testing::Values(
        FailureCase{"missing_input", {"render", "%nothere.png", "-o", "%existing.png"}, {"nothere.png", "no such file"}},
        FailureCase{"truncated_png", {"render", "%trunc.png", "-o", "%existing.png"}, {"trunc.png", "truncated"}},
        FailureCase{"truncated_exr", {"render", "%trunc.exr", "-o", "%existing.png"}, {"trunc.exr", "truncated"}},
        FailureCase{"truncated_jpeg", {"render", "%trunc.jpg", "-o", "%existing.png"}, {"trunc.jpg", "truncated"}},
        FailureCase{"truncated_tiff", {"render", "%trunc.tif", "-o", "%existing.png"}, {"trunc.tif", "truncated"}},
        FailureCase{"not_an_image", {"render", "%text.png", "-o", "%existing.png"}, {"text.png", "cannot read"}},
        FailureCase{"layer_missing", {"render", "%five.exr", "-o", "%x.exr", "--layer", "nope"},
                    {"five.exr", "no layer 'nope'"}},
        FailureCase{"movie_output", {"render", "@mountain.png", "-o", "%out.mp4"}, {"out.mp4", "image sequences"}},
        FailureCase{"json_switch_given_a_file", {"palette", "@mountain.png", "--json", "%p.json"},
                    {"p.json", "--json prints", "--export"}},
        FailureCase{"palette_of_damaged", {"palette", "@mountain.png", "%trunc.png"}, {"trunc.png", "truncated"}},
        FailureCase{"second_frame_missing", {"render", "@mountain.png", "%gone.png", "-o", "%o.%02d.png"},
                    {"gone.png", "no such file"}},
        FailureCase{"output_is_input", {"render", "%existing.png", "-o", "%existing.png"},
                    {"existing.png", "is the input"}},
        FailureCase{"output_is_input_through_symlink", {"render", "%link.png", "-o", "%existing.png"},
                    {"existing.png", "is the input", "link.png"}},
        FailureCase{"output_is_input_through_hard_link", {"render", "%existing.png", "-o", "%hard.png"},
                    {"hard.png", "is the input"}},
        // hop/.. is real, not the scratch directory: links resolve before "..".
        FailureCase{"output_is_input_through_linked_directory_and_dotdot",
                    {"render", "%real/in.png", "-o", "%hop/../in.png"},
                    {"hop/../in.png", "is the input", "real/in.png"}},
        FailureCase{"output_directory_of_the_input", {"render", "%existing.png", "-o", "%."}, {"is the input"}},
        FailureCase{"pattern_into_its_own_directory", {"render", "%s.%04d.png", "--frames", "1-2", "-o", "%"},
                    {"s.0001.png", "is the input"}},
        FailureCase{"pattern_onto_itself", {"render", "%s.%04d.png", "--frames", "1-2", "-o", "%s.%04d.png"},
                    {"s.0001.png", "is the input"}},
        FailureCase{"no_clobber", {"render", "@mountain.png", "-o", "%existing.png", "--no-clobber"},
                    {"existing.png", "already exists"}},
        FailureCase{"every_missing_frame_named", {"render", "%s.%04d.png", "--frames", "1-4", "-o", "%o.%04d.png"},
                    {"s.0003.png, ", "s.0004.png", "2 inputs missing"}},
        FailureCase{"two_conversions", {"render", "@mountain.png", "-o", "%h%02d%03d.png"}, {"one % conversion"}},
        FailureCase{"gain_in_premiere", {"render", "@mountain.png", "-o", "%x.png", "--host", "premiere", "--gain", "2"},
                    {"--gain", "Premiere"}},
        FailureCase{"unknown_output_format", {"render", "@mountain.png", "-o", "%out.xyz"}, {"out.xyz"}},
        FailureCase{"plugin_missing", {"render", "@mountain.png", "-o", "%existing.png", "--plugin", "%none.so"},
                    {"none.so", "not found"}},
        FailureCase{"plugin_not_a_library", {"render", "@mountain.png", "-o", "%existing.png", "--plugin", "%text.png"},
                    {"text.png", "cannot load"}},
        FailureCase{"depth", {"render", "@mountain.png", "-o", "%existing.png", "--depth", "12"},
                    {"--depth", "12", "8,16,32"}},
        FailureCase{"depth_in_premiere", {"render", "@mountain.png", "-o", "%x.png", "--host", "premiere", "--depth", "16"},
                    {"--depth"}},
        FailureCase{"format_in_ae", {"render", "@mountain.png", "-o", "%x.png", "--format", "vuya32f"}, {"--format"}},
        FailureCase{"format", {"render", "@mountain.png", "-o", "%x.png", "--host", "premiere", "--format", "yuv"},
                    {"--format", "yuv"}},
        FailureCase{"host", {"render", "@mountain.png", "-o", "%x.png", "--host", "nuke"}, {"--host", "nuke"}},
        FailureCase{"gain_range", {"render", "@mountain.png", "-o", "%x.png", "--gain", "5"}, {"--gain", "5"}},
        FailureCase{"gain_nan", {"render", "@mountain.png", "-o", "%x.png", "--gain", "nan"}, {"--gain"}},
        FailureCase{"threads", {"render", "@mountain.png", "-o", "%x.png", "--threads", "0"}, {"--threads"}},
        FailureCase{"toggle_at", {"render", "@mountain.png", "-o", "%x.png", "--toggle-at", "2,x"}, {"--toggle-at"}},
        FailureCase{"frames", {"render", "%s.%04d.png", "--frames", "5-2", "-o", "%x.png"}, {"--frames", "5-2"}},
        FailureCase{"pattern_without_frames", {"render", "%s.%04d.png", "-o", "%x.png"}, {"--frames"}},
        FailureCase{"out_type", {"render", "@mountain.png", "-o", "%x.png", "--out-type", "int7"}, {"--out-type"}},
        FailureCase{"swatches", {"render", "@mountain.png", "-o", "%x.png", "--swatches", "yes"}, {"--swatches"}},
        FailureCase{"unknown_option", {"render", "@mountain.png", "-o", "%x.png", "--fast"}, {"--fast"}},
        FailureCase{"missing_output", {"render", "@mountain.png"}, {"-o"}},
        FailureCase{"unknown_command", {"paint", "@mountain.png"}, {"paint"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ToolTest, FailedFrameKeepsTheFramesBeforeItComplete) {
  ASSERT_EQ(Shell("head -c 3000 " + Source("mountain.png") + " > trunc.png"), 0);
  const ToolRun run = Run({"render", Source("mountain.png"), Path("trunc.png"), "-o", Path("o.%02d.png")});
  EXPECT_NE(run.status, 0);
  EXPECT_EQ(Read("o.01.png").rgba.size(), 120u * 80 * 4);
  for (const std::string& name : Listing()) EXPECT_EQ(name.find("o.02"), std::string::npos) << name;
  for (const std::string& name : Listing()) EXPECT_EQ(name.find(".huewright-"), std::string::npos) << name;
}

}  // namespace

namespace {

TEST_F(ToolTest, MissingOutputDirectoriesAreCreated) {
  ASSERT_EQ(Run({"render", Source("mountain.png"), "-o", Path("new/deeper/out.png"), "-q"}).status, 0);
  EXPECT_EQ(Read("new/deeper/out.png").width, 120);
  const ToolRun run = Run({"render", Source("mountain.png"), Source("carrots.png"), "-o", Path("seq"), "-q"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Read("seq/carrots.png").width, 96);
}

TEST_F(ToolTest, FailureRemovesTheDirectoriesItCreated) {
  ASSERT_EQ(Shell("head -c 3000 " + Source("mountain.png") + " > trunc.png"), 0);
  EXPECT_NE(Run({"render", Path("trunc.png"), "-o", Path("made/out.png")}).status, 0);
  for (const std::string& name : Listing()) EXPECT_EQ(name.find("made"), std::string::npos) << name;
}

// A write the system refuses (here: a file size limit, as a full disk
// would) fails naming the user's file and the system's reason, never the
// temporary file, and leaves nothing behind. Some writers ignore a failed
// write and libjpeg would end the process: neither may pass unnoticed.
TEST_F(ToolTest, RefusedWriteNamesTheOutputAndTheReason) {
  const std::string tool = HUEWRIGHT_TOOL;
  ASSERT_EQ(Shell("cp " + Source("mountain.png") + " kept.png && touch refused.txt"), 0);
  const std::string kept = Bytes("kept.png");
  const struct {
    std::string args, output;
  } cases[] = {{"render " + Source("mountain.png") + " -o kept.png", "kept.png"},
               {"render " + Source("mountain.png") + " -o out.jpg", "out.jpg"},
               {"render " + Source("mountain.png") + " -o out.exr", "out.exr"},
               {"palette " + Source("mountain.png") + " --export out.ase", "out.ase"},
               {"palette " + Source("mountain.png") + " --timeline out.png", "out.png"}};
  for (const auto& c : cases) {
    const std::vector<std::string> before = Listing();
    ASSERT_EQ(Shell("(trap '' XFSZ; ulimit -f 0; '" + tool + "' " + c.args + " 2>&1 >/dev/null; echo \"status $?\") | "
                    "cat > refused.txt"),
              0);
    const std::string err = Bytes("refused.txt");
    EXPECT_NE(err.find("huewright: " + c.output + ": cannot write: file too large"), std::string::npos) << err;
    EXPECT_EQ(err.find("huewright-"), std::string::npos) << err;
    EXPECT_NE(err.find("status 1"), std::string::npos) << err;
    EXPECT_EQ(Listing(), before) << c.args;
  }
  EXPECT_EQ(Bytes("kept.png"), kept);
}

TEST_F(ToolTest, ReadOnlyDirectoryIsPermissionDenied) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only directories";
  ASSERT_EQ(Shell("mkdir locked && chmod a-w locked"), 0);
  const ToolRun run = Run({"render", Source("mountain.png"), "-o", Path("locked/out.png")});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("locked/out.png: permission denied"), std::string::npos) << run.err;
  Shell("chmod u+w locked");
}

// A hangup while a frame is being written removes the temporary file and
// ends the run with the signal's status, saying so.
TEST_F(ToolTest, HangupRemovesTheFileBeingWritten) {
  ASSERT_EQ(Shell("oiiotool --pattern fill:top=0.1,0.5,0.9:bottom=0.9,0.2,0.1 2500x2000 3 -d float -o big.exr"), 0);
  const std::string tool = HUEWRIGHT_TOOL;
  const int status = Shell("{ '" + tool + "' render big.exr big.exr big.exr big.exr -o out.%d.exr 2>err.txt & "
                           "pid=$!; n=0; until ls -a | grep -q huewright- || [ $n -gt 20000 ]; do n=$((n+1)); done; "
                           "kill -HUP $pid; wait $pid; }");
  EXPECT_EQ(status, 128 + SIGHUP);
  for (const std::string& name : Listing()) EXPECT_EQ(name.find("huewright-"), std::string::npos) << name;
  EXPECT_NE(Bytes("err.txt").find("huewright: hangup"), std::string::npos) << Bytes("err.txt");
}

TEST_F(ToolTest, EveryCommandHasHelpAndTheToolAVersion) {
  for (const char* command : {"render", "palette", "info"}) {
    const ToolRun run = Run({command, "--help"});
    EXPECT_EQ(run.status, 0) << command;
    EXPECT_NE(run.out.find(std::string("huewright ") + command), std::string::npos) << run.out;
  }
  const ToolRun version = Run({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("huewright ", 0), 0u) << version.out;
  ASSERT_EQ(Run({"render", Source("mountain.png"), "--output=" + Path("eq.png"), "--gain=2", "--depth=16"}).status, 0);
  EXPECT_EQ(Read("eq.png").width, 120);
}

}  // namespace
