// SSE2 forms of the float layouts' per-pixel measurement. Each takes the
// same operations as the plain C++ in layout_traits.h, in the same order and
// precision, on values packed two to a register, so results are bit for bit
// the same; they only spend fewer instructions on moving values about.
// (maxpd/minpd with the bound first give "bound > x ? bound : x" and
// "bound < x ? bound : x", which keep NaN and signed zeros as the C++ does.)
#ifndef HUEWRIGHT_PALETTE_PACKED_MEASURE_H
#define HUEWRIGHT_PALETTE_PACKED_MEASURE_H

#if defined(__SSE2__)
#include <emmintrin.h>

#include <cstdint>

#include "band_accumulator.h"
#include "pf_pixels.h"

// Memory position (0..3) of a PF_PixelFloat member.
template <auto kMember>
constexpr int FloatChannelIndex() {
  constexpr float PF_PixelFloat::* kOrder[] = {&PF_PixelFloat::alpha, &PF_PixelFloat::red, &PF_PixelFloat::green,
                                               &PF_PixelFloat::blue};
  for (int i = 0; i < 4; ++i)
    if (kOrder[i] == kMember) return i;
  return -1;
}
static_assert(offsetof(PF_PixelFloat, alpha) == 0 && offsetof(PF_PixelFloat, blue) == 12 &&
              sizeof(PF_PixelFloat) == 16);

// SelectBand of the low lane: the thresholds it stays below, counted as
// compare masks (-1 each); NaN stays below none.
inline int32_t SelectBandPacked(__m128d brightness) {
  const __m128d both = _mm_unpacklo_pd(brightness, brightness);
  const __m128i below_low = _mm_castpd_si128(_mm_cmplt_pd(both, _mm_set_pd(0.4, 0.2)));
  const __m128i below_high = _mm_castpd_si128(_mm_cmplt_pd(both, _mm_set_pd(0.8, 0.6)));
  const __m128i lanes = _mm_add_epi64(below_low, below_high);
  return 4 + _mm_cvtsi128_si32(_mm_add_epi64(lanes, _mm_unpackhi_epi64(lanes, lanes)));
}

inline __m128 LoadPixel(const PF_PixelFloat& p) { return _mm_loadu_ps(reinterpret_cast<const float*>(&p)); }

// Float RGB: brightness from the channels raised to 0, sums of magnitudes.
template <int kRed, int kGreen, int kBlue>
[[gnu::always_inline]] inline void AccumulateRgbPacked(BandAccumulator::Row& row, int32_t x, const PF_PixelFloat& p) {
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
[[gnu::always_inline]] inline void AccumulateVuyaPacked(BandAccumulator::Row& row, int32_t x, const PF_PixelFloat& p) {
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
  const __m128d luma_wide = _mm_add_sd(_mm_add_sd(weighted, _mm_mul_sd(green_d, _mm_set_sd(0.587))),
                                       _mm_unpackhi_pd(weighted, weighted));
  const __m128 luma = _mm_cvtsd_ss(_mm_setzero_ps(), luma_wide);
  // float(double(red - luma) * 0.713), float(double(blue - luma) * 0.565)
  const __m128 differences = _mm_sub_ps(red_blue, _mm_shuffle_ps(luma, luma, 0));
  const __m128d scaled = _mm_mul_pd(_mm_cvtps_pd(differences), _mm_set_pd(0.565, 0.713));
  const __m128d differences_d = _mm_cvtps_pd(_mm_cvtpd_ps(scaled));

  row.AddPacked(x, SelectBandPacked(brightness), _mm_unpacklo_pd(_mm_cvtss_sd(zero, luma), differences_d),
                _mm_unpackhi_pd(differences_d, one));
}

#endif
#endif
