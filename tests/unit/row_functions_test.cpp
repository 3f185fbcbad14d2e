// Every row form against its pixel function, for every layout: rows that
// cross each band start, widths 1 to 17 and rows long enough to fill and
// empty the kernels' narrow lanes and to switch the float walk to its cells
// in memory, starts off the vector boundaries, in place and apart, cached
// and streamed copies, copies that would stall a front-to-back pass. Also
// every vector form of the integer kernel the processor can run, and the
// two-pass frame walk against a pixel-by-pixel pass.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "band_accumulator.h"
#include "frame_passes.h"
#include "integer_rows.h"
#include "layout_table.h"
#include "layout_traits.h"
#include "pixel_refcon.h"
#include "swatch_layout.h"

namespace {

// The layouts palette/ measures, from the layout table.
std::vector<const LayoutInfo*> MeasuredLayouts() {
  std::vector<const LayoutInfo*> layouts;
  for (const LayoutInfo& info : AllLayouts())
    if (info.measured()) layouts.push_back(&info);
  return layouts;
}

const LayoutInfo& Rgba8() { return LayoutOf(PixelLayout::kRgba8); }

// Sums and counts of one pass, compared bit for bit.
struct Bands {
  BandSums sums{};
  int32_t counts[kBandCount]{};
  bool operator==(const Bands& other) const {
    return std::memcmp(sums, other.sums, sizeof sums) == 0 && std::memcmp(counts, other.counts, sizeof counts) == 0;
  }
};

// Channel values that put pixels on either side of every band start: for
// integer layouts colour sums start - 1, start and start + 1 (made up of
// unequal channels, above 32768 too for 16 bits), for float ones values
// around the thresholds, signed zeros, NaN and infinities; mixed with
// neighbours alike (runs) and unlike (noise).
class PixelMaker {
 public:
  explicit PixelMaker(uint32_t seed) : random_(seed) {}

  void Fill(const LayoutInfo& layout, unsigned char* pixel) {
    if (layout.bits == 32) {
      static const float kEdges[] = {0.0f,
                                     -0.0f,
                                     0.2f,
                                     0.6006006f,
                                     0.6006007f,
                                     0.6f,
                                     0.4f,
                                     1.0f,
                                     -1.0f,
                                     1.2f,
                                     std::numeric_limits<float>::quiet_NaN(),
                                     std::numeric_limits<float>::infinity(),
                                     -std::numeric_limits<float>::infinity(),
                                     1e-40f,
                                     0.333f};
      float channels[4];
      for (float& c : channels)
        c = Next(4) == 0 ? kEdges[Next(std::size(kEdges))] : static_cast<float>(Next(2001)) / 1000.0f - 0.5f;
      std::memcpy(pixel, channels, sizeof channels);
      return;
    }
    const bool sixteen = layout.pixel_bytes == 8;
    const uint32_t full = sixteen ? 65535u : 255u;
    static constexpr uint32_t kStarts8[] = {154, 307, 460, 613}, kStarts16[] = {19692, 39384, 59076, 78768};
    const uint32_t start = sixteen ? kStarts16[Next(4)] : kStarts8[Next(4)];
    // A sum next to a start, split over three channels that each fit.
    uint32_t sum = start - 1 + Next(3), channels[3];
    channels[0] = std::min<uint32_t>(full, Next(sum + 1));
    channels[1] = std::min<uint32_t>(full, sum - channels[0]);
    channels[2] = std::min<uint32_t>(full, sum - channels[0] - channels[1]);
    const uint32_t alpha = Next(full + 1);
    for (int slot = 0, colour = 0; slot < 4; ++slot) {
      const uint32_t value = slot == AlphaSlot(layout) ? alpha : channels[colour++];
      if (sixteen) {
        const uint16_t word = static_cast<uint16_t>(value);
        std::memcpy(pixel + 2 * slot, &word, 2);
      } else {
        pixel[slot] = static_cast<unsigned char>(value);
      }
    }
  }

