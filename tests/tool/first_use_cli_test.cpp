// What a new user meets first: several swatch files from one measurement,
// the usage without a command, messages that state an option once.
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

}  // namespace
