// SSE2 forms of the float layouts' per-pixel measurement: each pixel's
// brightness and sums in the documented operations, order and precision, on
// values packed two to a register. A pixel is four floats at the address
// given (V, U, Y, alpha for VUYA; the RGB layouts say where their channels
// sit). (maxpd/minpd with the bound first give "bound > x ? bound : x" and
// "bound < x ? bound : x", which keep NaN and signed zeros.)
#ifndef HUEWRIGHT_PALETTE_PACKED_MEASURE_H
#define HUEWRIGHT_PALETTE_PACKED_MEASURE_H

#include <emmintrin.h>

#include <cstdint>

#include "band_accumulator.h"

// SelectBand of the low lane: the thresholds it stays below, counted as
// compare masks (-1 each); NaN stays below none.
inline int32_t SelectBandPacked(__m128d brightness) {
  const __m128d both = _mm_unpacklo_pd(brightness, brightness);
  const __m128i below_low = _mm_castpd_si128(_mm_cmplt_pd(both, _mm_set_pd(0.4, 0.2)));
  const __m128i below_high = _mm_castpd_si128(_mm_cmplt_pd(both, _mm_set_pd(0.8, 0.6)));
  const __m128i lanes = _mm_add_epi64(below_low, below_high);
  return 4 + _mm_cvtsi128_si32(_mm_add_epi64(lanes, _mm_unpackhi_epi64(lanes, lanes)));
}

// The four floats of the pixel at p (an unaligned load may alias any type).
inline __m128 LoadPixel(const void* p) { return _mm_loadu_ps(static_cast<const float*>(p)); }

// Float RGB: brightness from the channels raised to 0, sums of magnitudes.
template <int kRed, int kGreen, int kBlue>
[[gnu::always_inline]] inline void AccumulateRgbPacked(BandAccumulator::Row& row, int32_t x, const void* p) {
  const __m128 pixel = LoadPixel(p);
  const __m128 red_green_blue = _mm_shuffle_ps(pixel, pixel, _MM_SHUFFLE(kBlue, kBlue, kGreen, kRed));
  const __m128d red_green = _mm_cvtps_pd(red_green_blue);
  const __m128d blue = _mm_cvtps_pd(_mm_movehl_ps(red_green_blue, red_green_blue));
  const __m128d zero = _mm_setzero_pd();
  const __m128d raised = _mm_max_pd(zero, red_green);
  const __m128d green_plus_red = _mm_add_sd(_mm_unpackhi_pd(raised, raised), raised);
  const __m128d brightness = _mm_mul_sd(_mm_add_sd(green_plus_red, _mm_max_sd(zero, blue)), _mm_set_sd(0.333));
  const __m128d magnitude = _mm_castsi128_pd(_mm_set1_epi64x(0x7fffffffffffffffLL));
  row.AddPacked(x, SelectBandPacked(brightness), _mm_and_pd(red_green, magnitude),
                _mm_unpacklo_pd(_mm_and_pd(blue, magnitude), _mm_set1_pd(1.0)));
}

