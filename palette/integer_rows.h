// Band sums of whole rows of 8- and 16-bit pixels, many pixels per
// instruction. A pixel's band depends only on the integer sum s of its three
// colour channels, and each band starts at one sum (the layout's band
// starts), so choosing the band is four integer comparisons; the channel
// sums are whole numbers, exact in any order. The result therefore equals,
// bit for bit once converted to doubles, what the per-pixel analysers add.
//
// Written over memory positions (slot 0..3 of a pixel), not over named
// channels: the caller maps slots to red, green and blue. The alpha slot is
// never read; it carries the pixel counts instead.
//
// How: each pixel is split into two vectors of half-pixel lanes (slots 0 and
// 2 in one, 1 and 3 in the other, each channel widened to twice its bits, the
// alpha slot replaced by 1). With s + 1 from their sum, the masks "s reaches
// band start k" (k = 1..4) select what each band and every band above it
// adds: five running sums of all pixels and of the pixels at or above each
// start, from which each band's own sums are differences. The narrow lanes
// are emptied into 64-bit totals before they could overflow.
//
// Compiled with GCC/Clang vector extensions, so that one skeleton gives the
// SSE2 form (16-byte vectors, any x86-64) and the AVX2 form (32 bytes), which
// runs only where the processor and system support it (CpuHasAvx2).
#ifndef HUEWRIGHT_PALETTE_INTEGER_ROWS_H
#define HUEWRIGHT_PALETTE_INTEGER_ROWS_H

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "band_stats.h"
#include "planar_rows_avx2.h"
#include "row_stores.h"

// Whole-number sums of one or more rows: slot i of band k is the sum of the
// channel at memory position i over the pixels of band k; the alpha slot
// holds the number of those pixels.
struct IntegerBandSums {
  uint64_t slots[kBandCount][4];
};

#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
// Reads the processor's features that the runtime library found at load
// (the operating system's saving of the AVX registers included): no call.
inline bool CpuHasAvx2() { return __builtin_cpu_supports("avx2"); }
#define HUEWRIGHT_INTEGER_ROWS_AVX2 1
#endif

