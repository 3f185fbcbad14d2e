// One frei0r instance: its parameters and its own band statistics. Nothing
// is shared between instances, so hosts that keep one instance per worker
// thread never contend; a host that slices a frame may call Update on one
// instance from several threads at once, which the palette lock covers.
#ifndef HUEWRIGHT_FREI0R_FILTER_INSTANCE_H
#define HUEWRIGHT_FREI0R_FILTER_INSTANCE_H

#include <atomic>
#include <cstdint>
#include <mutex>
#include <memory>

#include "band_stats.h"

namespace frei0r_filter {

enum ParamIndex { kSwatches = 0, kGain = 1, kMeasure = 2, kParamCount = 3 };

class FilterInstance {
 public:
  // Cheap: hosts build throwaway instances while they inspect a filter.
  FilterInstance(int32_t width, int32_t height) : width_(width), height_(height) {}
  FilterInstance(const FilterInstance&) = delete;
  FilterInstance& operator=(const FilterInstance&) = delete;

  // An instance for the frame size the host promised, or null when that
  // size cannot be addressed (zero, or beyond 32-bit coordinates).
  static std::unique_ptr<FilterInstance> Create(unsigned width, unsigned height);

  // Booleans are on from 0.5; the gain's position is limited to 0..1. An
  // index out of range or a NaN value changes nothing.
  void SetParam(int index, double value);
  double Param(int index) const;

  // in and out hold width x height RGBA8888 pixels, rows packed; they may be
  // the same buffer.
  void Update(const uint32_t* in, uint32_t* out);
  // Copies in to out unchanged.
  void PassThrough(const uint32_t* in, uint32_t* out) const;

 private:
  const int32_t width_;
  const int32_t height_;
  std::atomic<double> params_[kParamCount] = {1.0, 0.5, 1.0};

  // The palette this instance last measured (zeros before the first frame),
  // left as the drawing clamp made it.
  std::mutex palette_mutex_;
  BandStats stats_;
};

}  // namespace frei0r_filter

#endif