  // A row: stretches of one repeated pixel and stretches of noise.
  std::vector<unsigned char> Row(const LayoutInfo& layout, int32_t width) {
    std::vector<unsigned char> row(static_cast<std::size_t>(width) * layout.pixel_bytes);
    for (int32_t x = 0; x < width; ++x) {
      unsigned char* pixel = row.data() + static_cast<std::size_t>(x) * layout.pixel_bytes;
      if (x > 0 && Next(3) != 0)
        std::memcpy(pixel, pixel - layout.pixel_bytes, layout.pixel_bytes);
      else
        Fill(layout, pixel);
    }
    return row;
  }

 private:
  static int AlphaSlot(const LayoutInfo& layout) { return std::string(layout.name).find("argb") == 0 ? 0 : 3; }
  uint32_t Next(std::size_t bound) { return static_cast<uint32_t>(random_() % bound); }
  std::mt19937 random_;
};

// Memory at any byte offset from a 4096-byte boundary.
class Placed {
 public:
  Placed(std::size_t bytes, std::size_t offset)
      : block_(static_cast<unsigned char*>(std::aligned_alloc(4096, (bytes + offset + 4095) / 4096 * 4096))),
        data_(block_ + offset) {}
  ~Placed() { std::free(block_); }
  Placed(const Placed&) = delete;
  Placed& operator=(const Placed&) = delete;
  unsigned char* data() const { return data_; }

