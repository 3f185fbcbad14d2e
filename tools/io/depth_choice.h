// Which host world a frame renders in: the one asked for (--depth,
// --format), or the one that follows the file's samples. And the one
// warning per command when the chosen world cannot hold the file's values.
#ifndef HUEWRIGHT_TOOLS_DEPTH_CHOICE_H
#define HUEWRIGHT_TOOLS_DEPTH_CHOICE_H

#include <optional>
#include <string>

#include "minihost_layouts.h"

namespace huewright {

// What a file's samples can hold.
struct SampleFacts {
  bool integer = true;
  int bits = 8;  // bits per sample as stored: 8, 10, 12, 16, ...
};

// After Effects: 8 bits for 8-bit files, 16 for deeper integer files, 32
// for half and float files. Premiere: BGRA 32f for half and float files,
// BGRA 8u otherwise.
PixelLayout ChooseLayout(bool premiere, std::optional<PixelLayout> requested, const SampleFacts& samples);

// The reason a layout loses the file's values, or empty: float values
// through an integer world are clamped to 0-1 and quantised, deeper integer
// samples through an 8-bit world lose their low bits.
std::string PrecisionLoss(PixelLayout layout, const SampleFacts& samples);

// Says a loss once per command, on stderr.
class PrecisionWarning {
 public:
  void Check(PixelLayout layout, const SampleFacts& samples, const std::string& path);

 private:
  bool said_ = false;
};

}  // namespace huewright

#endif
