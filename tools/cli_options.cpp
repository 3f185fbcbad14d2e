#include "cli_options.h"

#include <charconv>
#include <cmath>
#include <functional>
#include <map>
#include <string_view>

#include "tool_error.h"

namespace huewright {

const char* const kUsage =
    "usage: huewright render INPUT... -o OUTPUT [options]\n"
    "       huewright palette INPUT... [--json] [options]\n"
    "       huewright info [--plugin PATH]\n"
    "\n"
    "INPUT is an image, several images, or a pattern such as shot.%04d.exr with --frames 1-48.\n"
    "For several frames OUTPUT is an existing directory or a pattern such as out.%04d.png.\n"
    "\n"
    "options:\n"
    "  --plugin PATH            effect library (default: the one built beside the tool)\n"
    "  --host ae|premiere       host to play (default ae)\n"
    "  --depth 8|16|32          After Effects bit depth (default 8)\n"
    "  --format bgra8|bgra32f|vuya32f   Premiere pixel format (default bgra8)\n"
    "  --gain G                 gain parameter, 0.001 to 3 (default 1)\n"
    "  --swatches on|off        checkbox parameter (default on)\n"
    "  --quality high|low       render quality (default high)\n"
    "  --threads N              host iteration threads, 1 to 64 (default 1)\n"
    "  --toggle-at N,...        change a parameter before these frames\n"
    "  --frames FIRST-LAST      frames of an input pattern\n"
    "  --out-type uint8|uint16|half|float   output sample type (default: the input's)\n"
    "  --json                   palette as JSON\n"
    "  --export FILE            palette as swatches: .ase, .gpl, .css or .json\n"
    "  --timeline FILE.png      palette timeline picture, one column per frame\n"
    "  --ignore-transparent     palette of the visible pixels (alpha 0 left out)\n"
    "  --frames-summary         one palette for all frames measured together\n"
    "  --quiet                  no progress bar or summary\n";

namespace {

using Handler = std::function<void(CliOptions&, const std::string&)>;

[[noreturn]] void Bad(const std::string& option, const std::string& value, const std::string& expected) {
  throw UsageError(option + " '" + value + "': expected " + expected);
}

int ParseIntIn(const std::string& option, const std::string& text, int low, int high) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < low || value > high)
    Bad(option, text, "a whole number from " + std::to_string(low) + " to " + std::to_string(high));
  return value;
}

double ParseGain(const std::string& text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !(value >= 0.001 && value <= 3.0))
    Bad("--gain", text, "a number from 0.001 to 3");
  return value;
}

bool ParseOnOff(const std::string& option, const std::string& text, const char* on, const char* off) {
  if (text == on) return true;
  if (text == off) return false;
  Bad(option, text, std::string(on) + " or " + off);
}

std::set<int> ParseFrameNumbers(const std::string& text) {
  std::set<int> numbers;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t comma = std::min(text.find(',', start), text.size());
    numbers.insert(ParseIntIn("--toggle-at", text.substr(start, comma - start), 0, 99999999));
    start = comma + 1;
  }
  return numbers;
}

// Depth and format are remembered as given and resolved against the host
// once every option is read.
struct Pending {
  std::optional<std::string> depth;
  std::optional<std::string> format;
  std::optional<std::string> host;
};

