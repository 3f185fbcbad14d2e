// One traits type per pixel layout: where its channels sit, how a pixel is
// measured for the analysis pass and how a swatch is painted. The analyser
// and writer skeletons are written once over these; every layout's own
// arithmetic (constants, precision, operation order) lives here.
#ifndef HUEWRIGHT_PALETTE_LAYOUT_TRAITS_H
#define HUEWRIGHT_PALETTE_LAYOUT_TRAITS_H

#include <emmintrin.h>

#include <array>
#include <cmath>
#include <cstdint>

#include "band_accumulator.h"
#include "packed_measure.h"
#include "pixel_refcon.h"
#include "pixels.h"
#include "select_band.h"
#include "wide_measure.h"

template <class P, auto kRedAt, auto kGreenAt, auto kBlueAt, auto kAlphaAt>
struct RgbaPositions {
  using Pixel = P;
  static constexpr auto kRed = kRedAt;
  static constexpr auto kGreen = kGreenAt;
  static constexpr auto kBlue = kBlueAt;
  static constexpr auto kAlpha = kAlphaAt;
};

// The channels of a pixel struct in its own member order.
template <class P>
using ChannelsOf = RgbaPositions<P, &P::red, &P::green, &P::blue, &P::alpha>;

// Truncation toward zero to 32 bits, keeping the low bits the channel holds.
// NaN and values beyond 32 bits store 0, as the hardware conversion leaves
// only zero low bits for them.
template <class Channel>
Channel TruncateToChannel(double value) {
  if (!(value > -2147483649.0 && value < 2147483648.0)) return 0;
  return static_cast<Channel>(static_cast<uint32_t>(static_cast<int32_t>(value)));
}

// A band value as a float channel holds it. A band with no pixels averages
// to NaN; it paints black, as the integer writers paint it.
inline float PaintedFloat(double value) { return value == value ? static_cast<float>(value) : 0.0f; }

// Branch-free "a > b ? a : b": footage near black flips sign from pixel to
// pixel. SSE2's maxsd returns b whenever the test fails, NaN and zeros of
// either sign included, which is exactly the rule written out; compilers
// will not pick it for the plain C++.
inline double GreaterOr(double a, double b) { return _mm_cvtsd_f64(_mm_max_sd(_mm_set_sd(a), _mm_set_sd(b))); }

// Negative channels count as black for the brightness; NaN passes through.
inline double RaiseNegative(double value) { return GreaterOr(0.0, value); }

// 8-bit and 16-bit layouts: raw channel values, brightness from their
// integer sum. Unit::kValue is the approximate reciprocal of full scale that
// the brightness uses; it is deliberately not exact. (A type, not a double
// template argument: clang 14 does not take those.) kSwatchesAt names the
// layout's prepared swatches in SwatchPixels.
template <class Positions, class Channel, class Unit, Channel kOpaque, auto kSwatchesAt>
struct IntegerRgbLayout : Positions {
  using Pixel = typename Positions::Pixel;
  static constexpr bool kCopiesAfterAnalysis = false;
  static constexpr bool kMeasuresSeveralAtOnce = false;
  static constexpr uint32_t kLargestSum = 3u * static_cast<Channel>(~Channel{0});

  static constexpr double Brightness(uint32_t sum) { return (static_cast<double>(sum) * 0.333) * Unit::kValue; }

  // The brightness grows with the sum, so each band starts at one sum: the
  // smallest whose brightness reaches it, found by the same arithmetic.
  static constexpr uint32_t FirstSumOfBand(int32_t band) {
    uint32_t low = 0, high = kLargestSum + 1;
    while (low < high) {
      const uint32_t middle = low + (high - low) / 2;
      if (SelectBand(Brightness(middle)) >= band)
        high = middle;
      else
        low = middle + 1;
    }
    return low;
  }
  static constexpr uint32_t kBandStarts[kBandCount - 1] = {FirstSumOfBand(1), FirstSumOfBand(2), FirstSumOfBand(3),
                                                           FirstSumOfBand(4)};

  static constexpr int32_t CountStartsReached(uint32_t sum) {
    return (sum >= kBandStarts[0]) + (sum >= kBandStarts[1]) + (sum >= kBandStarts[2]) + (sum >= kBandStarts[3]);
  }
  // 8-bit sums are few enough to look up.
  static constexpr bool kLookUpBands = kLargestSum < 1024;
  static constexpr std::array<uint8_t, kLookUpBands ? kLargestSum + 1 : 1> kBandOfSum = [] {
    std::array<uint8_t, kLookUpBands ? kLargestSum + 1 : 1> bands{};
    for (uint32_t sum = 0; sum < bands.size(); ++sum) bands[sum] = static_cast<uint8_t>(CountStartsReached(sum));
    return bands;
  }();

