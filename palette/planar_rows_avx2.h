// The AVX2 form of the 8-bit band sums (integer_rows.h), 32 pixels a step,
// laid out so that the multiply-adds do the selecting: the three colour
// channels of 32 pixels are gathered into one register each (a byte per
// pixel), and each band start's mask becomes one byte per pixel, 1 where the
// pixel's sum reaches the start. vpmaddubsw of a channel with a mask then
// adds neighbouring pixels' masked values in one instruction. About twice
// the pace of the half-lane form, which is bound by its masking.
//
// Compiled for AVX2 function by function (target attribute); called only
// where CpuHasAvx2() holds.
#ifndef HUEWRIGHT_PALETTE_PLANAR_ROWS_AVX2_H
#define HUEWRIGHT_PALETTE_PLANAR_ROWS_AVX2_H

#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "band_stats.h"
#include "row_stores.h"

namespace integer_rows {

#define HUEWRIGHT_AVX2 [[gnu::target("avx2"), gnu::always_inline]] inline

// Memory positions of the three colour channels, the alpha one left out.
template <int kAlphaSlot>
constexpr int ColourSlot(int colour) {
  return colour < kAlphaSlot ? colour : colour + 1;
}

// pshufb index: per 16-byte lane of 4 pixels, colour 0 of the 4 pixels, then
// colour 1, then colour 2, then the alphas.
template <int kAlphaSlot>
HUEWRIGHT_AVX2 __m256i GroupingIndex() {
  alignas(32) int8_t index[32];
  for (int lane = 0; lane < 2; ++lane)
    for (int group = 0; group < 4; ++group)
      for (int pixel = 0; pixel < 4; ++pixel)
        index[16 * lane + 4 * group + pixel] =
            static_cast<int8_t>(4 * pixel + (group < 3 ? ColourSlot<kAlphaSlot>(group) : kAlphaSlot));
  return _mm256_load_si256(reinterpret_cast<const __m256i*>(index));
}

// Weights 1 on the colour bytes, 0 on alpha: vpmaddubsw then vpmaddwd sum a
// pixel's colour channels.
template <int kAlphaSlot>
HUEWRIGHT_AVX2 __m256i ColourWeights() {
  const uint32_t one_per_colour = 0x01010101u & ~(0xffu << (8 * kAlphaSlot));
  return _mm256_set1_epi32(static_cast<int32_t>(one_per_colour));
}

// Each pixel's colour sum in its 32 bits.
HUEWRIGHT_AVX2 __m256i ColourSum(__m256i pixels, __m256i weights) {
  return _mm256_madd_epi16(_mm256_maddubs_epi16(pixels, weights), _mm256_set1_epi16(1));
}

// A copy's 32 bytes (32-byte aligned when streamed: the row starts on a
// cache line, row_stores.h).
template <RowCopy kCopy>
HUEWRIGHT_AVX2 void StoreBlock(__m256i* to, __m256i value) {
  if constexpr (kCopy == RowCopy::kStreamed)
    _mm256_stream_si256(to, value);
  else
    _mm256_storeu_si256(to, value);
}

// How far ahead of the pixels in use the next ones are asked for: a few
// rows' worth of steps, found by timing 4K frames (512 to 4096 all help).
inline constexpr std::uintptr_t kPrefetchAhead = 4096;

// The running sums of one stretch: channel sums of all pixels ([0]) and of
// those reaching each start, in 16-bit lanes (each adds at most 510 a step),
// and the pixel counts reaching each start, kept as scalars.
struct PlanarSums {
  __m256i channel[kBandCount][3];
};

// Every 16-bit lane of sums into totals[k][slot]; counts are added apart.
template <int kAlphaSlot>
HUEWRIGHT_AVX2 void EmptyPlanar(const PlanarSums& sums, uint64_t totals[kBandCount][4]) {
  for (int k = 0; k < kBandCount; ++k)
    for (int colour = 0; colour < 3; ++colour) {
      // Pairs of 16-bit lanes into 32 bits, then the eight lanes added up.
      const __m256i wide = _mm256_madd_epi16(sums.channel[k][colour], _mm256_set1_epi16(1));
      const __m128i half = _mm_add_epi32(_mm256_castsi256_si128(wide), _mm256_extracti128_si256(wide, 1));
      const __m128i quarter = _mm_add_epi32(half, _mm_unpackhi_epi64(half, half));
      const __m128i total = _mm_add_epi32(quarter, _mm_srli_epi64(quarter, 32));
      totals[k][ColourSlot<kAlphaSlot>(colour)] += static_cast<uint32_t>(_mm_cvtsi128_si32(total));
    }
}

// Pixels 0 .. (width rounded down to 32) - 1 of an 8-bit row into totals
// (cumulative per start, as SumWholeVectors leaves them), and copied to
// copy unless kCopy is kNone. Returns the number of pixels taken. (Each
// step's stores follow its loads, so a destination at any distance from the
// source leaves the loads free: timed at every offset modulo 4096.)
template <int kAlphaSlot, RowCopy kCopy>
[[gnu::target("avx2")]] inline int32_t SumPlanarBlocks(const unsigned char* pixels, unsigned char* copy, int32_t width,
                                                       const uint32_t starts[kBandCount - 1],
                                                       uint64_t totals[kBandCount][4]) {
  constexpr int kBlock = 32;
  // 64 steps of at most 2 x 255 stay below 2^15: the lanes are emptied with
  // a signed multiply-add.
  constexpr int32_t kStepsBeforeOverflow = 64;
  const int32_t whole = width - width % kBlock;
  const __m256i grouping = GroupingIndex<kAlphaSlot>();
  const __m256i weights = ColourWeights<kAlphaSlot>();
  const __m256i ones8 = _mm256_set1_epi8(1);
  __m256i below[kBandCount - 1];  // start - 1: s > start - 1 is s >= start
  for (int k = 0; k < kBandCount - 1; ++k) below[k] = _mm256_set1_epi16(static_cast<int16_t>(starts[k] - 1));

  const int32_t steps = whole / kBlock;
  int32_t step = 0;
  while (step < steps) {
    const int32_t stretch_end = steps - step > kStepsBeforeOverflow ? step + kStepsBeforeOverflow : steps;
    PlanarSums sums;
    for (auto& per_start : sums.channel)
      for (auto& lane : per_start) lane = _mm256_setzero_si256();
    uint64_t reached[kBandCount - 1] = {};
    for (; step < stretch_end; ++step) {
      const int32_t x = kBlock * step;
      const unsigned char* p = pixels + static_cast<std::size_t>(x) * 4;
      // Frames come from memory: ask for the pixels of later steps early
      // (a prefetch beyond the row is harmless: it cannot fault).
      const auto ahead = reinterpret_cast<std::uintptr_t>(p) + kPrefetchAhead;
      _mm_prefetch(reinterpret_cast<const char*>(ahead), _MM_HINT_T0);
      _mm_prefetch(reinterpret_cast<const char*>(ahead + 64), _MM_HINT_T0);
      const __m256i x0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
      const __m256i x1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32));
      const __m256i x2 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 64));
      const __m256i x3 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 96));
      if constexpr (kCopy != RowCopy::kNone) {
        __m256i* to = reinterpret_cast<__m256i*>(copy + static_cast<std::size_t>(x) * 4);
        StoreBlock<kCopy>(to, x0);
        StoreBlock<kCopy>(to + 1, x1);
        StoreBlock<kCopy>(to + 2, x2);
        StoreBlock<kCopy>(to + 3, x3);
      }
      // Each pixel's colour sum s, 16 bits, in the order the packs leave:
      // per 16-byte lane, pixels 0-3 of each of x0..x3 in turn.
      const __m256i sum01 = _mm256_packus_epi32(ColourSum(x0, weights), ColourSum(x1, weights));
      const __m256i sum23 = _mm256_packus_epi32(ColourSum(x2, weights), ColourSum(x3, weights));
      // The channels of the 32 pixels, a byte each, in the same order.
      const __m256i y0 = _mm256_shuffle_epi8(x0, grouping), y1 = _mm256_shuffle_epi8(x1, grouping);
      const __m256i y2 = _mm256_shuffle_epi8(x2, grouping), y3 = _mm256_shuffle_epi8(x3, grouping);
      const __m256i low01 = _mm256_unpacklo_epi32(y0, y1), low23 = _mm256_unpacklo_epi32(y2, y3);
      const __m256i high01 = _mm256_unpackhi_epi32(y0, y1), high23 = _mm256_unpackhi_epi32(y2, y3);
      const __m256i channel[3] = {_mm256_unpacklo_epi64(low01, low23), _mm256_unpackhi_epi64(low01, low23),
                                  _mm256_unpacklo_epi64(high01, high23)};
