// An independent model of what a rendered frame must look like: band
// averages computed from the input world's pixels, the swatch cells, and the
// colours the swatches are painted in. Written from the effect's documented
// behaviour, not from its code.
#ifndef HUEWRIGHT_TESTS_REFERENCE_SWATCHES_H
#define HUEWRIGHT_TESTS_REFERENCE_SWATCHES_H

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "minihost.h"
#include "test_frames.h"

namespace reference {

using Color = std::array<double, 3>;

// Band averages in the channel units of the analysed layout: red, green,
// blue for RGB layouts; luma, red difference, blue difference for VUYA.
struct Palette {
  std::array<Color, 5> average{};
  std::array<int64_t, 5> count{};
};

Palette Analyse(const minihost::World& input);
// Every average times gain.
Palette Scaled(Palette palette, double gain);

// The swatch cell of pixel (x, y) in a frame of width w and height h, or -1.
int CellOf(double w, double h, int32_t x, int32_t y);

// A frame of one layout filled from a test frame (8-bit frames scale to
// 16-bit and float; VUYA is converted from RGB), alpha opaque.
minihost::World MakeWorld(minihost::PixelLayout layout, const TestFrame& frame);
// A w x h frame of one RGB colour given in 0..1.
minihost::World MakeFlatWorld(minihost::PixelLayout layout, int32_t w, int32_t h, Color rgb);

// Compares a rendered output with what input and palette must give: pixels
// outside the cells (of a frame of swatch_w x swatch_h) are the input's bytes,
// pixels inside are the palette's colour as the layout's writer paints it.
// Returns an empty text on success, else the first difference.
std::string CheckSwatches(const minihost::World& input, const minihost::World& output, const Palette& palette,
                          double swatch_w, double swatch_h);
std::string CheckSwatches(const minihost::World& input, const minihost::World& output, const Palette& palette);

// The 4 bytes, 8 bytes or 16 bytes of a painted swatch pixel.
std::vector<uint8_t> PaintedPixel(minihost::PixelLayout layout, const Color& band, const uint8_t* input_pixel);

}  // namespace reference

#endif
