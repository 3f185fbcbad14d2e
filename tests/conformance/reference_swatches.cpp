#include "reference_swatches.h"

#include <cmath>
#include <cstring>
#include <sstream>

using minihost::PixelLayout;
using minihost::World;

namespace reference {
namespace {

int BandOf(double x) {
  if (x < 0.2) return 0;
  if (x < 0.4) return 1;
  if (x < 0.6) return 2;
  if (x < 0.8) return 3;
  return 4;  // NaN too
}

double Positive(double v) { return v < 0.0 ? 0.0 : v; }

float Channel(const World& world, int32_t x, int32_t y, int index) {
  float value;
  std::memcpy(&value, world.PixelAddress(x, y) + 4 * index, 4);
  return value;
}

// Brightness and the three values a pixel adds to its band.
struct Sample {
  double brightness;
  Color added;
};

Sample IntegerSample(double r, double g, double b, double scale) {
  return {(r + g + b) * 0.333 * scale, {r, g, b}};
}

Sample FloatSample(double r, double g, double b) {
  return {(Positive(g) + Positive(r) + Positive(b)) * 0.333, {std::fabs(r), std::fabs(g), std::fabs(b)}};
}

double Limit(double v) {
  if (v < 0.0) v = 0.0;
  if (v > 1.0) v = 1.0;
  return v;
}

Sample VuyaSample(double v, double u, double y) {
  const float r = float(Limit(v * 1.403 + y));
  const float g = float(Limit((y - u * 0.344) - v * 0.714));
  const float b = float(Limit(u * 1.77 + y));
  const double brightness = (Positive(g) + Positive(r) + Positive(b)) * 0.333;
  const float luma = float((double(r) * 0.299 + double(g) * 0.587) + double(b) * 0.114);
  const float red_diff = float(double(r - luma) * 0.713);
  const float blue_diff = float(double(b - luma) * 0.565);
  return {brightness, {luma, red_diff, blue_diff}};
}

Sample SampleAt(const World& world, int32_t x, int32_t y) {
  const uint8_t* p = world.PixelAddress(x, y);
  switch (world.Layout()) {
    case PixelLayout::kArgb8:
      return IntegerSample(p[1], p[2], p[3], 0.003921568627451);
    case PixelLayout::kBgra8:
      return IntegerSample(p[2], p[1], p[0], 0.003921568627451);
    case PixelLayout::kArgb16: {
      uint16_t c[4];
      std::memcpy(c, p, 8);
      return IntegerSample(c[1], c[2], c[3], 3.05e-5);
    }
    case PixelLayout::kArgbFloat:
      return FloatSample(Channel(world, x, y, 1), Channel(world, x, y, 2), Channel(world, x, y, 3));
    case PixelLayout::kBgraFloat:
      return FloatSample(Channel(world, x, y, 2), Channel(world, x, y, 1), Channel(world, x, y, 0));
    case PixelLayout::kVuyaFloat:
      return VuyaSample(Channel(world, x, y, 0), Channel(world, x, y, 1), Channel(world, x, y, 2));
    default:
      throw std::logic_error("no reference for this layout");
  }
}

double ClampedOrNaN(double v, double upper) { return v > upper ? upper : (v < 0.0 ? 0.0 : v); }

uint32_t Truncated(double v) { return std::isnan(v) ? 0u : static_cast<uint32_t>(std::trunc(v)); }
// An empty band (NaN) paints black in the float formats too.
float FloatOrBlack(double v) { return std::isnan(v) ? 0.0f : float(v); }

template <class T>
void Put(std::vector<uint8_t>& bytes, int index, T value) {
  std::memcpy(bytes.data() + index * sizeof(T), &value, sizeof(T));
}

}  // namespace

// The documented order of the sums: within a row, the pixels of columns
// x = k (mod 4) are summed apart, left to right; the rows are then added from
// the top, each row's four partial sums in the order k = 0..3. Whole-number
// channels give the same sums in any order; float channels only in this one.
Palette Analyse(const World& input) {
  std::array<Color, 5> sums{};
  Palette palette;
  for (int32_t y = 0; y < input.Height(); ++y) {
    std::array<std::array<Color, 4>, 5> partial{};
    std::array<std::array<int64_t, 4>, 5> counts{};
    for (int32_t x = 0; x < input.Width(); ++x) {
      const Sample s = SampleAt(input, x, y);
      const int band = BandOf(s.brightness);
      ++counts[band][x % 4];
      for (int c = 0; c < 3; ++c) partial[band][x % 4][c] += s.added[c];
    }
    for (int band = 0; band < 5; ++band)
      for (int lane = 0; lane < 4; ++lane) {
        if (counts[band][lane] == 0) continue;
        palette.count[band] += counts[band][lane];
        for (int c = 0; c < 3; ++c) sums[band][c] += partial[band][lane][c];
      }
  }
  for (int band = 0; band < 5; ++band)
    for (int c = 0; c < 3; ++c) palette.average[band][c] = sums[band][c] / double(palette.count[band]);
  return palette;
}

Palette Scaled(Palette palette, double gain) {
  for (Color& band : palette.average)
    for (double& v : band) v *= gain;
  return palette;
}

int CellOf(double w, double h, int32_t x, int32_t y) {
  static const double edges[] = {0.1, 0.26, 0.42, 0.58, 0.74, 0.9};
  const double fx = x, fy = y;
  if (!(fy >= 0.8 * h && fy <= 0.95 * h)) return -1;
  for (int k = 0; k < 5; ++k)
    if (fx >= edges[k] * w && fx < edges[k + 1] * w) return k;
  return -1;
}

std::vector<uint8_t> PaintedPixel(PixelLayout layout, const Color& band, const uint8_t* input_pixel) {
  std::vector<uint8_t> bytes(minihost::PixelBytes(layout));
  switch (layout) {
    case PixelLayout::kArgb8:
    case PixelLayout::kBgra8: {
      const uint8_t r = uint8_t(Truncated(ClampedOrNaN(band[0], 255.0)));
      const uint8_t g = uint8_t(Truncated(ClampedOrNaN(band[1], 255.0)));
      const uint8_t b = uint8_t(Truncated(ClampedOrNaN(band[2], 255.0)));
      const std::array<uint8_t, 4> argb = {255, r, g, b}, bgra = {b, g, r, 255};
      std::memcpy(bytes.data(), layout == PixelLayout::kArgb8 ? argb.data() : bgra.data(), 4);
      break;
    }
    case PixelLayout::kArgb16:
      Put<uint16_t>(bytes, 0, 32768);
      for (int c = 0; c < 3; ++c) Put<uint16_t>(bytes, c + 1, uint16_t(Truncated(ClampedOrNaN(band[c], 32768.0))));
      break;
    case PixelLayout::kArgbFloat:
      Put<float>(bytes, 0, 1.0f);
      for (int c = 0; c < 3; ++c) Put<float>(bytes, c + 1, FloatOrBlack(band[c]));
      break;
    case PixelLayout::kBgraFloat:
      for (int c = 0; c < 3; ++c) {
        const double v = std::isnan(band[c]) ? 0.0 : ClampedOrNaN(band[c], 1.0);
        Put<float>(bytes, 2 - c, float(v));
      }
      Put<float>(bytes, 3, 1.0f);
      break;
    case PixelLayout::kVuyaFloat:
      Put<float>(bytes, 0, FloatOrBlack(band[1]));
      Put<float>(bytes, 1, FloatOrBlack(band[2]));
      Put<float>(bytes, 2, FloatOrBlack(band[0]));
      std::memcpy(bytes.data() + 12, input_pixel + 12, 4);
      break;
    default:
      throw std::logic_error("no reference for this layout");
  }
  return bytes;
}

std::string CheckSwatches(const World& input, const World& output, const Palette& palette, double swatch_w,
                          double swatch_h) {
  const std::size_t size = minihost::PixelBytes(output.Layout());
  for (int32_t y = 0; y < output.Height(); ++y)
    for (int32_t x = 0; x < output.Width(); ++x) {
      const uint8_t* in = input.PixelAddress(x, y);
      const int cell = CellOf(swatch_w, swatch_h, x, y);
      const std::vector<uint8_t> want =
          cell < 0 ? std::vector<uint8_t>(in, in + size) : PaintedPixel(output.Layout(), palette.average[cell], in);
      if (std::memcmp(want.data(), output.PixelAddress(x, y), size) != 0) {
        std::ostringstream why;
        why << "pixel (" << x << ", " << y << ") in cell " << cell << " differs from the expected bytes";
        return why.str();
      }
    }
  return {};
}

std::string CheckSwatches(const World& input, const World& output, const Palette& palette) {
  return CheckSwatches(input, output, palette, input.Width(), input.Height());
}

namespace {

void Store(World& world, int32_t x, int32_t y, const std::array<float, 4>& channels) {
  uint8_t* p = world.PixelAddress(x, y);
  switch (minihost::PixelBytes(world.Layout())) {
    case 4:
      for (int c = 0; c < 4; ++c) p[c] = uint8_t(channels[c]);
      break;
    case 8:
      for (int c = 0; c < 4; ++c) {
        const uint16_t v = uint16_t(channels[c]);
        std::memcpy(p + 2 * c, &v, 2);
      }
      break;
    default:
      std::memcpy(p, channels.data(), 16);
  }
}

// Memory-order channels of one pixel from red, green, blue in 0..1 (or the
// 8-bit frame's 0..255 when eight_bit).
std::array<float, 4> Channels(PixelLayout layout, std::array<float, 3> rgb, bool eight_bit) {
  const float r = rgb[0], g = rgb[1], b = rgb[2];
  auto unit = [&](float v) { return eight_bit ? v / 255.0f : v; };
  auto byte = [&](float v) { return eight_bit ? v : std::round(std::fmin(std::fmax(v, 0.0f), 1.0f) * 255.0f); };
  auto word = [&](float v) { return std::round((eight_bit ? v / 255.0f : std::fmin(std::fmax(v, 0.0f), 1.0f)) * 32768.0f); };
  switch (layout) {
    case PixelLayout::kArgb8: return {255, byte(r), byte(g), byte(b)};
    case PixelLayout::kBgra8: return {byte(b), byte(g), byte(r), 255};
    case PixelLayout::kArgb16: return {32768, word(r), word(g), word(b)};
    case PixelLayout::kArgbFloat: return {1.0f, unit(r), unit(g), unit(b)};
    case PixelLayout::kBgraFloat: return {unit(b), unit(g), unit(r), 1.0f};
    case PixelLayout::kVuyaFloat: {
      const float y = 0.299f * unit(r) + 0.587f * unit(g) + 0.114f * unit(b);
      return {(unit(r) - y) * 0.713f, (unit(b) - y) * 0.565f, y, 1.0f};
    }
    default:
      throw std::logic_error("no test frame for this layout");
  }
}

}  // namespace

World MakeWorld(PixelLayout layout, const TestFrame& frame) {
  World world(layout, frame.width, frame.height);
  const bool eight_bit = &frame == &MountainFrame();
  for (int32_t y = 0; y < frame.height; ++y)
    for (int32_t x = 0; x < frame.width; ++x) Store(world, x, y, Channels(layout, frame.At(x, y), eight_bit));
  world.SetExtentHint({0, 0, frame.width, frame.height});
  return world;
}

World MakeFlatWorld(PixelLayout layout, int32_t w, int32_t h, Color rgb) {
  World world(layout, w, h);
  const std::array<float, 3> color = {float(rgb[0]), float(rgb[1]), float(rgb[2])};
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) Store(world, x, y, Channels(layout, color, false));
  world.SetExtentHint({0, 0, w, h});
  return world;
}

}  // namespace reference
