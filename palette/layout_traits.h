// One traits type per pixel layout: where its channels sit, how a pixel is
// measured for the analysis pass and how a swatch is painted. The analyser
// and writer skeletons are written once over these; every layout's own
// arithmetic (constants, precision, operation order) lives here.
#ifndef HUEWRIGHT_PALETTE_LAYOUT_TRAITS_H
#define HUEWRIGHT_PALETTE_LAYOUT_TRAITS_H

#include <array>
#include <cmath>
#include <cstdint>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "analysers.h"
#include "band_accumulator.h"
#include "packed_measure.h"
#include "wide_measure.h"
#include "pf_pixels.h"
#include "pixel_refcon.h"

// Channels by member of the host's pixel struct. The Premiere layouts reuse
// the ARGB structs of the same size and name channels by memory position.
template <class P, auto kRedAt, auto kGreenAt, auto kBlueAt, auto kAlphaAt>
struct RgbaPositions {
  using Pixel = P;
  static constexpr auto kRed = kRedAt;
  static constexpr auto kGreen = kGreenAt;
  static constexpr auto kBlue = kBlueAt;
  static constexpr auto kAlpha = kAlphaAt;
};

// Truncation toward zero to 32 bits, keeping the low bits the channel holds.
// NaN and values beyond 32 bits store 0, as the hardware conversion leaves
// only zero low bits for them.
template <class Channel>
Channel TruncateToChannel(double value) {
  if (!(value > -2147483649.0 && value < 2147483648.0)) return 0;
  return static_cast<Channel>(static_cast<uint32_t>(static_cast<int32_t>(value)));
}

