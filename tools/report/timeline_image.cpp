#include "timeline_image.h"

#include <OpenImageIO/imageio.h>

#include <algorithm>
#include <numeric>

#include "atomic_file.h"
#include "swatch_notation.h"
#include "tool_error.h"

namespace huewright {
namespace {

using Rgb = std::array<uint8_t, 3>;
constexpr Rgb kBackground = {26, 26, 26};
constexpr Rgb kFrozenMarker = {150, 210, 255};
constexpr Rgb kUnknownColour = {128, 128, 128};
constexpr Rgb kLabelInk = {220, 220, 220};

// Digits 0-9 in a 3 x 5 pixel font, one row of three bits per entry.
constexpr uint8_t kDigitRows[10][5] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7}, {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 1, 1}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7},
};
constexpr int kDigitScale = 2;
constexpr int kDigitAdvance = 4 * kDigitScale;  // three pixels and a space

class Canvas {
 public:
  explicit Canvas(const TimelineGeometry& geometry)
      : width_(geometry.width), height_(geometry.height), pixels_(static_cast<std::size_t>(width_) * height_ * 3, 0) {
    Fill(0, 0, width_, height_, kBackground);
  }
  // Clipped to the canvas.
  void Fill(int x0, int y0, int x1, int y1, const Rgb& colour) {
    for (int y = std::max(y0, 0); y < std::min(y1, height_); ++y)
      for (int x = std::max(x0, 0); x < std::min(x1, width_); ++x)
        std::copy(colour.begin(), colour.end(), pixels_.begin() + (static_cast<std::size_t>(y) * width_ + x) * 3);
  }
  void Number(int x, int y, int number) {
    const std::string digits = std::to_string(number);
    for (std::size_t i = 0; i < digits.size(); ++i)
      for (int row = 0; row < 5; ++row)
        for (int bit = 0; bit < 3; ++bit)
          if (kDigitRows[digits[i] - '0'][row] & (4 >> bit)) {
            const int px = x + static_cast<int>(i) * kDigitAdvance + bit * kDigitScale;
            const int py = y + row * kDigitScale;
            Fill(px, py, px + kDigitScale, py + kDigitScale, kLabelInk);
          }
  }
  std::vector<uint8_t> Take() { return std::move(pixels_); }

 private:
  int width_, height_;
  std::vector<uint8_t> pixels_;
};

void DrawColumn(Canvas& canvas, const TimelineColumn& column, int left, const TimelineGeometry& geometry) {
  const int right = left + geometry.column_width;
  if (column.frozen) canvas.Fill(left, 0, right, geometry.marker_rows, kFrozenMarker);
  const std::array<int, kBands> heights = BandHeights(column.counts, geometry.band_rows);
  int bottom = geometry.band_top + geometry.band_rows;
  for (int band = 0; band < kBands; ++band) {
    canvas.Fill(left, bottom - heights[band], right, bottom, column.colours[band]);
    bottom -= heights[band];
  }
}

// Every k-th frame numbered, k large enough that numbers never touch.
void DrawLabels(Canvas& canvas, const std::vector<TimelineColumn>& columns, const TimelineGeometry& geometry) {
  int widest = 1;
  for (const TimelineColumn& column : columns)
    widest = std::max(widest, static_cast<int>(std::to_string(column.number).size()) * kDigitAdvance);
  const int every = std::max(1, (widest + kDigitAdvance + geometry.column_width - 1) / geometry.column_width);
  const int top = geometry.band_top + geometry.band_rows;
  for (std::size_t i = 0; i < columns.size(); i += static_cast<std::size_t>(every)) {
    const int left = static_cast<int>(i) * geometry.column_width;
    canvas.Fill(left, top, left + 1, top + 3, kLabelInk);  // a tick at the column's left edge
    canvas.Number(left + 2, top + 3, columns[i].number);
  }
}

TimelineColumn ColumnOf(int number, bool frozen, const PaletteReadout& palette, PixelLayout layout) {
  TimelineColumn column{number, frozen, {}, {}};
  for (int band = 0; band < kBands; ++band) {
    column.counts[band] = palette[band].count;
    const SwatchNotation colour = Notate(palette[band].rgb, layout);
    column.colours[band] = colour.known
                               ? Rgb{static_cast<uint8_t>(colour.rgb8[0]), static_cast<uint8_t>(colour.rgb8[1]),
                                     static_cast<uint8_t>(colour.rgb8[2])}
                               : kUnknownColour;
  }
  return column;
}

}  // namespace

TimelineGeometry TimelineLayout(std::size_t columns) {
  TimelineGeometry geometry;
  const std::size_t count = std::max<std::size_t>(columns, 1);
  geometry.column_width = static_cast<int>(std::clamp<std::size_t>(960 / count, 2, 48));
  geometry.label_rows = columns > kUnlabelledFrames ? 14 : 0;
  geometry.width = static_cast<int>(count) * geometry.column_width;
  geometry.height = geometry.band_top + geometry.band_rows + geometry.label_rows;
  return geometry;
}

std::array<int, kBands> BandHeights(const std::array<int64_t, kBands>& counts, int rows) {
  std::array<int, kBands> heights{};
  const long double total = std::accumulate(counts.begin(), counts.end(), 0.0L);
  if (!(total > 0)) return heights;
  std::array<long double, kBands> remainders{};
  int given = 0;
  for (int band = 0; band < kBands; ++band) {
    const long double share = std::max<long double>(counts[band], 0) * rows / total;
    heights[band] = static_cast<int>(share);  // share is within 0..rows
    remainders[band] = share - heights[band];
    given += heights[band];
  }
  std::array<int, kBands> order = {0, 1, 2, 3, 4};
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return remainders[a] > remainders[b]; });
  for (int i = 0; given < rows && i < kBands; ++i, ++given) ++heights[order[i]];
  return heights;
}

std::vector<TimelineColumn> TimelineColumns(const PaletteReport& report) {
  std::vector<TimelineColumn> columns;
  for (const FramePalette& frame : report.frames)
    columns.push_back(ColumnOf(frame.number, frame.frozen, frame.palette, frame.layout));
  return columns;
}

std::vector<uint8_t> DrawTimeline(const std::vector<TimelineColumn>& columns, const TimelineGeometry& geometry) {
  Canvas canvas(geometry);
  for (std::size_t i = 0; i < columns.size(); ++i)
    DrawColumn(canvas, columns[i], static_cast<int>(i) * geometry.column_width, geometry);
  if (geometry.label_rows > 0) DrawLabels(canvas, columns, geometry);
  return canvas.Take();
}

void WriteTimeline(const std::string& path, const PaletteReport& report) {
  const std::vector<TimelineColumn> columns = TimelineColumns(report);
  const TimelineGeometry geometry = TimelineLayout(columns.size());
  const std::vector<uint8_t> pixels = DrawTimeline(columns, geometry);
  auto out = OIIO::ImageOutput::create(path);
  if (!out) throw ToolError(path, "no image format for this file name: " + OIIO::geterror());
  OIIO::ImageSpec image_spec(geometry.width, geometry.height, 3, OIIO::TypeDesc::UINT8);
  image_spec.attribute("ImageDescription", "huewright palette timeline: " + report.host);
  AtomicFile file(path);
  const bool written =
      out->open(file.TempPath(), image_spec) && out->write_image(OIIO::TypeDesc::UINT8, pixels.data()) && out->close();
  if (!written) throw ToolError(path, "cannot write the timeline: " + out->geterror());
  file.Commit();
}

}  // namespace huewright
