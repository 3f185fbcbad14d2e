#include "swatch_export.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "atomic_file.h"
#include "json_text.h"
#include "recording_output.h"
#include "tool_error.h"

namespace huewright {
namespace {

// A name on one line of a text file: control characters as \xNN, as the
// tool shows bytes it cannot print, so no name ends its line early.
std::string LineSafe(std::string_view name) {
  std::string out;
  for (char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7F) {
      out += c;
      continue;
    }
    char escaped[5];
    std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
    out += escaped;
  }
  return out;
}

// Inside a CSS comment, which the first "*/" would end.
std::string CommentSafe(std::string_view text) {
  std::string out = LineSafe(text);
  for (std::size_t at = 0; (at = out.find("*/", at)) != std::string::npos; at += 3) out.replace(at, 2, "*\\/");
  return out;
}

// A custom property name: letters, digits, '-' and '_' as they are, every
// other byte as a CSS hex escape.
std::string CssIdentifier(std::string_view name) {
  std::string out;
  for (char c : name) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_') {
      out += c;
      continue;
    }
    char escaped[6];
    std::snprintf(escaped, sizeof escaped, "\\%x ", static_cast<unsigned char>(c));
    out += escaped;
  }
  return out;
}

std::string FrameLabel(int number) {
  char label[24];
  std::snprintf(label, sizeof label, "f%04d", number);
  return label;
}

std::string BandName(const SwatchGroup& group, int band) { return group.label + " Band " + std::to_string(BandNumber(band)); }

SwatchGroup GroupOf(std::string label, std::string title, const PaletteReadout& palette, PixelLayout layout,
                    bool scene_linear, bool keep_linear) {
  SwatchGroup group{std::move(label), std::move(title), {}};
  for (int band = 0; band < kBands; ++band)
    group.colours[band] = NotateForFiles(palette[band].rgb, layout, scene_linear, keep_linear).notation;
  return group;
}

// Swatch files hold colours in 0-1: the format's value clamped, NaN as 0.
float UnitForFile(double value) { return value > 0.0 ? static_cast<float>(std::min(value, 1.0)) : 0.0f; }

void PutU16(std::string& out, uint16_t value) {
  out += static_cast<char>(value >> 8);
  out += static_cast<char>(value & 0xFF);
}

void PutU32(std::string& out, uint32_t value) {
  PutU16(out, static_cast<uint16_t>(value >> 16));
  PutU16(out, static_cast<uint16_t>(value & 0xFFFF));
}

// Length in UTF-16 units with the terminating zero, then the units; bytes
// that are not UTF-8 read as U+FFFD, as in the JSON. A longer name than the
// length can count would shift every block after it.
std::string AseName(const std::string& name) {
  const std::u16string units = Utf16Units(name);
  if (units.size() >= 0xFFFF)
    throw ToolError("swatch name '" + LineSafe(name.substr(0, 24)) + "...'",
                    "longer than the 65534 characters an .ase name holds");
  std::string out;
  PutU16(out, static_cast<uint16_t>(units.size() + 1));
  for (char16_t unit : units) PutU16(out, unit);
  PutU16(out, 0);
  return out;
}

void PutBlock(std::string& out, uint16_t type, const std::string& body) {
  PutU16(out, type);
  PutU32(out, static_cast<uint32_t>(body.size()));
  out += body;
}

constexpr uint16_t kGroupStart = 0xC001, kGroupEnd = 0xC002, kColourEntry = 0x0001, kNormalColour = 2;

std::string AseColour(const std::string& name, const SwatchNotation& colour) {
  std::string body = AseName(name) + "RGB ";
  for (double value : colour.unit) {
    const float unit = UnitForFile(value);
    uint32_t bits;
    std::memcpy(&bits, &unit, sizeof bits);
    PutU32(body, bits);
  }
  PutU16(body, kNormalColour);
  return body;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  AtomicFile file(path);
  RecordingOutput out(file.TempPath(), path);
  out.write(bytes.data(), bytes.size());
  out.Finish();
  file.Commit();
}

// "Huewright f0001", "Huewright f0001-f0003", "Huewright shot f0001-f0048".
std::string PaletteName(const std::vector<SwatchGroup>& groups) {
  if (groups.empty()) return "Huewright";
  if (groups.size() == 1) return "Huewright " + groups[0].title;
  return "Huewright " + groups.front().title + "-" + groups.back().title;
}

}  // namespace

