#include "table_and_json.h"

#include <cstdio>

#include "json_text.h"
#include "swatch_notation.h"

namespace huewright {
namespace {

std::string TableRow(const std::string& label, int band, const SwatchNotation& colour, int64_t count,
                     const std::string& note) {
  char line[256];
  std::snprintf(line, sizeof line, "%7s  %4d  %7s  %3d %3d %3d  %11s %11s %11s  %10lld  %s\n", label.c_str(), BandNumber(band),
                colour.known ? colour.hex.c_str() : "-", colour.rgb8[0], colour.rgb8[1], colour.rgb8[2],
                colour.unit_text[0].c_str(), colour.unit_text[1].c_str(), colour.unit_text[2].c_str(),
                static_cast<long long>(count), note.c_str());
  return line;
}

std::string FrameNote(const FramePalette& frame) {
  std::string note = frame.input;
  if (frame.toggled_before) note += " (toggled)";
  if (frame.frozen)
    note += frame.measured_on ? " (frozen: palette and counts of frame " + std::to_string(*frame.measured_on) + ")"
                              : " (frozen: no frame measured yet)";
  return note;
}

std::string JsonNumber(const std::string& text) {
  return text == "nan" || text == "inf" || text == "-inf" ? "null" : text;
}

// A band no pixel fell in has no colour of its own (the effect paints it
// black): it is marked empty, its colours null.
void PrintJsonBands(std::ostream& out, const PaletteReadout& palette, PixelLayout layout, bool scene_linear,
                    bool keep_linear) {
  out << "[";
  for (int band = 0; band < kBands; ++band) {
    out << (band ? ",\n        " : "") << "{\"band\": " << BandNumber(band);
    const WrittenColour written = NotateForFiles(palette[band].rgb, layout, scene_linear, keep_linear);
    const std::string encoding = "\"encoding\": \"" + std::string(EncodingName(written.encoding)) + "\"";
    if (palette[band].count == 0) {
      out << ", \"empty\": true, \"hex\": null, \"rgb8\": null, \"rgb\": null, " << encoding << ", \"count\": 0}";
      continue;
    }
    const SwatchNotation& colour = written.notation;
    out << ", \"empty\": false, \"hex\": " << (colour.known ? "\"" + colour.hex + "\"" : "null") << ", \"rgb8\": ";
    if (colour.known)
      out << "[" << colour.rgb8[0] << ", " << colour.rgb8[1] << ", " << colour.rgb8[2] << "]";
    else
      out << "null";
    out << ", \"rgb\": [" << JsonNumber(colour.unit_text[0]) << ", " << JsonNumber(colour.unit_text[1]) << ", "
        << JsonNumber(colour.unit_text[2]) << "], " << encoding << ", \"count\": " << palette[band].count << "}";
  }
  out << "]";
}

// The name as JSON text, and where it had to be altered, its exact bytes.
void PrintJsonInput(std::ostream& out, const std::string& input) {
  out << "\"input\": " << JsonString(input);
  if (!IsUtf8(input)) out << ", \"input_not_utf8\": true, \"input_bytes_hex\": \"" << HexBytes(input) << "\"";
}

}  // namespace

void PrintPaletteTable(std::ostream& out, const PaletteReport& report) {
  char header[256];
  std::snprintf(header, sizeof header, "%7s  %4s  %7s  %11s  %11s %11s %11s  %10s  %s\n", "frame", "band", "hex",
                "0-255", "red", "green", "blue", "pixels", "input");
  out << header;
  for (const FramePalette& frame : report.frames)
    for (int band = 0; band < kBands; ++band)
      out << TableRow(std::to_string(frame.number), band, Notate(frame.palette[band].rgb, frame.layout),
                      frame.palette[band].count, band == 0 ? FrameNote(frame) : "");
  if (report.shot)
    for (int band = 0; band < kBands; ++band)
      out << TableRow("shot", band, Notate(report.shot->palette[band].rgb, report.shot->layout),
                      report.shot->palette[band].count,
                      band == 0 ? "frames " + std::to_string(report.shot->first) + "-" +
                                      std::to_string(report.shot->last) + " measured together"
                                : "");
}

void PrintPaletteJson(std::ostream& out, const PaletteReport& report) {
  out << "{\n  \"host\": " << JsonString(report.host)
      << ",\n  \"ignore_transparent\": " << (report.ignore_transparent ? "true" : "false") << ",\n  \"frames\": [";
  for (std::size_t f = 0; f < report.frames.size(); ++f) {
    const FramePalette& frame = report.frames[f];
    out << (f ? "," : "") << "\n    {\"frame\": " << frame.number << ", ";
    PrintJsonInput(out, frame.input);
    out << ", \"width\": " << frame.width << ", \"height\": " << frame.height
        << ", \"toggled_before\": " << (frame.toggled_before ? "true" : "false")
        << ", \"frozen\": " << (frame.frozen ? "true" : "false")
        << ", \"measured_on\": " << (frame.measured_on ? std::to_string(*frame.measured_on) : "null")
        << ",\n      \"bands\": ";
    PrintJsonBands(out, frame.palette, frame.layout, frame.scene_linear, report.keep_linear);
    out << "}";
  }
  out << "\n  ]";
  if (report.shot) {
    out << ",\n  \"shot\": {\"first\": " << report.shot->first << ", \"last\": " << report.shot->last
        << ", \"frame_count\": " << report.shot->frame_count << ",\n      \"bands\": ";
    PrintJsonBands(out, report.shot->palette, report.shot->layout, report.shot->scene_linear, report.keep_linear);
    out << "}";
  }
  if (report.failure) {
    out << ",\n  \"failed\": {\"frame\": " << report.failure->number << ", ";
    PrintJsonInput(out, report.failure->input);
    out << ", \"error\": " << JsonString(report.failure->reason) << "}";
  }
  out << "\n}\n";
}

}  // namespace huewright
