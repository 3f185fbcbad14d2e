// AVX forms of the float row walks' measurement: four neighbouring pixels
// at once, one per lane of 256-bit registers, each lane going through the
// same operations, in the same order and precision, as the SSE2 forms in
// packed_measure.h. Used only where
// the processor and the system support AVX (CpuHasAvx); compiled for AVX
// function by function, so the rest of the effect still runs on any x86-64.
// (That is also why these repeat the SSE2 forms' shape rather than share a
// template with them: code shared with the AVX forms would be compiled for
// AVX, which the SSE2 forms must never be.)
#ifndef HUEWRIGHT_PALETTE_WIDE_MEASURE_H
#define HUEWRIGHT_PALETTE_WIDE_MEASURE_H

#if defined(__GNUC__) && defined(__x86_64__)
#define HUEWRIGHT_WIDE_MEASURE 1
#include <immintrin.h>

#include <cstdint>

#include "band_accumulator.h"
#include "packed_measure.h"

#define HUEWRIGHT_AVX [[gnu::target("avx"), gnu::always_inline]] inline

// Reads the processor's features that the runtime library found at load
// (the operating system's saving of AVX registers included): no call.
inline bool CpuHasAvx() { return __builtin_cpu_supports("avx"); }

// Channel k (memory position 0..3) of four pixels of four floats each, as
// doubles.
struct PixelQuad {
  __m128 channels[4];
  HUEWRIGHT_AVX PixelQuad(const void* pixels) {
    const float* floats = static_cast<const float*>(pixels);
    __m128 a = LoadPixel(floats), b = LoadPixel(floats + 4), c = LoadPixel(floats + 8), d = LoadPixel(floats + 12);
    _MM_TRANSPOSE4_PS(a, b, c, d);
    channels[0] = a;
    channels[1] = b;
    channels[2] = c;
    channels[3] = d;
  }
  template <int kChannel>
  HUEWRIGHT_AVX __m256d Channel() const {
    return _mm256_cvtps_pd(channels[kChannel]);
  }
};

HUEWRIGHT_AVX __m256d Times(__m256d value, double factor) { return _mm256_mul_pd(value, _mm256_set1_pd(factor)); }

// 1.0 in each lane whose brightness is below threshold (never for NaN).
HUEWRIGHT_AVX __m256d Below(__m256d brightness, double threshold) {
  return _mm256_and_pd(_mm256_cmp_pd(brightness, _mm256_set1_pd(threshold), _CMP_LT_OQ), _mm256_set1_pd(1.0));
}

// The bands of four brightnesses: 4 less the thresholds each stays below.
HUEWRIGHT_AVX void SelectBandQuad(__m256d brightness, int32_t bands[4]) {
  const __m256d count = _mm256_add_pd(_mm256_add_pd(Below(brightness, 0.8), Below(brightness, 0.6)),
                                      _mm256_add_pd(Below(brightness, 0.4), Below(brightness, 0.2)));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(bands), _mm256_cvttpd_epi32(_mm256_sub_pd(_mm256_set1_pd(4.0), count)));
}

// Adds pixels x .. x + 3: lane i holds pixel x + i's brightness and values.
HUEWRIGHT_AVX void AddQuad(BandAccumulator::Row& row, int32_t x, __m256d brightness, __m256d c0, __m256d c1,
                           __m256d c2) {
  int32_t bands[4];
  SelectBandQuad(brightness, bands);
  const __m256d one = _mm256_set1_pd(1.0);
  const __m256d c0_c1_even = _mm256_unpacklo_pd(c0, c1), c0_c1_odd = _mm256_unpackhi_pd(c0, c1);
  const __m256d c2_one_even = _mm256_unpacklo_pd(c2, one), c2_one_odd = _mm256_unpackhi_pd(c2, one);
  row.AddPacked(x, bands[0], _mm256_castpd256_pd128(c0_c1_even), _mm256_castpd256_pd128(c2_one_even));
  row.AddPacked(x + 1, bands[1], _mm256_castpd256_pd128(c0_c1_odd), _mm256_castpd256_pd128(c2_one_odd));
  row.AddPacked(x + 2, bands[2], _mm256_extractf128_pd(c0_c1_even, 1), _mm256_extractf128_pd(c2_one_even, 1));
  row.AddPacked(x + 3, bands[3], _mm256_extractf128_pd(c0_c1_odd, 1), _mm256_extractf128_pd(c2_one_odd, 1));
}

template <int kRed, int kGreen, int kBlue>
HUEWRIGHT_AVX void AccumulateRgbQuad(BandAccumulator::Row& row, int32_t x, const void* pixels) {
  const PixelQuad quad(pixels);
  const __m256d red = quad.Channel<kRed>(), green = quad.Channel<kGreen>(), blue = quad.Channel<kBlue>();
  const __m256d zero = _mm256_setzero_pd();
  const __m256d brightness = _mm256_mul_pd(
      _mm256_add_pd(_mm256_add_pd(_mm256_max_pd(zero, green), _mm256_max_pd(zero, red)), _mm256_max_pd(zero, blue)),
      _mm256_set1_pd(0.333));
  const __m256d magnitude = _mm256_castsi256_pd(_mm256_set1_epi64x(0x7fffffffffffffffLL));
  AddQuad(row, x, brightness, _mm256_and_pd(red, magnitude), _mm256_and_pd(green, magnitude),
          _mm256_and_pd(blue, magnitude));
}

HUEWRIGHT_AVX __m128 LimitToUnitQuad(__m256d value) {
  return _mm256_cvtpd_ps(_mm256_min_pd(_mm256_set1_pd(1.0), _mm256_max_pd(_mm256_setzero_pd(), value)));
}

HUEWRIGHT_AVX void AccumulateVuyaQuad(BandAccumulator::Row& row, int32_t x, const void* pixels) {
  const PixelQuad quad(pixels);
  const __m256d v = quad.Channel<0>(), u = quad.Channel<1>(), y = quad.Channel<2>();
  const __m128 red = LimitToUnitQuad(_mm256_add_pd(Times(v, 1.403), y));
  const __m128 green = LimitToUnitQuad(_mm256_sub_pd(_mm256_sub_pd(y, Times(u, 0.344)), Times(v, 0.714)));
  const __m128 blue = LimitToUnitQuad(_mm256_add_pd(Times(u, 1.77), y));
  const __m256d red_d = _mm256_cvtps_pd(red), green_d = _mm256_cvtps_pd(green), blue_d = _mm256_cvtps_pd(blue);
  const __m256d brightness = Times(_mm256_add_pd(_mm256_add_pd(green_d, red_d), blue_d), 0.333);
  const __m128 luma =
      _mm256_cvtpd_ps(_mm256_add_pd(_mm256_add_pd(Times(red_d, 0.299), Times(green_d, 0.587)), Times(blue_d, 0.114)));
  const __m128 red_difference = _mm256_cvtpd_ps(Times(_mm256_cvtps_pd(_mm_sub_ps(red, luma)), 0.713));
  const __m128 blue_difference = _mm256_cvtpd_ps(Times(_mm256_cvtps_pd(_mm_sub_ps(blue, luma)), 0.565));
  AddQuad(row, x, brightness, _mm256_cvtps_pd(luma), _mm256_cvtps_pd(red_difference), _mm256_cvtps_pd(blue_difference));
}

#undef HUEWRIGHT_AVX
#endif
#endif