// VUYA in memory order V, U, Y, alpha: red and blue side by side, green
// apart, limited to 0..1 as floats; the sums get luma and the two colour
// differences recomputed from the limited colour. (Both are always inlined:
// a pixel function calls nothing.)
[[gnu::always_inline]] inline void AccumulateVuyaPacked(BandAccumulator::Row& row, int32_t x, const void* p) {
  const __m128 pixel = LoadPixel(p);
  const __m128d v_u = _mm_cvtps_pd(pixel);
  const __m128d y = _mm_cvtps_pd(_mm_shuffle_ps(pixel, pixel, _MM_SHUFFLE(2, 2, 2, 2)));
  const __m128d zero = _mm_setzero_pd(), one = _mm_set1_pd(1.0);

  // v * 1.403 + y and u * 1.77 + y; (y - u * 0.344) - v * 0.714.
  const __m128d red_blue_wide = _mm_add_pd(_mm_mul_pd(v_u, _mm_set_pd(1.77, 1.403)), y);
  const __m128d u = _mm_unpackhi_pd(v_u, v_u);
  const __m128d green_wide =
      _mm_sub_sd(_mm_sub_sd(y, _mm_mul_sd(u, _mm_set_sd(0.344))), _mm_mul_sd(v_u, _mm_set_sd(0.714)));
  const __m128 red_blue = _mm_cvtpd_ps(_mm_min_pd(one, _mm_max_pd(zero, red_blue_wide)));
  const __m128 green = _mm_cvtsd_ss(_mm_setzero_ps(), _mm_min_sd(one, _mm_max_sd(zero, green_wide)));
  const __m128d red_blue_d = _mm_cvtps_pd(red_blue);
  const __m128d green_d = _mm_cvtss_sd(zero, green);
  const __m128d blue_d = _mm_unpackhi_pd(red_blue_d, red_blue_d);

  // ((green + red) + blue) * 0.333
  const __m128d brightness = _mm_mul_sd(_mm_add_sd(_mm_add_sd(green_d, red_blue_d), blue_d), _mm_set_sd(0.333));
  // (red * 0.299 + green * 0.587) + blue * 0.114, rounded to float
  const __m128d weighted = _mm_mul_pd(red_blue_d, _mm_set_pd(0.114, 0.299));
  const __m128d luma_wide =
      _mm_add_sd(_mm_add_sd(weighted, _mm_mul_sd(green_d, _mm_set_sd(0.587))), _mm_unpackhi_pd(weighted, weighted));
  const __m128 luma = _mm_cvtsd_ss(_mm_setzero_ps(), luma_wide);
  // float(double(red - luma) * 0.713), float(double(blue - luma) * 0.565)
  const __m128 differences = _mm_sub_ps(red_blue, _mm_shuffle_ps(luma, luma, 0));
  const __m128d scaled = _mm_mul_pd(_mm_cvtps_pd(differences), _mm_set_pd(0.565, 0.713));
  const __m128d differences_d = _mm_cvtps_pd(_mm_cvtpd_ps(scaled));

  row.AddPacked(x, SelectBandPacked(brightness), _mm_unpacklo_pd(_mm_cvtss_sd(zero, luma), differences_d),
                _mm_unpackhi_pd(differences_d, one));
}

// --- two neighbouring pixels at once, one per lane -------------------------
// The row walks of the Premiere float layouts take pixels in pairs: every
// value below holds pixel x in its low lane and pixel x + 1 in its high
// lane, each lane going through the operations above.

// Both lanes' bands (low lane first).
struct BandPair {
  int32_t first, second;
};
inline BandPair SelectBandPair(__m128d brightness) {
  const __m128i below = _mm_add_epi64(_mm_add_epi64(_mm_castpd_si128(_mm_cmplt_pd(brightness, _mm_set1_pd(0.8))),
                                                    _mm_castpd_si128(_mm_cmplt_pd(brightness, _mm_set1_pd(0.6)))),
                                      _mm_add_epi64(_mm_castpd_si128(_mm_cmplt_pd(brightness, _mm_set1_pd(0.4))),
                                                    _mm_castpd_si128(_mm_cmplt_pd(brightness, _mm_set1_pd(0.2)))));
  return {4 + _mm_cvtsi128_si32(below), 4 + _mm_cvtsi128_si32(_mm_unpackhi_epi64(below, below))};
}

// Channel k (memory position 0..3) of both pixels, as doubles.
struct PixelPair {
  __m128 low, high;  // channels 0, 1 and 2, 3 of both pixels, interleaved
  PixelPair(const void* first, const void* second)
      : low(_mm_unpacklo_ps(LoadPixel(first), LoadPixel(second))),
        high(_mm_unpackhi_ps(LoadPixel(first), LoadPixel(second))) {}
  template <int kChannel>
  __m128d Channel() const {
    const __m128 half = kChannel < 2 ? low : high;
    return _mm_cvtps_pd(kChannel % 2 == 0 ? half : _mm_movehl_ps(half, half));
  }
};

