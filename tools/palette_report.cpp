#include "palette_report.h"

#include <cmath>
#include <cstdio>

namespace huewright {
namespace {

std::string Number(float value, const char* format) {
  if (!std::isfinite(value)) return std::isnan(value) ? "nan" : value > 0 ? "inf" : "-inf";
  char text[32];
  std::snprintf(text, sizeof text, format, static_cast<double>(value));
  return text;
}

std::string JsonNumber(float value) { return std::isfinite(value) ? Number(value, "%.9g") : "null"; }

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

}  // namespace

void PrintPaletteTable(std::ostream& out, const std::vector<FramePalette>& frames) {
  char line[160];
  std::snprintf(line, sizeof line, "%7s  %4s  %8s  %8s  %8s  %10s  %s\n", "frame", "band", "red", "green", "blue",
                "pixels", "input");
  out << line;
  for (const FramePalette& frame : frames)
    for (int band = 0; band < kBands; ++band) {
      const BandReadout& b = frame.palette[band];
      std::snprintf(line, sizeof line, "%7d  %4d  %8s  %8s  %8s  %10lld  %s%s\n", frame.number, band,
                    Number(b.rgb[0], "%.4f").c_str(), Number(b.rgb[1], "%.4f").c_str(),
                    Number(b.rgb[2], "%.4f").c_str(), static_cast<long long>(b.count),
                    band == 0 ? frame.input.c_str() : "", band == 0 && frame.toggled_before ? " (toggled)" : "");
      out << line;
    }
}

void PrintPaletteJson(std::ostream& out, const std::string& host, const std::vector<FramePalette>& frames) {
  out << "{\n  \"host\": " << JsonString(host) << ",\n  \"frames\": [";
  for (std::size_t f = 0; f < frames.size(); ++f) {
    const FramePalette& frame = frames[f];
    out << (f ? "," : "") << "\n    {\"frame\": " << frame.number << ", \"input\": " << JsonString(frame.input)
        << ", \"width\": " << frame.width << ", \"height\": " << frame.height
        << ", \"toggled_before\": " << (frame.toggled_before ? "true" : "false") << ", \"bands\": [";
    for (int band = 0; band < kBands; ++band) {
      const BandReadout& b = frame.palette[band];
      out << (band ? ", " : "") << "{\"band\": " << band << ", \"rgb\": [" << JsonNumber(b.rgb[0]) << ", "
          << JsonNumber(b.rgb[1]) << ", " << JsonNumber(b.rgb[2]) << "], \"count\": " << b.count << "}";
    }
    out << "]}";
  }
  out << "\n  ]\n}\n";
}

}  // namespace huewright