namespace integer_rows {

// One lane type per width in bits.
template <int kBits>
struct Lane;
template <>
struct Lane<16> {
  using Type = uint16_t;
};
template <>
struct Lane<32> {
  using Type = uint32_t;
};
template <>
struct Lane<64> {
  using Type = uint64_t;
};

// The vectors of one form and one channel width.
template <class Channel, int kVectorBytes>
struct Vectors {
  static constexpr int kChannelBits = 8 * sizeof(Channel);
  static constexpr int kHalfBits = 2 * kChannelBits;  // two slots of a pixel
  using PixelLane = typename Lane<2 * kHalfBits>::Type;
  using HalfLane = typename Lane<kHalfBits>::Type;
  typedef PixelLane PixelVector __attribute__((vector_size(kVectorBytes)));
  typedef HalfLane HalfVector __attribute__((vector_size(kVectorBytes)));
  // Comparisons in 32-bit lanes, which SSE2 has for every width.
  typedef int32_t CompareVector __attribute__((vector_size(kVectorBytes)));
  static constexpr int kPixels = kVectorBytes / static_cast<int>(sizeof(PixelLane));
  static constexpr int kHalves = kVectorBytes / static_cast<int>(sizeof(HalfLane));
  // Each half lane gains less than 2^kChannelBits a step: 2^kChannelBits
  // steps fit its 2 * kChannelBits bits.
  static constexpr std::size_t kStepsBeforeOverflow = std::size_t{1} << kChannelBits;
};

// The alpha slot as a count of 1, every other slot as its channel value: the
// slot's field within its half (low or high) of the even or odd vector.
template <class Channel, int kAlphaSlot>
struct SlotMasks {
  static constexpr int kChannelBits = 8 * sizeof(Channel);
  using PixelLane = typename Vectors<Channel, 16>::PixelLane;
  static constexpr PixelLane kChannel = static_cast<Channel>(~Channel{0});
  static constexpr int kHalfBits = 2 * kChannelBits;
  // Slots 0 and 2 (even), 1 and 3 (odd), after shifting odd ones down.
  static constexpr PixelLane kBoth = kChannel | (kChannel << kHalfBits);
  static constexpr PixelLane FieldOf(int slot) { return slot / 2 == 0 ? kChannel : kChannel << kHalfBits; }
  static constexpr PixelLane OneOf(int slot) { return slot / 2 == 0 ? 1 : PixelLane{1} << kHalfBits; }
  static constexpr bool kAlphaIsEven = kAlphaSlot % 2 == 0;
  static constexpr PixelLane kEvenKeep = kAlphaIsEven ? kBoth & ~FieldOf(kAlphaSlot) : kBoth;
  static constexpr PixelLane kOddKeep = kAlphaIsEven ? kBoth : kBoth & ~FieldOf(kAlphaSlot);
  static constexpr PixelLane kEvenOne = kAlphaIsEven ? OneOf(kAlphaSlot) : 0;
  static constexpr PixelLane kOddOne = kAlphaIsEven ? 0 : OneOf(kAlphaSlot);
};

// The running sums of one stretch of a row, in half lanes: [0] of all
// pixels, [k] of the pixels whose sum reaches band start k.
template <class V>
struct RunningSums {
  typename V::HalfVector even[kBandCount];
  typename V::HalfVector odd[kBandCount];
};

// Adds every lane of the running sums into totals (slot by slot, each band
// and those above it).
template <class V>
[[gnu::always_inline]] inline void EmptyInto(const RunningSums<V>& running, uint64_t totals[kBandCount][4]) {
  for (int k = 0; k < kBandCount; ++k) {
    for (int lane = 0; lane < V::kHalves; ++lane) {
      // Half lanes alternate low and high slot of their pixel lane.
      const int high = lane % 2;
      totals[k][0 + 2 * high] += running.even[k][lane];
      totals[k][1 + 2 * high] += running.odd[k][lane];
    }
  }
}

// Pixels 0 .. (width rounded down to whole vectors) - 1 into totals (per
// band k: the sums of the pixels whose sum reaches start k, k = 0 being all),
// and copied to copy unless kCopy is kNone. Returns the number of pixels
// taken.
template <class Channel, int kAlphaSlot, int kVectorBytes, RowCopy kCopy>
[[gnu::always_inline]] inline int32_t SumWholeVectors(const unsigned char* pixels, unsigned char* copy, int32_t width,
                                                      const uint32_t starts[kBandCount - 1],
                                                      uint64_t totals[kBandCount][4]) {
  using V = Vectors<Channel, kVectorBytes>;
  using M = SlotMasks<Channel, kAlphaSlot>;
  using PixelVector = typename V::PixelVector;
  using HalfVector = typename V::HalfVector;
  using CompareVector = typename V::CompareVector;
  constexpr int kPixels = V::kPixels;
  constexpr typename V::PixelLane kLowHalf = (typename V::PixelLane{1} << V::kHalfBits) - 1;

  // s + 1 > start - 1 + 1, that is s >= start, as signed 32-bit comparisons
  // (s + 1 stays far below 2^31).
  CompareVector reaches[kBandCount - 1];
  for (int k = 0; k < kBandCount - 1; ++k) reaches[k] = CompareVector{} + static_cast<int32_t>(starts[k]);

  const int32_t whole = width - width % kPixels;
  const unsigned char* next = pixels;
  const unsigned char* const end = pixels + static_cast<std::size_t>(whole) * sizeof(Channel) * 4;
  while (next != end) {
    // As many steps as the half lanes hold, then into the totals.
    const std::size_t left = static_cast<std::size_t>(end - next) / sizeof(PixelVector);
    const unsigned char* const stretch_end =
        next + (left < V::kStepsBeforeOverflow ? left : V::kStepsBeforeOverflow) * sizeof(PixelVector);
    RunningSums<V> running{};
    for (; next != stretch_end; next += sizeof(PixelVector)) {
      PixelVector pixel;
      std::memcpy(&pixel, next, sizeof pixel);
      if constexpr (kCopy != RowCopy::kNone) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(&pixel);
        for (std::size_t half = 0; half < sizeof pixel; half += 16)
          row_stores::Store16<kCopy>(copy + (next - pixels) + half, bytes + half);
      }
      const PixelVector even = (pixel & M::kEvenKeep) | M::kEvenOne;
      const PixelVector odd = ((pixel >> V::kChannelBits) & M::kOddKeep) | M::kOddOne;
      // Halves of slot pairs, then the whole pixel's s + 1 in the low half.
      const PixelVector pairs = even + odd;
      PixelVector sum = (pairs & kLowHalf) + (pairs >> V::kHalfBits);
      // 16-bit pixels: s + 1 in both 32-bit halves, so each comparison's
      // mask covers the whole 64-bit pixel.
      if constexpr (V::kHalfBits == 32) sum |= sum << 32;
      const HalfVector even_half = reinterpret_cast<HalfVector>(even);
      const HalfVector odd_half = reinterpret_cast<HalfVector>(odd);
      running.even[0] += even_half;
      running.odd[0] += odd_half;
#pragma GCC unroll 4
      for (int k = 1; k < kBandCount; ++k) {
        const HalfVector mask = reinterpret_cast<HalfVector>(reinterpret_cast<CompareVector>(sum) > reaches[k - 1]);
        running.even[k] += even_half & mask;
        running.odd[k] += odd_half & mask;
      }
    }
    EmptyInto<V>(running, totals);
  }
  return whole;
}