std::optional<ExportFormat> ExportFormatOf(std::string_view path) {
  const std::size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || path.find('/', dot) != std::string_view::npos) return std::nullopt;
  std::string extension(path.substr(dot + 1));
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (extension == "ase") return ExportFormat::Ase;
  if (extension == "gpl") return ExportFormat::Gpl;
  if (extension == "css") return ExportFormat::Css;
  if (extension == "json") return ExportFormat::Json;
  return std::nullopt;
}

std::vector<SwatchGroup> SwatchGroups(const PaletteReport& report) {
  if (report.shot) {
    const std::string span = FrameLabel(report.shot->first) + "-" + FrameLabel(report.shot->last);
    return {GroupOf("shot", "shot " + span, report.shot->palette, report.shot->layout, report.shot->scene_linear,
                    report.keep_linear)};
  }
  std::vector<SwatchGroup> groups;
  for (const FramePalette& frame : report.frames)
    groups.push_back(GroupOf(FrameLabel(frame.number), FrameLabel(frame.number), frame.palette, frame.layout,
                             frame.scene_linear, report.keep_linear));
  return groups;
}

std::string AseBytes(const std::vector<SwatchGroup>& groups) {
  std::string blocks;
  uint32_t block_count = 0;
  for (const SwatchGroup& group : groups) {
    PutBlock(blocks, kGroupStart, AseName(group.title));
    for (int band = 0; band < kBands; ++band)
      PutBlock(blocks, kColourEntry, AseColour(BandName(group, band), group.colours[band]));
    PutBlock(blocks, kGroupEnd, "");
    block_count += 2 + kBands;
  }
  std::string out = "ASEF";
  PutU16(out, 1);
  PutU16(out, 0);
  PutU32(out, block_count);
  return out + blocks;
}

std::string GplText(const std::vector<SwatchGroup>& groups, const std::string& name) {
  std::ostringstream out;
  out << "GIMP Palette\nName: " << LineSafe(name) << "\nColumns: " << kBands << "\n#\n";
  for (const SwatchGroup& group : groups)
    for (int band = 0; band < kBands; ++band) {
      const SwatchNotation& colour = group.colours[band];
      char values[48];
      std::snprintf(values, sizeof values, "%3d %3d %3d\t", colour.rgb8[0], colour.rgb8[1], colour.rgb8[2]);
      out << values << LineSafe(BandName(group, band)) << "\n";
    }
  return out.str();
}

std::string CssText(const std::vector<SwatchGroup>& groups, const std::string& host) {
  std::ostringstream out;
  out << "/* huewright palette: " << CommentSafe(host) << " */\n:root {\n";
  for (const SwatchGroup& group : groups)
    for (int band = 0; band < kBands; ++band) {
      const SwatchNotation& colour = group.colours[band];
      out << "  --huewright-" << CssIdentifier(group.label + "-band-" + std::to_string(BandNumber(band))) << ": "
          << (colour.known ? colour.hex : "#000000") << ";" << (colour.known ? "" : " /* not a number */") << "\n";
    }
  out << "}\n";
  return out.str();
}

int ColoursBeyondUnitRange(const std::vector<SwatchGroup>& groups) {
  int beyond = 0;
  for (const SwatchGroup& group : groups)
    for (const SwatchNotation& colour : group.colours)
      beyond += std::any_of(colour.unit.begin(), colour.unit.end(), [](double v) { return v < 0.0 || v > 1.0; });
  return beyond;
}

int WriteExport(const std::string& path, const PaletteReport& report) {
  const std::optional<ExportFormat> format = ExportFormatOf(path);
  if (!format) throw ToolError(path, "unknown swatch file type; use .ase, .gpl, .css or .json");
  const std::vector<SwatchGroup> groups = SwatchGroups(report);
  switch (*format) {
    case ExportFormat::Ase:
      WriteBytes(path, AseBytes(groups));
      break;
    case ExportFormat::Gpl:
      WriteBytes(path, GplText(groups, PaletteName(groups)));
      break;
    case ExportFormat::Css:
      WriteBytes(path, CssText(groups, report.host));
      break;
    case ExportFormat::Json: {
      std::ostringstream json;
      PrintPaletteJson(json, report);
      WriteBytes(path, json.str());
      return 0;
    }
  }
  return ColoursBeyondUnitRange(groups);
}

}  // namespace huewright
