// The gain that scales the band averages: the After Effects slider's range
// and default, which the frei0r filter and the tool offer as well.
#ifndef HUEWRIGHT_PALETTE_GAIN_RANGE_H
#define HUEWRIGHT_PALETTE_GAIN_RANGE_H

inline constexpr double kGainMin = 0.001;
inline constexpr double kGainMax = 3.0;
inline constexpr double kGainDefault = 1.0;

#endif