// The pixel at p into bands, as the per-pixel analysers band it.
template <class Channel, int kAlphaSlot>
inline void AddOnePixel(const unsigned char* p, const uint32_t starts[kBandCount - 1], IntegerBandSums& bands) {
  Channel channels[4];
  std::memcpy(channels, p, sizeof channels);
  uint32_t sum = 0;
  for (int slot = 0; slot < 4; ++slot)
    if (slot != kAlphaSlot) sum += channels[slot];
  const int band = (sum >= starts[0]) + (sum >= starts[1]) + (sum >= starts[2]) + (sum >= starts[3]);
  for (int slot = 0; slot < 4; ++slot) bands.slots[band][slot] += slot == kAlphaSlot ? 1u : channels[slot];
}

// Adds the bands of the cumulative totals (each band's sums less those of
// the bands above it) into bands.
inline void AddBandsOfTotals(const uint64_t totals[kBandCount][4], IntegerBandSums& bands) {
  for (int k = 0; k < kBandCount; ++k)
    for (int slot = 0; slot < 4; ++slot)
      bands.slots[k][slot] += totals[k][slot] - (k + 1 < kBandCount ? totals[k + 1][slot] : 0);
}

template <class Channel, int kAlphaSlot, int kVectorBytes, RowCopy kCopy>
[[gnu::always_inline]] inline void SumRow(const unsigned char* pixels, unsigned char* copy, int32_t width,
                                          const uint32_t starts[kBandCount - 1], IntegerBandSums& bands) {
  constexpr std::size_t kPixelBytes = sizeof(Channel) * 4;
  uint64_t totals[kBandCount][4] = {};
  const int32_t done = SumWholeVectors<Channel, kAlphaSlot, kVectorBytes, kCopy>(pixels, copy, width, starts, totals);
  AddBandsOfTotals(totals, bands);
  for (int32_t x = done; x < width; ++x) {
    const unsigned char* pixel = pixels + static_cast<std::size_t>(x) * kPixelBytes;
    AddOnePixel<Channel, kAlphaSlot>(pixel, starts, bands);
    if constexpr (kCopy != RowCopy::kNone)
      std::memcpy(copy + static_cast<std::size_t>(x) * kPixelBytes, pixel, kPixelBytes);
  }
}

