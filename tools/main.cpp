// huewright: renders images through the effect in minihost, prints the
// palette it measures, and shows what it registers.
#include <OpenImageIO/imageio.h>

#include <cstdio>
#include <exception>

#include "interrupt.h"
#include "cli_options.h"
#include "commands.h"
#include "tool_error.h"

namespace {

int Run(const huewright::CliOptions& options) {
  switch (options.command) {
    case huewright::Command::Render:
      return huewright::RunRender(options);
    case huewright::Command::Palette:
      return huewright::RunPalette(options);
    case huewright::Command::Info:
      return huewright::RunInfo(options);
  }
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  huewright::InstallInterruptCleanup();
  // Image decoding on one thread leaves the machine's cores to the host.
  OIIO::attribute("threads", 1);
  try {
    const std::optional<huewright::CliOptions> options = huewright::ParseCommandLine(argc, argv);
    return options ? Run(*options) : 0;
  } catch (const huewright::UsageError& error) {
    std::fprintf(stderr, "huewright: %s\n(run `huewright --help` or `huewright COMMAND --help` for the options)\n",
                 error.what());
    return 2;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "huewright: %s\n", error.what());
    return 1;
  }
}