std::map<std::string, Handler> ValueOptions(Pending& pending) {
  return {
      {"-o", [](CliOptions& o, const std::string& v) { o.output = v; }},
      {"--output", [](CliOptions& o, const std::string& v) { o.output = v; }},
      {"--plugin", [](CliOptions& o, const std::string& v) { o.plugin = v; }},
      {"--host", [&pending](CliOptions&, const std::string& v) { pending.host = v; }},
      {"--depth", [&pending](CliOptions&, const std::string& v) { pending.depth = v; }},
      {"--format", [&pending](CliOptions&, const std::string& v) { pending.format = v; }},
      {"--gain", [](CliOptions& o, const std::string& v) { o.render.gain = ParseGain(v); }},
      {"--swatches", [](CliOptions& o, const std::string& v) { o.render.swatches = ParseOnOff("--swatches", v, "on", "off"); }},
      {"--quality", [](CliOptions& o, const std::string& v) {
         o.render.high_quality = ParseOnOff("--quality", v, "high", "low");
       }},
      {"--threads", [](CliOptions& o, const std::string& v) { o.render.threads = ParseIntIn("--threads", v, 1, 64); }},
      {"--toggle-at", [](CliOptions& o, const std::string& v) { o.toggle_at = ParseFrameNumbers(v); }},
      {"--frames", [](CliOptions& o, const std::string& v) { o.frames = ParseFrameRange(v); }},
      {"--export", [](CliOptions& o, const std::string& v) { o.palette.export_path = v; }},
      {"--timeline", [](CliOptions& o, const std::string& v) { o.palette.timeline_path = v; }},
      {"--out-type", [](CliOptions& o, const std::string& v) {
         o.write.sample_type = ParseSampleType(v);
         if (!o.write.sample_type) Bad("--out-type", v, "uint8, uint16, half or float");
       }},
  };
}

HostLayout ResolveLayout(const Pending& pending, bool& premiere) {
  const std::string host = pending.host.value_or("ae");
  if (host != "ae" && host != "premiere") Bad("--host", host, "ae or premiere");
  premiere = host == "premiere";
  if (premiere) {
    if (pending.depth) throw UsageError("--depth applies to After Effects; Premiere takes --format");
    const std::string format = pending.format.value_or("bgra8");
    if (format == "bgra8") return HostLayout::Bgra8;
    if (format == "bgra32f") return HostLayout::Bgra32f;
    if (format == "vuya32f") return HostLayout::Vuya32f;
    Bad("--format", format, "bgra8, bgra32f or vuya32f");
  }
  if (pending.format) throw UsageError("--format applies to Premiere (--host premiere); After Effects takes --depth");
  const std::string depth = pending.depth.value_or("8");
  if (depth == "8") return HostLayout::Argb8;
  if (depth == "16") return HostLayout::Argb16;
  if (depth == "32") return HostLayout::Argb32f;
  Bad("--depth", depth, "8, 16 or 32");
}

Command ParseCommand(const std::string& word) {
  if (word == "render") return Command::Render;
  if (word == "palette") return Command::Palette;
  if (word == "info") return Command::Info;
  if (word == "help" || word == "--help" || word == "-h") return Command::Help;
  throw UsageError("unknown command '" + word + "'");
}

void CheckFitsCommand(const CliOptions& options) {
  if (options.command == Command::Info && !options.inputs.empty())
    throw UsageError("info takes no inputs, only --plugin PATH");
  if (options.command == Command::Render && options.output.empty()) throw UsageError("render needs -o OUTPUT");
  if (options.command != Command::Render && !options.output.empty()) throw UsageError("-o applies to render");
  if (options.command != Command::Palette && options.json) throw UsageError("--json applies to palette");
  const PaletteOptions& palette = options.palette;
  if (options.command != Command::Palette && (!palette.export_path.empty() || !palette.timeline_path.empty() ||
                                              palette.ignore_transparent || palette.frames_summary))
    throw UsageError("--export, --timeline, --ignore-transparent and --frames-summary apply to palette");
}

}  // namespace

CliOptions ParseCommandLine(int argc, char** argv) {
  CliOptions options;
  if (argc < 2) return options;
  options.command = ParseCommand(argv[1]);
  Pending pending;
  const auto value_options = ValueOptions(pending);
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--json") {
      options.json = true;
    } else if (arg == "--ignore-transparent") {
      options.palette.ignore_transparent = true;
    } else if (arg == "--frames-summary") {
      options.palette.frames_summary = true;
    } else if (arg == "--quiet" || arg == "-q") {
      options.quiet = true;
    } else if (auto handler = value_options.find(arg); handler != value_options.end()) {
      if (i + 1 >= argc) throw UsageError(arg + " needs a value");
      handler->second(options, argv[++i]);
    } else if (arg.size() > 1 && arg[0] == '-') {
      throw UsageError("unknown option '" + arg + "'");
    } else {
      options.inputs.push_back(arg);
    }
  }
  options.render.layout = ResolveLayout(pending, options.render.premiere);
  CheckFitsCommand(options);
  return options;
}

}  // namespace huewright
