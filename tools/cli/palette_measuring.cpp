#include "palette_measuring.h"

#include <OpenImageIO/imageio.h>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <optional>
#include <system_error>

#include "colour_encoding.h"
#include "commands.h"
#include "depth_choice.h"
#include "frame_pipeline.h"
#include "layout_table.h"
#include "timeline_image.h"
#include "swatch_export.h"
#include "tool_error.h"

namespace huewright {
namespace {

namespace fs = std::filesystem;

void RequireDirectoryOf(const std::string& path) {
  const fs::path parent = fs::path(path).parent_path();
  std::error_code error;
  if (!parent.empty() && !fs::is_directory(parent, error)) throw ToolError(path, "directory does not exist");
}

// Whether the effect analyses this frame: some layouts skip the analysis at
// low quality and paint the last measured palette.
bool EffectAnalyses(const RenderSettings& settings, PixelLayout layout) {
  return settings.high_quality || LayoutOf(layout).analyses_at_low_quality;
}

// The palette the effect holds: from which frame, that frame's bands, and
// whether its values are linear.
struct Measured {
  std::optional<int> number;  // none before the first analysed frame
  FrameBands bands;
  bool scene_linear = false;
};

class PaletteMeasurer {
 public:
  PaletteMeasurer(const std::string& plugin_path, const RenderSettings& settings, const PaletteOptions& options)
      : settings_(settings), options_(options), session_(plugin_path, Painting(settings)) {}

  FramePalette Measure(const Frame& frame, bool toggle, const SourceImage& image) {
    if (toggle) {
      session_.UserChangedParam(frame.input);
      analysis_on_ = !analysis_on_;
    }
    const PixelLayout layout = image.layout;
    const bool scene_linear = IsSceneLinear(image);
    RequireShotLayout(frame, layout);
    RequireShotEncoding(frame, scene_linear);
    warning_.Check(layout, image.samples, frame.input);
    const RenderedFrame rendered = session_.Render(image);
    layouts_.insert(layout);
    const FrameBands own = MeasureWorld(rendered.input, options_.ignore_transparent);
    AddFrameBands(shot_, own);
    const bool frozen = !(analysis_on_ && EffectAnalyses(settings_, layout));
    if (!frozen) held_ = {frame.number, own, scene_linear};
    // The swatches show what the effect painted; the visible-pixel palette
    // is one it never paints, so it is made from the measured bands.
    const PaletteReadout palette = options_.ignore_transparent ? PaintedFromBands(held_.bands, layout, Gain())
                                                               : ReadPalette(held_.bands, rendered.output, Gain());
    FramePalette measured{frame.number, frame.input,  image.Width(), image.Height(), toggle,
                          frozen,       held_.number, layout,        palette};
    // The colours are the held frame's; before any, the black of an empty
    // palette, named in this frame's encoding.
    measured.scene_linear = held_.number ? held_.scene_linear : scene_linear;
    return measured;
  }

  std::optional<ShotPalette> Shot(const std::vector<FramePalette>& frames) const {
    if (!shot_layout_ || frames.empty()) return std::nullopt;
    ShotPalette shot{frames.front().number, frames.back().number, frames.size(), *shot_layout_,
                     PaintedFromBands(shot_, *shot_layout_, Gain())};
    shot.scene_linear = shot_scene_linear_.value_or(false);
    return shot;
  }

  // "After Effects, ARGB 8-bit": the layouts the frames rendered in.
  std::string Host() const { return HostDescription(settings_.premiere, layouts_); }

 private:
  // The gain parameter; the readout applies it where the layout does.
  double Gain() const { return settings_.gain; }

  // Sums in 0-255 and in 0-1 do not add up: the whole shot is one layout.
  void RequireShotLayout(const Frame& frame, PixelLayout layout) {
    if (!options_.frames_summary) return;
    if (shot_layout_ && *shot_layout_ != layout)
      throw ToolError(frame.input, "renders in " + std::string(LayoutDescription(layout)) + ", earlier frames in " +
                                       std::string(LayoutDescription(*shot_layout_)) +
                                       "; --frames-summary adds up frames of one layout (give --depth or --format)");
    shot_layout_ = layout;
  }

