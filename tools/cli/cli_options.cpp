#include "cli_options.h"

#include <CLI/CLI.hpp>

#include <cmath>
#include <cstdio>
#include <string_view>

#include "gain_range.h"
#include "layout_table.h"
#include "tool_error.h"
#include "version_report.h"

namespace huewright {
namespace {

constexpr const char* kCommandNames[] = {"render", "palette", "info", "help"};

constexpr const char* kRenderFooter =
    "INPUT is an image, several images, a movie, or a pattern such as shot.%04d.exr with --frames 1-48.\n"
    "For several frames OUTPUT is a directory or a pattern such as out.%04d.png (one % conversion);\n"
    "missing directories are created. An output that is one of the inputs is refused.\n"
    "\n"
    "Depth follows the input unless --depth or --format is given: After Effects renders 8-bit files\n"
    "at 8 bits, 16-bit integer files at 16, half and float files at 32; Premiere takes BGRA 32f for\n"
    "half and float files, BGRA 8u otherwise. A float picture written to a file that holds integers\n"
    "(PNG, JPEG, ...) without --out-type is clipped to 0-1; the tool says so once.\n"
    "Orientation: a frame whose file says it is rotated is turned upright before the effect and\n"
    "written upright (orientation 1); --keep-orientation renders the stored pixels as they are.\n"
    "Channels: the effect sees R, G, B and A (A only when the file has one); every other channel,\n"
    "layer and part of the file is written unchanged. --layer NAME picks the layer the effect sees.\n"
    "Movies (.mp4, .mov, .mkv, .webm, .mxf, .avi, ...): every frame, or those of --frames (from 1), is rendered\n"
    "in order to a pattern, or into a directory as MOVIE.0001.png, ...; movies are not written.\n"
    "\n"
    "Examples:\n"
    "  huewright render photo.jpg -o photo_swatches.jpg\n"
    "  huewright render shot.%04d.exr --frames 1-48 -o out/shot.%04d.exr --depth 32\n"
    "  huewright render clip.mkv -o frames/\n"
    "  huewright render photo.png -o premiere.png --host premiere --format vuya32f\n";

constexpr const char* kPaletteFooter =
    "INPUT is an image, several images, a movie, or a pattern such as shot.%04d.exr with --frames 1-48.\n"
    "Each frame is rendered with the swatches on; the colours are read back from the swatches.\n"
    "Bands are numbered 1 (the darkest) to 5 (the brightest).\n"
    "Colours: swatch files and JSON hold display colours. The averages of a scene-linear input (by its\n"
    "colour space; an EXR unless it says otherwise) are sRGB-encoded there, unless --linear-swatches;\n"
    "display-encoded inputs (JPEG, PNG, 8-bit TIFF, movies) are written as they are. Each JSON band names\n"
    "its \"encoding\" (srgb or linear). The table shows the values as the frame holds them.\n"
    ".ase, .gpl and .css hold 0-1: channels beyond it are clipped there (said on stderr); JSON holds them.\n"
    "\n"
    "Examples:\n"
    "  huewright palette photo.jpg\n"
    "  huewright palette shot.%04d.exr --frames 1-48 --depth 32 --json\n"
    "  huewright palette shot.%04d.png --frames 1-48 --export shot.ase --timeline shot.png\n"
    "  huewright palette cutout.png --ignore-transparent\n";

constexpr const char* kInfoFooter =
    "The effect's library is loaded through minihost; a Windows build (.aex) is read as a file.\n"
    "\n"
    "Examples:\n"
    "  huewright info\n"
    "  huewright info --plugin HuewrightGenerator.aex\n";

// A number in [low, high]; NaN is outside every range.
CLI::Validator NumberIn(double low, double high) {
  const std::string range = CLI::detail::to_string(low) + " to " + CLI::detail::to_string(high);
  return CLI::Validator(
      [low, high, range](std::string& text) -> std::string {
        double value = 0;
        if (!CLI::detail::lexical_cast(text, value) || !(value >= low && value <= high))
          return "'" + text + "': expected a number from " + range;
        return {};
      },
      range);
}

// "0.001", "3": a number as the help text writes it.
std::string Decimal(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

// The layouts a host renders that the effect measures, in the table's order.
std::vector<const LayoutInfo*> LayoutsOf(LayoutFamily family) {
  std::vector<const LayoutInfo*> layouts;
  for (const LayoutInfo& info : AllLayouts())
    if (info.family == family && info.measured()) layouts.push_back(&info);
  return layouts;
}

// --depth: the After Effects depths by their bits.
std::vector<int> AfterEffectsDepths() {
  std::vector<int> depths;
  for (const LayoutInfo* info : LayoutsOf(LayoutFamily::kAfterEffects)) depths.push_back(info->bits);
  return depths;
}

// --format: the Premiere formats by their layout names.
std::vector<std::string> PremiereFormats() {
  std::vector<std::string> names;
  for (const LayoutInfo* info : LayoutsOf(LayoutFamily::kPremiere)) names.push_back(info->name);
  return names;
}

CLI::Validator FrameRangeText() {
  return CLI::Validator(
      [](std::string& text) -> std::string {
        try {
          ParseFrameRange(text);
        } catch (const UsageError& error) {
          return error.what();
        }
        return {};
      },
      "FIRST-LAST");
}

// Values remembered as given, resolved against the host once every option
// is read.
struct Pending {
  std::string host = "ae";
  std::optional<int> depth;
  std::optional<std::string> format;
  std::optional<double> gain;
  std::optional<std::string> frames;
  std::optional<std::string> out_type;
  std::string swatches = "on";
  std::string quality = "high";
  std::vector<int> toggle_at;
};

void AddPluginOption(CLI::App& command, CliOptions& options) {
  command.add_option("--plugin", options.plugin, "effect library (default: the one built beside the tool)");
}

// The options shared by render and palette: the inputs, the host and the
// effect's parameters.
void AddRenderingOptions(CLI::App& command, CliOptions& options, Pending& pending) {
  command.add_option("inputs", options.inputs, "images, a movie, or one frame pattern")->required();
  AddPluginOption(command, options);
  command.add_option("--host", pending.host, "host to play")->check(CLI::IsMember({"ae", "premiere"}))
      ->capture_default_str();
  command.add_option("--depth", pending.depth, "After Effects bit depth (default: follows the input)")
      ->check(CLI::IsMember(AfterEffectsDepths()));
  command.add_option("--format", pending.format, "Premiere pixel format (default: follows the input)")
      ->check(CLI::IsMember(PremiereFormats()));
  command
      .add_option("--gain", pending.gain,
                  "gain parameter, " + Decimal(kGainMin) + " to " + Decimal(kGainMax) + " (After Effects; default " +
                      Decimal(kGainDefault) + ")")
      ->check(NumberIn(kGainMin, kGainMax));
  command.add_option("--quality", pending.quality, "render quality")->check(CLI::IsMember({"high", "low"}))
      ->capture_default_str();
  command.add_option("--threads", options.render.threads, "host iteration threads")->check(CLI::Range(1, 64))
      ->capture_default_str();
  command.add_option("--toggle-at", pending.toggle_at, "change a parameter before these frames (N,N,...)")
      ->delimiter(',')->check(CLI::Range(0, 99999999));
  command.add_option("--frames", pending.frames, "frames of an input pattern")->check(FrameRangeText());
  command.add_option("--layer", options.read.layer,
                     "the layer the effect renders: NAME.R, NAME.G, NAME.B (and NAME.A), or the EXR part NAME");
  command.add_flag("--keep-orientation", options.read.keep_orientation,
                   "render the stored pixels as they are, ignoring the file's orientation");
  command.add_flag("-q,--quiet", options.quiet, "no progress bar, no summary");
}

void AddRenderOnlyOptions(CLI::App& command, CliOptions& options, Pending& pending) {
  command.add_option("-o,--output", options.output, "output file, directory or pattern")->required();
  command.add_option("--swatches", pending.swatches, "checkbox parameter")->check(CLI::IsMember({"on", "off"}))
      ->capture_default_str();
  command.add_option("--out-type", pending.out_type, "output sample type (default: the input's)")
      ->check(CLI::IsMember({"uint8", "uint16", "half", "float"}));
  command.add_option("--compression", options.write.compression,
                     "output compression: none, zip, lzw, piz, dwaa, jpeg:90, ... (default: the input's)");
  command.add_flag("--no-clobber", options.write.no_clobber, "refuse to replace any existing file");
}

// Swatch files, the timeline picture, and which pixels the palette covers.
void AddPaletteOutputOptions(CLI::App& command, PaletteOptions& palette) {
  command.add_option("--export", palette.export_paths,
                     "swatch file, by its extension: .ase, .gpl, .css or .json (repeat for several formats)")
      ->allow_extra_args(false);
  command.add_option("--timeline", palette.timeline_path, "palette timeline picture, one column per frame (FILE.png)");
  command.add_flag("--ignore-transparent", palette.ignore_transparent,
                   "palette of the visible pixels: alpha 0 left out (not what the effect paints)");
  command.add_flag("--frames-summary", palette.frames_summary,
                   "one palette of all frames measured together (counts add, averages weighted)");
  command.add_flag("--linear-swatches", palette.linear_swatches,
                   "keep a scene-linear input's colours linear in swatch files and JSON (default: sRGB)");
}

// Depth, format and gain against the chosen host: an option that does not
// apply to it is an error, not ignored.
void ResolveHost(const Pending& pending, RenderSettings& render) {
  render.premiere = pending.host == "premiere";
  if (render.premiere) {
    if (pending.depth) throw UsageError("--depth applies to After Effects; Premiere takes --format");
    if (pending.gain)
      throw UsageError("--gain applies to After Effects; Premiere Pro renders without the gain parameter");
    if (const LayoutInfo* format = pending.format ? LayoutNamed(*pending.format) : nullptr)
      render.layout = format->layout;
    return;
  }
  if (pending.format) throw UsageError("--format applies to Premiere (--host premiere); After Effects takes --depth");
  for (const LayoutInfo* info : LayoutsOf(LayoutFamily::kAfterEffects))
    if (pending.depth == info->bits) render.layout = info->layout;
  render.gain = pending.gain.value_or(kGainDefault);
}

void Resolve(const Pending& pending, CliOptions& options) {
  ResolveHost(pending, options.render);
  options.render.swatches = pending.swatches == "on";
  options.render.high_quality = pending.quality == "high";
  options.toggle_at.insert(pending.toggle_at.begin(), pending.toggle_at.end());
  if (pending.frames) options.frames = ParseFrameRange(*pending.frames);
  if (pending.out_type) options.write.sample_type = ParseSampleType(*pending.out_type);
}

// A first word that is no command is named as such, rather than as an
// unexpected argument.
void CheckCommandWord(int argc, char** argv) {
  if (argc < 2 || argv[1][0] == '-') return;
  for (const char* name : kCommandNames)
    if (std::string_view(argv[1]) == name) return;
  throw UsageError(std::string("unknown command '") + argv[1] + "' (commands: render, palette, info, help)");
}

}  // namespace

std::optional<CliOptions> ParseCommandLine(int argc, char** argv) {
  CheckCommandWord(argc, argv);
  CliOptions options;
  Pending pending;
  CLI::App app("Renders images through the Huewright Generator effect in minihost, prints the palette it "
               "measures, and shows what the effect registers.",
               "huewright");
  app.set_version_flag("--version", VersionReport);
  app.require_subcommand(1);
  app.footer("Run `huewright COMMAND --help` for the options of a command.");

  CLI::App* render = app.add_subcommand("render", "render images through the effect and write the results");
  AddRenderingOptions(*render, options, pending);
  AddRenderOnlyOptions(*render, options, pending);
  render->footer(kRenderFooter);
  CLI::App* palette = app.add_subcommand("palette", "print the palette the effect measures on each frame");
  AddRenderingOptions(*palette, options, pending);
  palette->add_flag("--json", options.json, "palette as one JSON document");
  AddPaletteOutputOptions(*palette, options.palette);
  palette->footer(kPaletteFooter);
  CLI::App* info = app.add_subcommand(
      "info", "show the effect's registration, parameters and About text (an OpenFX bundle's given as --plugin)");
  AddPluginOption(*info, options);
  info->footer(kInfoFooter);
  CLI::App* help = app.add_subcommand("help", "show this help, or a command's with `help COMMAND`");
  std::string help_topic;
  help->add_option("command", help_topic)->check(CLI::IsMember({"render", "palette", "info"}));

  if (argc < 2) {  // no command yet: what there is to do
    std::fputs(app.help().c_str(), stdout);
    return std::nullopt;
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    if (error.get_exit_code() != 0) throw UsageError(error.what());
    app.exit(error);  // --help or --version, printed on stdout
    return std::nullopt;
  }
  if (help->parsed()) {
    std::fputs((help_topic.empty() ? app.help() : app.get_subcommand(help_topic)->help("huewright")).c_str(), stdout);
    return std::nullopt;
  }
  options.command = render->parsed() ? Command::Render : palette->parsed() ? Command::Palette : Command::Info;
  Resolve(pending, options);
  return options;
}

}  // namespace huewright
