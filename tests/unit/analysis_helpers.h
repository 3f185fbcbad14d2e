// Runs analysers the way a render does: through a PixelRefcon holding a
// fresh accumulator (the pixels in one row, x = 0, 1, ...), merged afterwards into zeroed sums and counts.
#ifndef HUEWRIGHT_TESTS_UNIT_ANALYSIS_HELPERS_H
#define HUEWRIGHT_TESTS_UNIT_ANALYSIS_HELPERS_H

#include <cstdint>
#include <vector>

#include "band_accumulator.h"
#include "layout_table.h"
#include "pixel_refcon.h"

// A layout's analyser and writer as the layout table holds them.
inline PixelFunction AnalyserOf(PixelLayout layout) { return LayoutOf(layout).analyse; }
inline PixelFunction WriterOf(PixelLayout layout) { return LayoutOf(layout).draw; }

struct PassResult {
  BandSums sums{};
  int32_t counts[kBandCount]{};

  // The one band a single-pixel pass counted, or -1.
  int OnlyBand() const {
    int found = -1;
    for (int band = 0; band < kBandCount; ++band) {
      if (counts[band] == 1 && found == -1) found = band;
      else if (counts[band] != 0) return -1;
    }
    return found;
  }
};

template <class Pixel, class Fn>
PassResult AnalysePixels(Fn fn, std::vector<Pixel> pixels, bool enabled = true) {
  BandAccumulator accumulator(enabled, 1);
  PixelRefcon refcon{};
  refcon.accumulator = &accumulator;
  std::vector<Pixel> out(pixels.size());
  for (size_t i = 0; i < pixels.size(); ++i) fn(&refcon, static_cast<int32_t>(i), 0, &pixels[i], &out[i]);
  PassResult result;
  accumulator.MergeInto(result.sums, result.counts);
  return result;
}

#endif