#pragma GCC unroll 3
      for (int colour = 0; colour < 3; ++colour)
        sums.channel[0][colour] =
            _mm256_add_epi16(sums.channel[0][colour], _mm256_maddubs_epi16(channel[colour], ones8));
#pragma GCC unroll 4
      for (int k = 1; k < kBandCount; ++k) {
        const __m256i reaches =
            _mm256_packs_epi16(_mm256_cmpgt_epi16(sum01, below[k - 1]), _mm256_cmpgt_epi16(sum23, below[k - 1]));
        reached[k - 1] +=
            static_cast<uint32_t>(__builtin_popcount(static_cast<uint32_t>(_mm256_movemask_epi8(reaches))));
        const __m256i select = _mm256_and_si256(reaches, ones8);
#pragma GCC unroll 3
        for (int colour = 0; colour < 3; ++colour)
          sums.channel[k][colour] =
              _mm256_add_epi16(sums.channel[k][colour], _mm256_maddubs_epi16(channel[colour], select));
      }
    }
    EmptyPlanar<kAlphaSlot>(sums, totals);
    for (int k = 1; k < kBandCount; ++k) totals[k][kAlphaSlot] += reached[k - 1];
  }
  totals[0][kAlphaSlot] += static_cast<uint64_t>(whole);
  return whole;
}

#undef HUEWRIGHT_AVX2

}  // namespace integer_rows

#endif
#endif