  // Nor do light and display-encoded values: the whole shot is one encoding.
  void RequireShotEncoding(const Frame& frame, bool scene_linear) {
    if (!options_.frames_summary) return;
    if (shot_scene_linear_ && *shot_scene_linear_ != scene_linear)
      throw ToolError(frame.input, std::string("is ") + (scene_linear ? "scene-linear" : "display-encoded") +
                                       ", earlier frames " + (scene_linear ? "display-encoded" : "scene-linear") +
                                       " (by their colour spaces); --frames-summary adds up frames of one encoding");
    shot_scene_linear_ = scene_linear;
  }

  static RenderSettings Painting(RenderSettings settings) {
    settings.swatches = true;  // the colours are read back from the swatches
    return settings;
  }

  RenderSettings settings_;
  PaletteOptions options_;
  RenderSession session_;
  bool analysis_on_ = true;  // the effect starts with analysis on
  Measured held_;
  FrameBands shot_;
  std::optional<PixelLayout> shot_layout_;
  std::optional<bool> shot_scene_linear_;
  std::set<PixelLayout> layouts_;
  PrecisionWarning warning_;
};

}  // namespace

void CheckPaletteOutputs(const PaletteOptions& options) {
  std::map<ExportFormat, std::string> formats;
  for (const std::string& path : options.export_paths) {
    const std::optional<ExportFormat> format = ExportFormatOf(path);
    if (!format) throw UsageError("--export '" + path + "': expected a .ase, .gpl, .css or .json file");
    if (const auto [other, added] = formats.emplace(*format, path); !added)
      throw UsageError("--export '" + path + "' and '" + other->second + "' are the same format; give one file per format");
    RequireDirectoryOf(path);
  }
  if (!options.timeline_path.empty()) {
    if (!OIIO::ImageOutput::create(options.timeline_path))
      throw UsageError("--timeline '" + options.timeline_path + "': no image format for this file name (try .png)");
    RequireDirectoryOf(options.timeline_path);
  }
}

PaletteReport MeasurePalettes(const std::vector<Frame>& frames, const CliOptions& options, Progress& progress) {
  PaletteReport report;
  report.ignore_transparent = options.palette.ignore_transparent;
  report.keep_linear = options.palette.linear_swatches;
  PaletteMeasurer measurer(LoadablePluginPath(options), options.render, options.palette);
  auto measure = [&](const Frame& frame, SourceImage& image) {
    report.frames.push_back(measurer.Measure(frame, options.toggle_at.count(frame.number) > 0, image));
    progress.Advance(frame.input);
  };
  try {
    RunFrames(frames, ReadSettingsOf(options), measure, {});
  } catch (const std::exception& error) {
    // Frames reach the effect in order and the first failure stops them, so
    // the failed frame is the one after the last measured.
    const Frame& failed = frames[std::min(report.frames.size(), frames.size() - 1)];
    report.failure = FrameFailure{failed.number, failed.input, error.what()};
  }
  report.shot = measurer.Shot(report.frames);
  report.host = measurer.Host();
  return report;
}

int FinishPalette(const PaletteReport& report, bool json, const PaletteOptions& options, Progress& progress) {
  progress.Clear();
  if (json)
    PrintPaletteJson(std::cout, report);
  else
    PrintPaletteTable(std::cout, report);
  std::cout.flush();
  if (report.failure) {
    std::fprintf(stderr, "huewright: frame %d: %s\n", report.failure->number, report.failure->reason.c_str());
    std::vector<std::string> unwritten = options.export_paths;
    unwritten.push_back(options.timeline_path);
    for (const std::string& path : unwritten)
      if (!path.empty()) std::fprintf(stderr, "huewright: %s not written, since a frame failed\n", path.c_str());
    return 1;
  }
  for (const std::string& path : options.export_paths) {
    if (const int clipped = WriteExport(path, report); clipped > 0)
      std::fprintf(stderr, "huewright: warning: %s: %d %s a channel beyond 0-1, clipped there (.json keeps it)\n",
                   path.c_str(), clipped, clipped == 1 ? "colour has" : "colours have");
    progress.Note("huewright: wrote " + path);
  }
  if (!options.timeline_path.empty()) {
    WriteTimeline(options.timeline_path, report);
    progress.Note("huewright: wrote " + options.timeline_path);
  }
  return 0;
}

}  // namespace huewright
