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
  // Decoding and encoding may use every core (OpenEXR's codecs do): on a
  // sequence they overlap the host's rendering, and a single frame has
  // nothing else to do.
  OIIO::attribute("threads", 0);
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