// Branch-free "a > b ? a : b": footage near black flips sign from pixel to
// pixel. SSE2's maxsd returns b whenever the test fails, NaN and zeros of
// either sign included, which is exactly the rule written out; compilers
// will not pick it for the plain C++.
inline double GreaterOr(double a, double b) {
#if defined(__SSE2__)
  return _mm_cvtsd_f64(_mm_max_sd(_mm_set_sd(a), _mm_set_sd(b)));
#else
  return a > b ? a : b;
#endif
}

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
  static constexpr uint32_t kLargestSum = 3u * static_cast<Channel>(~Channel{0});

  static constexpr double Brightness(uint32_t sum) { return (static_cast<double>(sum) * 0.333) * Unit::kValue; }

  // The brightness grows with the sum, so each band starts at one sum: the
  // smallest whose brightness reaches it, found by the same arithmetic.
  static constexpr uint32_t FirstSumOfBand(int32_t band) {
    uint32_t low = 0, high = kLargestSum + 1;
    while (low < high) {
      const uint32_t middle = low + (high - low) / 2;
      if (SelectBand(Brightness(middle)) >= band) high = middle;
      else low = middle + 1;
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

// Float RGB layouts: negatives are dark for the brightness but add their
// magnitude to the sums.
template <class Positions>
struct FloatRgbLayout : Positions {
  using Pixel = typename Positions::Pixel;
  static constexpr bool kCopiesAfterAnalysis = false;

  static void Accumulate(BandAccumulator::Row& row, int32_t x, const Pixel& p) {
#if defined(__SSE2__)
    AccumulateRgbPacked<FloatChannelIndex<Positions::kRed>(), FloatChannelIndex<Positions::kGreen>(),
                        FloatChannelIndex<Positions::kBlue>()>(row, x, p);
#else
    const double red = p.*Positions::kRed;
    const double green = p.*Positions::kGreen;
    const double blue = p.*Positions::kBlue;
    const double brightness = ((RaiseNegative(green) + RaiseNegative(red)) + RaiseNegative(blue)) * 0.333;
    row.Add(x, SelectBand(brightness), std::fabs(red), std::fabs(green), std::fabs(blue));
#endif
  }

#if defined(__SSE2__)
  // Pixels x and x + 1, each exactly as Accumulate adds it.
  [[gnu::always_inline]] static void AccumulatePair(BandAccumulator::Row& row, int32_t x, const Pixel& p,
                                                    const Pixel& q) {
    AccumulateRgbPair<FloatChannelIndex<Positions::kRed>(), FloatChannelIndex<Positions::kGreen>(),
                      FloatChannelIndex<Positions::kBlue>()>(row, x, p, q);
  }
#endif
#if defined(HUEWRIGHT_WIDE_MEASURE)
  // Pixels x .. x + 3 of row pixels, each exactly as Accumulate adds it.
  [[gnu::target("avx"), gnu::always_inline]] static void AccumulateQuad(BandAccumulator::Row& row, int32_t x,
                                                                        const Pixel* pixels) {
    AccumulateRgbQuad<FloatChannelIndex<Positions::kRed>(), FloatChannelIndex<Positions::kGreen>(),
                      FloatChannelIndex<Positions::kBlue>()>(row, x, pixels + x);
  }
  // What the four pixels at pixels add, each lane as Accumulate computes it.
  [[gnu::target("avx"), gnu::always_inline]] static QuadValues ValuesOfQuad(const Pixel* pixels) {
    return RgbQuadValues<FloatChannelIndex<Positions::kRed>(), FloatChannelIndex<Positions::kGreen>(),
                         FloatChannelIndex<Positions::kBlue>()>(pixels);
  }
#endif

  static void Paint(const BandPalette& palette, int band, const Pixel&, Pixel& out) {
    const double* colour = palette.rgb[band];
    out.*Positions::kRed = static_cast<float>(colour[0]);
    out.*Positions::kGreen = static_cast<float>(colour[1]);
    out.*Positions::kBlue = static_cast<float>(colour[2]);
    out.*Positions::kAlpha = 1.0f;
  }
};

// Float VUYA: V, U, Y, alpha by memory position in a 16-byte pixel.
struct VuyaFloatLayout {
  using Pixel = PF_PixelFloat;
  static constexpr auto kV = &PF_PixelFloat::alpha;
  static constexpr auto kU = &PF_PixelFloat::red;
  static constexpr auto kY = &PF_PixelFloat::green;
  static constexpr auto kAlpha = &PF_PixelFloat::blue;
  static constexpr bool kCopiesAfterAnalysis = true;

  // Limits to 0..1 in that order, so NaN survives both tests.
  static float LimitToUnit(double value) {
    if (value < 0.0) value = 0.0;
    if (value > 1.0) value = 1.0;
    return static_cast<float>(value);
  }

  static void Accumulate(BandAccumulator::Row& row, int32_t x, const Pixel& p) {
#if defined(__SSE2__)
    static_assert(FloatChannelIndex<kV>() == 0 && FloatChannelIndex<kU>() == 1 && FloatChannelIndex<kY>() == 2);
    AccumulateVuyaPacked(row, x, p);
#else
    const double v = p.*kV;
    const double u = p.*kU;
    const double y = p.*kY;
    const float red = LimitToUnit(v * 1.403 + y);
    const float green = LimitToUnit((y - u * 0.344) - v * 0.714);
    const float blue = LimitToUnit(u * 1.77 + y);
    // The limited channels are never below 0.0, so raising negatives to 0.0
    // as the RGB layouts do would change nothing here.
    const double brightness = ((double(green) + double(red)) + double(blue)) * 0.333;
    // The sums get the colour as it was limited, converted back to luma and
    // colour differences.
    const float luma = static_cast<float>((double(red) * 0.299 + double(green) * 0.587) + double(blue) * 0.114);
    const float red_difference = static_cast<float>(double(red - luma) * 0.713);
    const float blue_difference = static_cast<float>(double(blue - luma) * 0.565);
    row.Add(x, SelectBand(brightness), luma, red_difference, blue_difference);
#endif
  }

#if defined(__SSE2__)
  // Pixels x and x + 1, each exactly as Accumulate adds it.
  [[gnu::always_inline]] static void AccumulatePair(BandAccumulator::Row& row, int32_t x, const Pixel& p,
                                                    const Pixel& q) {
    AccumulateVuyaPair(row, x, p, q);
  }
#endif
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
    const float alpha = in.*kAlpha;
    const double* colour = palette.yuv[band];
    out.*kV = static_cast<float>(colour[1]);
    out.*kU = static_cast<float>(colour[2]);
    out.*kY = static_cast<float>(colour[0]);
    out.*kAlpha = alpha;
  }
};

struct EightBitUnit {
  static constexpr double kValue = 0.003921568627451;
};
struct SixteenBitUnit {
  static constexpr double kValue = 3.05e-5;
};

using Argb8Layout = IntegerRgbLayout<RgbaPositions<PF_Pixel8, &PF_Pixel8::red, &PF_Pixel8::green, &PF_Pixel8::blue,
                                                   &PF_Pixel8::alpha>,
                                     uint8_t, EightBitUnit, uint8_t{255}, &SwatchPixels::argb8>;
// Bytes in memory order blue, green, red, alpha.
using Bgra8Layout = IntegerRgbLayout<RgbaPositions<PF_Pixel8, &PF_Pixel8::green, &PF_Pixel8::red, &PF_Pixel8::alpha,
                                                   &PF_Pixel8::blue>,
                                     uint8_t, EightBitUnit, uint8_t{255}, &SwatchPixels::bgra8>;
// Bytes in memory order red, green, blue, alpha (frei0r's RGBA8888).
using Rgba8Layout = IntegerRgbLayout<RgbaPositions<PF_Pixel8, &PF_Pixel8::alpha, &PF_Pixel8::red, &PF_Pixel8::green,
                                                   &PF_Pixel8::blue>,
                                     uint8_t, EightBitUnit, uint8_t{255}, &SwatchPixels::rgba8>;
// Full scale is 32768, so opaque is 32768 and not 65535.
using Argb16Layout = IntegerRgbLayout<RgbaPositions<PF_Pixel16, &PF_Pixel16::red, &PF_Pixel16::green,
                                                    &PF_Pixel16::blue, &PF_Pixel16::alpha>,
                                      uint16_t, SixteenBitUnit, uint16_t{32768}, &SwatchPixels::argb16>;
using ArgbFloatLayout = FloatRgbLayout<RgbaPositions<PF_PixelFloat, &PF_PixelFloat::red, &PF_PixelFloat::green,
                                                     &PF_PixelFloat::blue, &PF_PixelFloat::alpha>>;
// Floats in memory order blue, green, red, alpha.
using BgraFloatLayout = FloatRgbLayout<RgbaPositions<PF_PixelFloat, &PF_PixelFloat::green, &PF_PixelFloat::red,
                                                     &PF_PixelFloat::alpha, &PF_PixelFloat::blue>>;

#endif