// Adds both pixels: values (c0, c1, c2) of pixel x in the low lanes, of
// pixel x + 1 in the high lanes.
[[gnu::always_inline]] inline void AddPair(BandAccumulator::Row& row, int32_t x, BandPair bands, __m128d c0, __m128d c1,
                                           __m128d c2) {
  const __m128d one = _mm_set1_pd(1.0);
  row.AddPacked(x, bands.first, _mm_unpacklo_pd(c0, c1), _mm_unpacklo_pd(c2, one));
  row.AddPacked(x + 1, bands.second, _mm_unpackhi_pd(c0, c1), _mm_unpackhi_pd(c2, one));
}

template <int kRed, int kGreen, int kBlue>
[[gnu::always_inline]] inline void AccumulateRgbPair(BandAccumulator::Row& row, int32_t x, const void* p,
                                                     const void* q) {
  const PixelPair pair(p, q);
  const __m128d red = pair.Channel<kRed>(), green = pair.Channel<kGreen>(), blue = pair.Channel<kBlue>();
  const __m128d zero = _mm_setzero_pd();
  const __m128d brightness =
      _mm_mul_pd(_mm_add_pd(_mm_add_pd(_mm_max_pd(zero, green), _mm_max_pd(zero, red)), _mm_max_pd(zero, blue)),
                 _mm_set1_pd(0.333));
  const __m128d magnitude = _mm_castsi128_pd(_mm_set1_epi64x(0x7fffffffffffffffLL));
  AddPair(row, x, SelectBandPair(brightness), _mm_and_pd(red, magnitude), _mm_and_pd(green, magnitude),
          _mm_and_pd(blue, magnitude));
}

// Limits to 0..1 and rounds to float, kept in the low two float lanes.
inline __m128 LimitToUnitPair(__m128d value) {
  return _mm_cvtpd_ps(_mm_min_pd(_mm_set1_pd(1.0), _mm_max_pd(_mm_setzero_pd(), value)));
}

[[gnu::always_inline]] inline void AccumulateVuyaPair(BandAccumulator::Row& row, int32_t x, const void* p,
                                                      const void* q) {
  const PixelPair pair(p, q);
  const __m128d v = pair.Channel<0>(), u = pair.Channel<1>(), y = pair.Channel<2>();
  const __m128 red = LimitToUnitPair(_mm_add_pd(_mm_mul_pd(v, _mm_set1_pd(1.403)), y));
  const __m128 green =
      LimitToUnitPair(_mm_sub_pd(_mm_sub_pd(y, _mm_mul_pd(u, _mm_set1_pd(0.344))), _mm_mul_pd(v, _mm_set1_pd(0.714))));
  const __m128 blue = LimitToUnitPair(_mm_add_pd(_mm_mul_pd(u, _mm_set1_pd(1.77)), y));
  const __m128d red_d = _mm_cvtps_pd(red), green_d = _mm_cvtps_pd(green), blue_d = _mm_cvtps_pd(blue);
  const __m128d brightness = _mm_mul_pd(_mm_add_pd(_mm_add_pd(green_d, red_d), blue_d), _mm_set1_pd(0.333));
  const __m128 luma = _mm_cvtpd_ps(
      _mm_add_pd(_mm_add_pd(_mm_mul_pd(red_d, _mm_set1_pd(0.299)), _mm_mul_pd(green_d, _mm_set1_pd(0.587))),
                 _mm_mul_pd(blue_d, _mm_set1_pd(0.114))));
  const __m128 red_difference = _mm_cvtpd_ps(_mm_mul_pd(_mm_cvtps_pd(_mm_sub_ps(red, luma)), _mm_set1_pd(0.713)));
  const __m128 blue_difference = _mm_cvtpd_ps(_mm_mul_pd(_mm_cvtps_pd(_mm_sub_ps(blue, luma)), _mm_set1_pd(0.565)));
  AddPair(row, x, SelectBandPair(brightness), _mm_cvtps_pd(luma), _mm_cvtps_pd(red_difference),
          _mm_cvtps_pd(blue_difference));
}

#endif
