// Swatch files for design tools, chosen by the file's extension: Adobe
// swatch exchange (.ase), GIMP palette (.gpl), CSS custom properties (.css)
// and the JSON readout (.json). One group of five colours per frame, or one
// for the whole shot.
#ifndef HUEWRIGHT_TOOLS_SWATCH_EXPORT_H
#define HUEWRIGHT_TOOLS_SWATCH_EXPORT_H

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "table_and_json.h"
#include "swatch_notation.h"

namespace huewright {

enum class ExportFormat { Ase, Gpl, Css, Json };

// By the extension, in any letter case; nullopt for any other.
std::optional<ExportFormat> ExportFormatOf(std::string_view path);

struct SwatchGroup {
  std::string label;  // "f0001" for frame 1, "shot" for the whole shot
  std::string title;  // the group's name in a swatch file
  std::array<SwatchNotation, kBands> colours;
};

// Every frame of the report, or only its shot palette when it has one, in
// the colours NotateForFiles gives.
std::vector<SwatchGroup> SwatchGroups(const PaletteReport& report);

// Big-endian "ASEF" 1.0: per group a group start, five RGB entries of type
// normal and a group end; nothing else.
std::string AseBytes(const std::vector<SwatchGroup>& groups);
std::string GplText(const std::vector<SwatchGroup>& groups, const std::string& name);
std::string CssText(const std::vector<SwatchGroup>& groups, const std::string& host);

// Colours with a channel below 0 or above 1: .ase, .gpl and .css hold 0-1
// (0-255, #rrggbb; .ase readers expect floats in 0-1), so those
// channels are clamped there. JSON holds any value.
int ColoursBeyondUnitRange(const std::vector<SwatchGroup>& groups);

// Writes the report in the format of path's extension through a temporary
// file; throws ToolError naming the file. Returns how many colours the
// format clipped (ColoursBeyondUnitRange; 0 for .json).
int WriteExport(const std::string& path, const PaletteReport& report);

}  // namespace huewright

#endif