template <class Channel, int kAlphaSlot, RowCopy kCopy>
void SumRowSse2(const unsigned char* pixels, unsigned char* copy, int32_t width, const uint32_t starts[kBandCount - 1],
                IntegerBandSums& bands) {
  SumRow<Channel, kAlphaSlot, 16, kCopy>(pixels, copy, width, starts, bands);
}

#if defined(HUEWRIGHT_INTEGER_ROWS_AVX2)
template <class Channel, int kAlphaSlot, RowCopy kCopy>
[[gnu::target("avx2")]] void SumRowAvx2(const unsigned char* pixels, unsigned char* copy, int32_t width,
                                        const uint32_t starts[kBandCount - 1], IntegerBandSums& bands) {
  if constexpr (sizeof(Channel) == 1) {
    // The part past the whole 32-pixel blocks, then the blocks in planar
    // form.
    const int32_t done = width - width % 32;
    const std::size_t offset = static_cast<std::size_t>(done) * 4;
    SumRow<Channel, kAlphaSlot, 32, kCopy>(pixels + offset, copy ? copy + offset : copy, width - done, starts, bands);
    uint64_t totals[kBandCount][4] = {};
    SumPlanarBlocks<kAlphaSlot, kCopy>(pixels, copy, width, starts, totals);
    AddBandsOfTotals(totals, bands);
  } else {
    SumRow<Channel, kAlphaSlot, 32, kCopy>(pixels, copy, width, starts, bands);
  }
  // Leaves the upper halves of the vector registers clean for the SSE code
  // that runs next (GCC for Windows does not do it on its own).
  _mm256_zeroupper();
}
#endif

}  // namespace integer_rows

// Adds the width pixels at pixels (4 channels of type Channel each, the
// alpha channel at memory position kAlphaSlot, any alignment) into bands:
// band k takes the pixels whose colour-channel sum s satisfies
// starts[k - 1] <= s < starts[k] (starts ascending; band 0 from 0, band 4
// to the largest sum). With copy_to (not null, not pixels, not overlapping
// them), the row is copied there too, in the same pass: the row is read
// once and the copy's stores overlap the arithmetic. streamed asks for
// streaming stores (row_stores.h), taken where copy_to is aligned for them.
template <class Channel, int kAlphaSlot>
void SumIntegerRow(const void* pixels, int32_t width, const uint32_t starts[kBandCount - 1], IntegerBandSums& bands,
                   void* copy_to = nullptr, bool streamed = false) {
  static_assert(sizeof(Channel) == 1 || sizeof(Channel) == 2, "8- and 16-bit channels");
  using integer_rows::SumRowSse2;
  if (width <= 0) return;
  const auto* bytes = static_cast<const unsigned char*>(pixels);
  auto* copy = static_cast<unsigned char*>(copy_to == pixels ? nullptr : copy_to);
  const RowCopy how = !copy ? RowCopy::kNone : streamed && StreamsTo(copy) ? RowCopy::kStreamed : RowCopy::kCached;
#if defined(HUEWRIGHT_INTEGER_ROWS_AVX2)
  if (CpuHasAvx2()) {
    using integer_rows::SumRowAvx2;
    if (how == RowCopy::kStreamed)
      return SumRowAvx2<Channel, kAlphaSlot, RowCopy::kStreamed>(bytes, copy, width, starts, bands);
    if (how == RowCopy::kCached)
      return SumRowAvx2<Channel, kAlphaSlot, RowCopy::kCached>(bytes, copy, width, starts, bands);
    return SumRowAvx2<Channel, kAlphaSlot, RowCopy::kNone>(bytes, copy, width, starts, bands);
  }
#endif
  if (how == RowCopy::kStreamed)
    return SumRowSse2<Channel, kAlphaSlot, RowCopy::kStreamed>(bytes, copy, width, starts, bands);
  if (how == RowCopy::kCached)
    return SumRowSse2<Channel, kAlphaSlot, RowCopy::kCached>(bytes, copy, width, starts, bands);
  SumRowSse2<Channel, kAlphaSlot, RowCopy::kNone>(bytes, copy, width, starts, bands);
}

#endif
