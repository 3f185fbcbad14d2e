// The worlds of one fuzzed render: layout, sizes, row padding and direction,
// extent_hint and pixel contents, decoded from the input.
#ifndef HUEWRIGHT_FUZZ_FRAMES_H
#define HUEWRIGHT_FUZZ_FRAMES_H

#include <optional>
#include <vector>

#include "byte_reader.h"
#include "world.h"

namespace fuzz {

struct Frame {
  minihost::World input;
  minihost::World output;
  std::vector<uint8_t> input_pixels;  // the input as handed over, to prove it stays untouched
};

// Any of the seven layouts when any_layout, else only the After Effects ones.
// Output pixels start as a pattern no input holds in full.
Frame DecodeFrame(ByteReader& reader, bool any_layout);

bool SameSize(const minihost::World& a, const minihost::World& b);

}  // namespace fuzz

#endif