  static int32_t BandOfSum(uint32_t sum) {
    if constexpr (kLookUpBands) return kBandOfSum[sum];
    return CountStartsReached(sum);
  }

  // Adds pixel p in column x of row: whole numbers, exact in any order.
  static void Accumulate(BandAccumulator::Row& row, int32_t x, const Pixel& p) {
    const uint32_t red = p.*Positions::kRed;
    const uint32_t green = p.*Positions::kGreen;
    const uint32_t blue = p.*Positions::kBlue;
    row.Add(x, BandOfSum(red + green + blue), red, green, blue);
  }

  // The swatch pixel of one band's red, green and blue averages.
  static Pixel SwatchOf(const double* colour) {
    Pixel swatch;
    swatch.*Positions::kRed = TruncateToChannel<Channel>(colour[0]);
    swatch.*Positions::kGreen = TruncateToChannel<Channel>(colour[1]);
    swatch.*Positions::kBlue = TruncateToChannel<Channel>(colour[2]);
    swatch.*Positions::kAlpha = kOpaque;
    return swatch;
  }

  static void Paint(const BandPalette& palette, int band, const Pixel&, Pixel& out) {
    if (palette.swatches.ready) [[likely]]
      out = (palette.swatches.*kSwatchesAt)[band];
    else
      out = SwatchOf(palette.rgb[band]);
  }
};

// Memory position (0..3) of a channel of a four-float pixel: the struct
// filled with its positions, read through the member.
template <class Pixel, auto kMember>
constexpr int FloatChannelIndex() {
  static_assert(sizeof(Pixel) == 4 * sizeof(float));
  constexpr Pixel kPositions{0.0f, 1.0f, 2.0f, 3.0f};
  return static_cast<int>(kPositions.*kMember);
}

// Float RGB layouts: negatives are dark for the brightness but add their
// magnitude to the sums.
template <class Positions>
struct FloatRgbLayout : Positions {
  using Pixel = typename Positions::Pixel;
  static constexpr bool kCopiesAfterAnalysis = false;
  static constexpr bool kMeasuresSeveralAtOnce = true;
  static constexpr int kRedIndex = FloatChannelIndex<Pixel, Positions::kRed>();
  static constexpr int kGreenIndex = FloatChannelIndex<Pixel, Positions::kGreen>();
  static constexpr int kBlueIndex = FloatChannelIndex<Pixel, Positions::kBlue>();

  static void Accumulate(BandAccumulator::Row& row, int32_t x, const Pixel& p) {
    AccumulateRgbPacked<kRedIndex, kGreenIndex, kBlueIndex>(row, x, &p);
  }

  // Pixels x and x + 1, each exactly as Accumulate adds it.
  [[gnu::always_inline]] static void AccumulatePair(BandAccumulator::Row& row, int32_t x, const Pixel& p,
                                                    const Pixel& q) {
    AccumulateRgbPair<kRedIndex, kGreenIndex, kBlueIndex>(row, x, &p, &q);
  }
#if defined(HUEWRIGHT_WIDE_MEASURE)
  // Pixels x .. x + 3 of row pixels, each exactly as Accumulate adds it.
  [[gnu::target("avx"), gnu::always_inline]] static void AccumulateQuad(BandAccumulator::Row& row, int32_t x,
                                                                        const Pixel* pixels) {
    AccumulateRgbQuad<kRedIndex, kGreenIndex, kBlueIndex>(row, x, pixels + x);
  }
  // What the four pixels at pixels add, each lane as Accumulate computes it.
  [[gnu::target("avx"), gnu::always_inline]] static QuadValues ValuesOfQuad(const Pixel* pixels) {
    return RgbQuadValues<kRedIndex, kGreenIndex, kBlueIndex>(pixels);
  }
#endif

  static void Paint(const BandPalette& palette, int band, const Pixel&, Pixel& out) {
    const double* colour = palette.rgb[band];
    out.*Positions::kRed = PaintedFloat(colour[0]);
    out.*Positions::kGreen = PaintedFloat(colour[1]);
    out.*Positions::kBlue = PaintedFloat(colour[2]);
    out.*Positions::kAlpha = 1.0f;
  }
};

