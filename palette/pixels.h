// The pixels palette/ reads and paints, one struct per layout, named by the
// order of the channels in memory and with members named for what they hold.
// Hosts hand over their own structs of the same bytes; each host edge
// (render/, minihost/, the open-host adapters) maps its structs onto these
// and checks that size and offsets agree.
#ifndef HUEWRIGHT_PALETTE_PIXELS_H
#define HUEWRIGHT_PALETTE_PIXELS_H

#include <cstdint>

// After Effects' depths. A 16-bit channel's full scale is 32768.
struct Argb8Pixel {
  uint8_t alpha, red, green, blue;
};
struct Argb16Pixel {
  uint16_t alpha, red, green, blue;
};
struct ArgbFloatPixel {
  float alpha, red, green, blue;
};

// Premiere Pro's formats. v and u are the red and blue colour differences,
// y the luma.
struct Bgra8Pixel {
  uint8_t blue, green, red, alpha;
};
struct BgraFloatPixel {
  float blue, green, red, alpha;
};
struct VuyaFloatPixel {
  float v, u, y, alpha;
};
// A format a host may offer that the effect neither declares nor measures.
struct Vuya8Pixel {
  uint8_t v, u, y, alpha;
};

// The open hosts' layouts (frei0r's RGBA8888, OpenFX's RGBA images). A 16-bit
// RGBA channel spans the full 0..65535.
struct Rgba8Pixel {
  uint8_t red, green, blue, alpha;
};
struct Rgba16Pixel {
  uint16_t red, green, blue, alpha;
};
struct RgbaFloatPixel {
  float red, green, blue, alpha;
};

#endif