 private:
  unsigned char* block_;
  unsigned char* data_;
};

Bands PassByPixel(const LayoutInfo& layout, unsigned char* row, int32_t width) {
  BandAccumulator accumulator(true, 1);
  PixelRefcon refcon{};
  refcon.accumulator = &accumulator;
  std::vector<unsigned char> out(layout.pixel_bytes);
  for (int32_t x = 0; x < width; ++x) layout.analyse(&refcon, x, 0, row + x * layout.pixel_bytes, out.data());
  Bands bands;
  accumulator.MergeInto(bands.sums, bands.counts);
  return bands;
}

Bands PassByRow(RowFunction row_function, unsigned char* in, unsigned char* out, int32_t width, bool streamed) {
  BandAccumulator accumulator(true, 1);
  PixelRefcon refcon{};
  refcon.accumulator = &accumulator;
  refcon.streams_copies = streamed;
  row_function(&refcon, 0, in, out, width);
  StoreFence();
  Bands bands;
  accumulator.MergeInto(bands.sums, bands.counts);
  return bands;
}

std::vector<int32_t> Widths() {
  std::vector<int32_t> widths;
  for (int32_t width = 1; width <= 17; ++width) widths.push_back(width);
  // Past a 32-pixel block, past a float row's first switch check, past the
  // 16-bit lanes of 8-bit pixels (2048 pixels for the planar form).
  for (int32_t width : {31, 32, 33, 64, 100, 257, 600, 2047, 2049, 5000}) widths.push_back(width);
  return widths;
}

TEST(RowFunctions, AnalysersAddWhatTheirPixelFunctionsAdd) {
  PixelMaker maker(7);
  for (const LayoutInfo* info : MeasuredLayouts())
    for (int32_t width : Widths()) {
      const LayoutInfo& layout = *info;
      std::vector<unsigned char> row = maker.Row(layout, width);
      const std::size_t bytes = row.size();
      const Bands expected = PassByPixel(layout, row.data(), width);
      // Sources off the vector boundaries; destinations on a cache line,
      // off one, and 128 bytes above the source modulo 4096.
      const std::size_t pixel_bytes = layout.pixel_bytes;
      for (std::size_t in_offset : {std::size_t{0}, pixel_bytes, 3 * pixel_bytes})
        for (std::size_t out_offset : {std::size_t{0}, std::size_t{16}, (in_offset + 128) % 4096})
          for (bool streamed : {false, true}) {
            const Placed in(bytes, in_offset), out(bytes, out_offset);
            std::memcpy(in.data(), row.data(), bytes);
            std::memset(out.data(), 0xa5, bytes);
            const std::string where = std::string(layout.name) + " width " + std::to_string(width) + " in +" +
                                      std::to_string(in_offset) + " out +" + std::to_string(out_offset) +
                                      (streamed ? " streamed" : "");
            EXPECT_TRUE(PassByRow(layout.analyse_and_copy_row, in.data(), out.data(), width, streamed) == expected)
                << where;
            EXPECT_EQ(std::memcmp(out.data(), row.data(), bytes), 0) << where << ": the copy";
            EXPECT_EQ(std::memcmp(in.data(), row.data(), bytes), 0) << where << ": the input";
          }
      // In place, and without the copy (only VUYA's analyser writes out).
      EXPECT_TRUE(PassByRow(layout.analyse_row, row.data(), row.data(), width, false) == expected) << layout.name;
      std::vector<unsigned char> out(row.size(), 0xa5);
      EXPECT_TRUE(PassByRow(layout.analyse_row, row.data(), out.data(), width, false) == expected) << layout.name;
      if (layout.layout == PixelLayout::kVuyaFloat)
        EXPECT_EQ(out, row) << layout.name;
      else
        EXPECT_EQ(out, std::vector<unsigned char>(row.size(), 0xa5)) << layout.name;
    }
}

// Each vector form of the integer kernel, where the processor runs it, adds
// what the pixel functions add; the dispatching SumIntegerRow is covered
// above.
TEST(RowFunctions, EveryIntegerKernelFormAddsTheSame) {
  struct Form {
    const char* name;
    void (*sum)(const unsigned char*, unsigned char*, int32_t, const uint32_t*, IntegerBandSums&);
    bool runs;
  };
  const Form forms[] = {
    {"sse2", integer_rows::SumRowSse2<uint8_t, 3, RowCopy::kCached>, true},
#if defined(HUEWRIGHT_INTEGER_ROWS_AVX2)
    {"avx2", integer_rows::SumRowAvx2<uint8_t, 3, RowCopy::kCached>, CpuHasAvx2()},
#endif
  };
  PixelMaker maker(11);
  const LayoutInfo& rgba = Rgba8();
  for (const Form& form : forms) {
    if (!form.runs) continue;
    for (int32_t width : Widths()) {
      std::vector<unsigned char> row = maker.Row(rgba, width), copy(row.size());
      IntegerBandSums sums{};
      form.sum(row.data(), copy.data(), width, Rgba8Layout::kBandStarts, sums);
      const Bands expected = PassByPixel(rgba, row.data(), width);
      for (int band = 0; band < kBandCount; ++band) {
        EXPECT_EQ(sums.slots[band][3], static_cast<uint64_t>(expected.counts[band])) << form.name << " " << width;
        for (int channel = 0; channel < kChannelCount; ++channel)
          EXPECT_EQ(static_cast<double>(sums.slots[band][channel]), expected.sums[band][channel])
              << form.name << " " << width << " band " << band;
      }
      EXPECT_EQ(copy, row) << form.name << " " << width;
    }
  }
}

BandPalette TestPalette() {
  BandPalette palette;
  const double values[] = {12.5, 254.9, 0.25, 31000.0, 0.7, -3.0, 1.5, 77.0, std::nan(""), 0.0};
  for (int band = 0; band < kBandCount; ++band)
    for (int channel = 0; channel < kChannelCount; ++channel) {
      palette.rgb[band][channel] = values[(band * 3 + channel) % std::size(values)];
      palette.yuv[band][channel] = values[(band * 3 + channel + 4) % std::size(values)];
    }
  PrepareSwatchPixels(palette);
  return palette;
}

// Frames whose strip holds rows (height 10: rows 8 and 9) and whose widths
// put cell edges on and off the vector boundaries.
TEST(RowFunctions, WritersLeaveWhatTheirPixelFunctionsLeave) {
  PixelMaker maker(3);
  const BandPalette palette = TestPalette();
  constexpr int32_t kHeight = 10;
  for (const LayoutInfo* info : MeasuredLayouts())
    for (int32_t width : Widths()) {
      if (width > 600) continue;
      const LayoutInfo& layout = *info;
      std::vector<unsigned char> frame;
      for (int32_t y = 0; y < kHeight; ++y) {
        const std::vector<unsigned char> row = maker.Row(layout, width);
        frame.insert(frame.end(), row.begin(), row.end());
      }
      PixelRefcon refcon{};
      refcon.frame_width = width;
      refcon.frame_height = kHeight;
      refcon.palette = &palette;
      PrepareSwatchBounds(refcon);
      const std::size_t row_bytes = static_cast<std::size_t>(width) * layout.pixel_bytes;
      std::vector<unsigned char> by_pixel(frame.size(), 0x5a), by_row(frame.size(), 0x5a), in_place = frame;
      for (int32_t y = 0; y < kHeight; ++y) {
        for (int32_t x = 0; x < width; ++x) {
          const std::size_t at = y * row_bytes + x * layout.pixel_bytes;
          layout.draw(&refcon, x, y, frame.data() + at, by_pixel.data() + at);
        }
        layout.draw_row(&refcon, y, frame.data() + y * row_bytes, by_row.data() + y * row_bytes, width);
        layout.draw_row(&refcon, y, in_place.data() + y * row_bytes, in_place.data() + y * row_bytes, width);
      }
      EXPECT_EQ(by_row, by_pixel) << layout.name << " width " << width;
      EXPECT_EQ(in_place, by_pixel) << layout.name << " width " << width << " in place";
    }
}

// The frame walk (rows outside the strip copied as they are measured, then
// the strip drawn) leaves the frame and the sums of a pixel-by-pixel pass.
TEST(FramePasses, MeasuringThenDrawingTheStripMatchesEveryPixelPass) {
  PixelMaker maker(5);
  const BandPalette palette = TestPalette();
  constexpr int32_t kWidth = 45, kHeight = 20;
  for (const LayoutInfo* info : MeasuredLayouts()) {
    const LayoutInfo& layout = *info;
    std::vector<unsigned char> in;
    for (int32_t y = 0; y < kHeight; ++y) {
      const std::vector<unsigned char> row = maker.Row(layout, kWidth);
      in.insert(in.end(), row.begin(), row.end());
    }
    const std::ptrdiff_t rowbytes = static_cast<std::ptrdiff_t>(kWidth * layout.pixel_bytes);
    PixelRefcon refcon{};
    refcon.frame_width = kWidth;
    refcon.frame_height = kHeight;
    PrepareSwatchBounds(refcon);

    std::vector<unsigned char> expected(in.size());
    BandAccumulator by_pixel(true, kHeight);
    refcon.accumulator = &by_pixel;
    for (int32_t y = 0; y < kHeight; ++y)
      for (int32_t x = 0; x < kWidth; ++x)
        layout.analyse(&refcon, x, y, in.data() + y * rowbytes + x * layout.pixel_bytes, expected.data());
    refcon.palette = &palette;
    for (int32_t y = 0; y < kHeight; ++y)
      for (int32_t x = 0; x < kWidth; ++x) {
        const std::ptrdiff_t at = y * rowbytes + x * layout.pixel_bytes;
        layout.draw(&refcon, x, y, in.data() + at, expected.data() + at);
      }

    std::vector<unsigned char> out(in.size(), 0x5a);
    BandAccumulator by_rows(true, kHeight);
    refcon.accumulator = &by_rows;
    refcon.palette = nullptr;
    const FrameRows<const void> input{in.data(), kWidth, rowbytes};
    const FrameRows<void> output{out.data(), kWidth, rowbytes};
    MeasureFrameRows(input, output, kHeight, refcon, layout.analyse_row, layout.analyse_and_copy_row,
                     RowsCopied::kOutsideStrip);
    refcon.palette = &palette;
    DrawFrameRows(input, output, kHeight, refcon, layout.draw_row, true);

    Bands pixel_bands, row_bands;
    by_pixel.MergeInto(pixel_bands.sums, pixel_bands.counts);
    by_rows.MergeInto(row_bands.sums, row_bands.counts);
    EXPECT_TRUE(row_bands == pixel_bands) << layout.name;
    EXPECT_EQ(out, expected) << layout.name;
  }
}

}  // namespace