// Float VUYA: V, U, Y, alpha in a 16-byte pixel.
struct VuyaFloatLayout {
  using Pixel = VuyaFloatPixel;
  static constexpr auto kAlpha = &VuyaFloatPixel::alpha;
  static constexpr bool kCopiesAfterAnalysis = true;
  static constexpr bool kMeasuresSeveralAtOnce = true;
  static_assert(FloatChannelIndex<Pixel, &Pixel::v>() == 0 && FloatChannelIndex<Pixel, &Pixel::u>() == 1 &&
                FloatChannelIndex<Pixel, &Pixel::y>() == 2);

  // Limits to 0..1 in that order, so NaN survives both tests: the rule the
  // packed forms follow with maxpd and minpd.
  static float LimitToUnit(double value) {
    if (value < 0.0) value = 0.0;
    if (value > 1.0) value = 1.0;
    return static_cast<float>(value);
  }

  // The sums get the colour as it was limited, converted back to luma and
  // colour differences.
  static void Accumulate(BandAccumulator::Row& row, int32_t x, const Pixel& p) { AccumulateVuyaPacked(row, x, &p); }

  // Pixels x and x + 1, each exactly as Accumulate adds it.
  [[gnu::always_inline]] static void AccumulatePair(BandAccumulator::Row& row, int32_t x, const Pixel& p,
                                                    const Pixel& q) {
    AccumulateVuyaPair(row, x, &p, &q);
  }
#if defined(HUEWRIGHT_WIDE_MEASURE)
  // Pixels x .. x + 3 of row pixels, each exactly as Accumulate adds it.
  [[gnu::target("avx"), gnu::always_inline]] static void AccumulateQuad(BandAccumulator::Row& row, int32_t x,
                                                                        const Pixel* pixels) {
    AccumulateVuyaQuad(row, x, pixels + x);
  }
  // What the four pixels at pixels add, each lane as Accumulate computes it.
  [[gnu::target("avx"), gnu::always_inline]] static QuadValues ValuesOfQuad(const Pixel* pixels) {
    return VuyaQuadValues(pixels);
  }
#endif

  // The palette keeps luma, red difference, blue difference; the swatch keeps
  // the input's alpha, read before anything is written (in may be out).
  static void Paint(const BandPalette& palette, int band, const Pixel& in, Pixel& out) {
    const float alpha = in.alpha;
    const double* colour = palette.yuv[band];
    out.v = PaintedFloat(colour[1]);
    out.u = PaintedFloat(colour[2]);
    out.y = PaintedFloat(colour[0]);
    out.alpha = alpha;
  }
};

struct EightBitUnit {
  static constexpr double kValue = 0.003921568627451;
};
struct SixteenBitUnit {
  static constexpr double kValue = 3.05e-5;
};
// The open hosts' 16-bit channels span 0..65535: the same band fractions of
// that full scale, through the double nearest 1 / 65535.
struct SixteenBitFullUnit {
  static constexpr double kValue = 1.0 / 65535.0;
};

using Argb8Layout = IntegerRgbLayout<ChannelsOf<Argb8Pixel>, uint8_t, EightBitUnit, uint8_t{255}, &SwatchPixels::argb8>;
using Bgra8Layout = IntegerRgbLayout<ChannelsOf<Bgra8Pixel>, uint8_t, EightBitUnit, uint8_t{255}, &SwatchPixels::bgra8>;
using Rgba8Layout = IntegerRgbLayout<ChannelsOf<Rgba8Pixel>, uint8_t, EightBitUnit, uint8_t{255}, &SwatchPixels::rgba8>;
// Full scale is 32768, so opaque is 32768 and not 65535.
using Argb16Layout =
    IntegerRgbLayout<ChannelsOf<Argb16Pixel>, uint16_t, SixteenBitUnit, uint16_t{32768}, &SwatchPixels::argb16>;
using ArgbFloatLayout = FloatRgbLayout<ChannelsOf<ArgbFloatPixel>>;
using BgraFloatLayout = FloatRgbLayout<ChannelsOf<BgraFloatPixel>>;
using RgbaFloatLayout = FloatRgbLayout<ChannelsOf<RgbaFloatPixel>>;
using Rgba16Layout =
    IntegerRgbLayout<ChannelsOf<Rgba16Pixel>, uint16_t, SixteenBitFullUnit, uint16_t{65535}, &SwatchPixels::rgba16>;

#endif
