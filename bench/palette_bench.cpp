// Cost per pixel of every host layout's analyser and writer, as the layout
// table holds them, over a 3840x2160 frame (a ramp, and one colour everywhere
// in the rows marked uniform), called through a function pointer row by row
// as a host iteration calls them, next
// to a pixel function that only copies the pixel of the same type, timed in
// the same iterations. Prints each function's time as a ratio of that copy
// baseline (the "ratio" counter) with the target it should stay within.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "band_accumulator.h"
#include "layout_table.h"
#include "pixel_refcon.h"
#include "swatch_layout.h"

namespace {

constexpr int32_t kWidth = 3840;
constexpr int32_t kHeight = 2160;
constexpr int64_t kPixels = int64_t{kWidth} * kHeight;

// Frames are stored as the After Effects pixel of each size; a layout of that
// size reads the same bytes in its own channel order.
template <class Pixel>
int32_t CopyPixel(void*, int32_t, int32_t, const void* in, void* out) {
  *static_cast<Pixel*>(out) = *static_cast<const Pixel*>(in);
  return 0;
}

// A smooth diagonal ramp with a little per-pixel noise, like footage: the
// bands change slowly along a row.
double RampAt(int32_t x, int32_t y) {
  const uint32_t hash = (static_cast<uint32_t>(x) * 2654435761u) ^ (static_cast<uint32_t>(y) * 40503u);
  return (x + y) / double(kWidth + kHeight) + ((hash >> 24) - 128) / 8192.0;
}

Argb8Pixel MakePixel8(double v, double tint) {
  auto byte = [](double c) { return static_cast<uint8_t>(c < 0 ? 0 : c > 1 ? 255 : c * 255); };
  return {255, byte(v), byte(v * tint), byte(1.0 - v * 0.5)};
}
Argb16Pixel MakePixel16(double v, double tint) {
  auto word = [](double c) { return static_cast<uint16_t>(c < 0 ? 0 : c > 1 ? 32768 : c * 32768); };
  return {32768, word(v), word(v * tint), word(1.0 - v * 0.5)};
}
ArgbFloatPixel MakePixelFloat(double v, double tint) { return {1.0f, float(v), float(v * tint), float(1.0 - v * 0.5)}; }

// A ramp, or one colour everywhere: sky, shadows and black frames put long
// runs of pixels into one band.
enum class Content { kRamp, kUniform };

template <class Pixel, class Make>
std::vector<Pixel> MakeFrame(Make make, Content content) {
  std::vector<Pixel> frame(kPixels);
  for (int32_t y = 0; y < kHeight; ++y)
    for (int32_t x = 0; x < kWidth; ++x)
      frame[int64_t{y} * kWidth + x] =
          content == Content::kUniform ? make(0.45, 0.9) : make(RampAt(x, y), 0.8 + 0.2 * (y % 7) / 7.0);
  return frame;
}

template <class Pixel>
struct Frames;
template <>
struct Frames<Argb8Pixel> {
  static std::vector<Argb8Pixel>& In(Content content) {
    static auto ramp = MakeFrame<Argb8Pixel>(MakePixel8, Content::kRamp);
    static auto uniform = MakeFrame<Argb8Pixel>(MakePixel8, Content::kUniform);
    return content == Content::kUniform ? uniform : ramp;
  }
};
template <>
struct Frames<Argb16Pixel> {
  static std::vector<Argb16Pixel>& In(Content content) {
    static auto ramp = MakeFrame<Argb16Pixel>(MakePixel16, Content::kRamp);
    static auto uniform = MakeFrame<Argb16Pixel>(MakePixel16, Content::kUniform);
    return content == Content::kUniform ? uniform : ramp;
  }
};
template <>
struct Frames<ArgbFloatPixel> {
  static std::vector<ArgbFloatPixel>& In(Content content) {
    static auto ramp = MakeFrame<ArgbFloatPixel>(MakePixelFloat, Content::kRamp);
    static auto uniform = MakeFrame<ArgbFloatPixel>(MakePixelFloat, Content::kUniform);
    return content == Content::kUniform ? uniform : ramp;
  }
};

template <class Pixel>
std::vector<Pixel>& OutFrame() {
  static std::vector<Pixel> frame(kPixels);
  return frame;
}

// The host's iteration: every row, every column, one call per pixel.
template <class Pixel>
void IterateFrame(PixelFunction function, PixelRefcon* refcon, Pixel* in, Pixel* out) {
  // Read once through volatile: the call stays indirect, as a host's is.
  const volatile PixelFunction opaque = function;
  const PixelFunction fn = opaque;
  for (int32_t y = 0; y < kHeight; ++y) {
    Pixel* in_row = in + int64_t{y} * kWidth;
    Pixel* out_row = out + int64_t{y} * kWidth;
    for (int32_t x = 0; x < kWidth; ++x) fn(refcon, x, y, in_row + x, out_row + x);
  }
  benchmark::ClobberMemory();
}

BandPalette BenchPalette() {
  BandPalette palette;
  for (int band = 0; band < kBandCount; ++band)
    for (int ch = 0; ch < kChannelCount; ++ch) palette.rgb[band][ch] = palette.yuv[band][ch] = 0.2 * band + 0.01 * ch;
  PrepareSwatchPixels(palette);  // as CopyPalette does for a render
  return palette;
}

enum class Pass { kAnalyse, kDraw };

// Times one pass over the frame, as a render would run it.
template <class Pixel>
double TimePass(PixelFunction fn, Pass pass, const BandPalette& palette, Content content) {
  const auto start = std::chrono::steady_clock::now();
  // Each render builds its own accumulator; the allocation is part of it.
  BandAccumulator accumulator(pass == Pass::kAnalyse, kHeight);
  PixelRefcon refcon{};
  refcon.frame_width = kWidth;
  refcon.frame_height = kHeight;
  refcon.accumulator = &accumulator;
  refcon.palette = &palette;
  PrepareSwatchBounds(refcon);
  IterateFrame(fn, &refcon, Frames<Pixel>::In(content).data(), OutFrame<Pixel>().data());
  if (pass == Pass::kAnalyse) {
    BandSums sums{};
    int32_t counts[kBandCount]{};
    accumulator.MergeInto(sums, counts);
    benchmark::DoNotOptimize(sums);
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Every iteration times a copy pass and then the pixel function's pass over
// the same frames, so both see the same machine load; the iteration time is
// the pixel function's.
template <class Pixel>
void RunAgainstCopy(benchmark::State& state, PixelFunction fn, Pass pass, Content content) {
  const BandPalette palette = BenchPalette();
  Frames<Pixel>::In(content);
  TimePass<Pixel>(CopyPixel<Pixel>, Pass::kDraw, palette, content);  // first touch of the output
  double copy_seconds = 0.0, own_seconds = 0.0;
  for (auto _ : state) {
    copy_seconds += TimePass<Pixel>(CopyPixel<Pixel>, Pass::kDraw, palette, content);
    const double own = TimePass<Pixel>(fn, pass, palette, content);
    own_seconds += own;
    state.SetIterationTime(own);
  }
  const double passes = static_cast<double>(state.iterations());
  state.counters["ns_per_pixel"] = own_seconds / passes / kPixels * 1e9;
  state.counters["copy_ns_per_pixel"] = copy_seconds / passes / kPixels * 1e9;
  state.counters["ratio"] = own_seconds / copy_seconds;
}

struct Entry {
  const char* name;
  void (*run)(benchmark::State&);
  double target;  // ratio to the copy baseline
};

// The layout's analyser or writer from the table, over frames of its size.
void RunLayout(benchmark::State& state, PixelLayout layout, Pass pass, Content content) {
  const LayoutInfo& info = LayoutOf(layout);
  const PixelFunction fn = pass == Pass::kAnalyse ? info.analyse : info.draw;
  switch (info.pixel_bytes) {
    case sizeof(Argb8Pixel):
      return RunAgainstCopy<Argb8Pixel>(state, fn, pass, content);
    case sizeof(Argb16Pixel):
      return RunAgainstCopy<Argb16Pixel>(state, fn, pass, content);
    default:
      return RunAgainstCopy<ArgbFloatPixel>(state, fn, pass, content);
  }
}

#define AGAINST_COPY(layout, pass, content) \
  [](benchmark::State& s) { RunLayout(s, PixelLayout::layout, pass, Content::content); }

const Entry kEntries[] = {
    {"Analyse/Argb8", AGAINST_COPY(kArgb8, Pass::kAnalyse, kRamp), 1.5},
    {"Analyse/Argb8/uniform", AGAINST_COPY(kArgb8, Pass::kAnalyse, kUniform), 1.5},
    {"Analyse/Bgra8", AGAINST_COPY(kBgra8, Pass::kAnalyse, kRamp), 1.5},
    {"Analyse/Bgra8/uniform", AGAINST_COPY(kBgra8, Pass::kAnalyse, kUniform), 1.5},
    {"Analyse/Argb16", AGAINST_COPY(kArgb16, Pass::kAnalyse, kRamp), 1.5},
    {"Analyse/Argb16/uniform", AGAINST_COPY(kArgb16, Pass::kAnalyse, kUniform), 1.5},
    {"Analyse/ArgbFloat", AGAINST_COPY(kArgbFloat, Pass::kAnalyse, kRamp), 1.5},
    {"Analyse/ArgbFloat/uniform", AGAINST_COPY(kArgbFloat, Pass::kAnalyse, kUniform), 1.5},
    {"Analyse/BgraFloat", AGAINST_COPY(kBgraFloat, Pass::kAnalyse, kRamp), 1.5},
    {"Analyse/BgraFloat/uniform", AGAINST_COPY(kBgraFloat, Pass::kAnalyse, kUniform), 1.5},
    {"Analyse/VuyaFloat", AGAINST_COPY(kVuyaFloat, Pass::kAnalyse, kRamp), 1.5},
    {"Analyse/VuyaFloat/uniform", AGAINST_COPY(kVuyaFloat, Pass::kAnalyse, kUniform), 1.5},
    {"Draw/Argb8", AGAINST_COPY(kArgb8, Pass::kDraw, kRamp), 1.2},
    {"Draw/Argb8/uniform", AGAINST_COPY(kArgb8, Pass::kDraw, kUniform), 1.2},
    {"Draw/Bgra8", AGAINST_COPY(kBgra8, Pass::kDraw, kRamp), 1.2},
    {"Draw/Bgra8/uniform", AGAINST_COPY(kBgra8, Pass::kDraw, kUniform), 1.2},
    {"Draw/Argb16", AGAINST_COPY(kArgb16, Pass::kDraw, kRamp), 1.2},
    {"Draw/Argb16/uniform", AGAINST_COPY(kArgb16, Pass::kDraw, kUniform), 1.2},
    {"Draw/ArgbFloat", AGAINST_COPY(kArgbFloat, Pass::kDraw, kRamp), 1.2},
    {"Draw/ArgbFloat/uniform", AGAINST_COPY(kArgbFloat, Pass::kDraw, kUniform), 1.2},
    {"Draw/BgraFloat", AGAINST_COPY(kBgraFloat, Pass::kDraw, kRamp), 1.2},
    {"Draw/BgraFloat/uniform", AGAINST_COPY(kBgraFloat, Pass::kDraw, kUniform), 1.2},
    {"Draw/VuyaFloat", AGAINST_COPY(kVuyaFloat, Pass::kDraw, kRamp), 1.2},
    {"Draw/VuyaFloat/uniform", AGAINST_COPY(kVuyaFloat, Pass::kDraw, kUniform), 1.2},
};

// Shows the usual table and keeps each benchmark's median counters.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  struct Medians {
    double ns_per_pixel, copy_ns_per_pixel, ratio;
  };
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
      auto counter = [&run](const char* name) {
        const auto found = run.counters.find(name);
        return found == run.counters.end() ? 0.0 : found->second.value;
      };
      medians[run.run_name.function_name] = {counter("ns_per_pixel"), counter("copy_ns_per_pixel"), counter("ratio")};
    }
  }
  std::map<std::string, Medians> medians;
};

void PrintRatios(const RatioReporter& reporter) {
  std::printf("\n%-26s %10s %12s %8s %8s\n", "pixel function", "ns/pixel", "copy ns/px", "ratio", "target");
  for (const Entry& entry : kEntries) {
    const auto found = reporter.medians.find(entry.name);
    if (found == reporter.medians.end()) continue;
    const RatioReporter::Medians& m = found->second;
    std::printf("%-26s %10.3f %12.3f %8.2f %7.1fx%s\n", entry.name, m.ns_per_pixel, m.copy_ns_per_pixel, m.ratio,
                entry.target, m.ratio <= entry.target ? "" : "  over target");
  }
}

}  // namespace

int main(int argc, char** argv) {
  for (const Entry& entry : kEntries)
    benchmark::RegisterBenchmark(entry.name, entry.run)
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->MinTime(0.2)
        ->Repetitions(3)
        ->ReportAggregatesOnly(true);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  PrintRatios(reporter);
  return 0;
}
