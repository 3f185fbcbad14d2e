// What a new user meets first: several swatch files from one measurement,
// the usage without a command, messages that state an option once, the
// version.
#include <algorithm>

#include "tool_fixture.h"

namespace {

using FirstUse = ToolTest;

TEST_F(FirstUse, EachExportIsWrittenAndNamedUnlessQuiet) {
  const std::vector<std::string> files = {"a.gpl", "b.css", "c.ase", "d.json"};
  for (const bool quiet : {false, true}) {
    std::vector<std::string> args = {"palette", Source("mountain.png")};
    for (const std::string& file : files) args.insert(args.end(), {"--export", Path((quiet ? "q" : "") + file)});
    if (quiet) args.push_back("-q");
    const ToolRun run = Run(args);
    ASSERT_EQ(run.status, 0) << run.err;
    for (const std::string& file : files) {
      const std::string path = Path((quiet ? "q" : "") + file);
      EXPECT_FALSE(Bytes((quiet ? "q" : "") + file).empty()) << path;
      EXPECT_EQ(run.err.find("wrote " + path) != std::string::npos, !quiet) << run.err;
    }
  }
  const ToolRun twice = Run({"palette", Source("mountain.png"), "--export", Path("x.gpl"), "--export", Path("y.gpl")});
  EXPECT_EQ(twice.status, 2);
  EXPECT_NE(twice.err.find("one file per format"), std::string::npos) << twice.err;
}

struct MessageCase {
  std::vector<std::string> args;
  int status;
  const char* says;        // on stdout for status 0, else on stderr
  const char* never_says;  // anywhere
};

TEST_F(FirstUse, MessagesSayWhatToDoOnce) {
  const MessageCase cases[] = {
      {{}, 0, "Usage: huewright", "A subcommand is required"},
      {{"render", "--frames", "6-1", "x.%d.png", "-o", "y.%d.png"}, 2, "--frames: '6-1'", "--frames '6-1'"},
      {{"palette", "--frames", "x", "x.%d.png"}, 2, "--frames: 'x'", "--frames '"},
  };
  for (const MessageCase& c : cases) {
    const ToolRun run = Run(c.args);
    EXPECT_EQ(run.status, c.status) << c.says << run.err;
    EXPECT_NE((c.status == 0 ? run.out : run.err).find(c.says), std::string::npos) << run.out << run.err;
    EXPECT_EQ((run.out + run.err).find(c.never_says), std::string::npos) << run.out << run.err;
  }
}

// The tool's release and the version the effect beside it registers agree.
TEST_F(FirstUse, VersionNamesTheReleaseAndTheEffectsVersion) {
  const ToolRun run = Run({"--version"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string first = run.out.substr(0, run.out.find('\n'));
  ASSERT_EQ(first.rfind("huewright ", 0), 0u) << run.out;
  const std::string release = first.substr(10);
  EXPECT_EQ(std::count(release.begin(), release.end(), '.'), 2) << "major.minor.fix: " << release;
  EXPECT_NE(run.out.find("effect: Huewright Generator " + release + " "), std::string::npos) << run.out;
}

}  // namespace
