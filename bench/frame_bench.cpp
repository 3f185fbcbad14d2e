// Whole frames through minihost, as a host renders them: every layout of
// both hosts at 1920x1080 and 3840x2160, on 1 and 2 iteration threads, on a
// photograph and on a frame of one colour. Each render is timed next to a
// memcpy of the frame's bytes in the same iteration, so both see the same
// machine load; the table shows the median render time and its ratio to the
// memcpy. Then two hosts rendering at once against one (throughput ratio).
//
// A plain timing program, so that the same measurement builds for Windows
// and runs under wine beside the native one (no Google Benchmark for mingw).
//
// Usage: frame_bench EFFECT_LIBRARY [RESULTS_FILE] [--quick] [--case TEXT] [--cpu-time]
// RESULTS_FILE receives one "name ratio" line per case for compare_frames.py;
// --case runs only the cases whose row ("AE 8-bit|4K|photo|1", "AE 8-bit|4K|two
// hosts|1") contains TEXT, for profiling one case.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>
// --cpu-time times renders, host passes and memcpys in the process's CPU
// time instead of the wall clock: on a machine shared with other work the
// wall clock counts their turns too (the two-host throughput stays wall
// time; the CPU clock of Windows is too coarse for it to help there).

#include "bench_options.h"
#include "minihost.h"
#include "photo_frame.h"

namespace {

using minihost::Application;
using minihost::Host;
using minihost::HostOptions;
using minihost::PixelLayout;
using minihost::World;
using Clock = std::chrono::steady_clock;

struct LayoutCase {
  const char* name;
  Application application;
  PixelLayout layout;
  double goal;         // render / memcpy at 4K on one iteration thread
  bool host_iterates;  // the host's iteration suite runs both passes (else the effect walks the rows)
};

const LayoutCase kLayouts[] = {
    {"AE 8-bit", Application::kAfterEffects, PixelLayout::kArgb8, 8.0, true},
    {"AE 16-bit", Application::kAfterEffects, PixelLayout::kArgb16, 8.0, true},
    {"AE 32-bit", Application::kAfterEffects, PixelLayout::kArgbFloat, 8.0, true},
    {"PPro BGRA 8u", Application::kPremiere, PixelLayout::kBgra8, 5.0, true},
    {"PPro BGRA 32f", Application::kPremiere, PixelLayout::kBgraFloat, 3.0, false},
    {"PPro VUYA 32f", Application::kPremiere, PixelLayout::kVuyaFloat, 3.0, false},
};

struct Size {
  int32_t width, height;
  const char* name;
};
const Size kSizes[] = {{1920, 1080, "1080p"}, {3840, 2160, "4K"}};

// Each row packed into the layout as the tool packs its frames, opaque.
World MakeFrame(PixelLayout layout, const Size& size, bool uniform) {
  World world(layout, size.width, size.height);
  const std::size_t width = static_cast<std::size_t>(size.width);
  std::vector<float> rgba(width * 4, 1.0f);
  for (int32_t y = 0; y < size.height; ++y) {
    for (int32_t x = 0; x < size.width; ++x) {
      const std::array<float, 3> rgb =
          uniform ? std::array<float, 3>{0.35f, 0.5f, 0.7f} : PhotoAt(x, y, size.width, size.height);
      std::copy(rgb.begin(), rgb.end(), rgba.begin() + std::ptrdiff_t{x} * 4);
    }
    minihost::PackRow(layout, rgba.data(), world.PixelAddress(0, y), width);
  }
  world.SetExtentHint({0, 0, size.width, size.height});
  return world;
}

PF_Err RenderOnce(const LayoutCase& layout, Host& host, World& input, World& output) {
  return layout.application == Application::kAfterEffects ? host.SmartRender(input, output)
                                                          : host.Render(input, output);
}

HostOptions OptionsFor(const LayoutCase& layout, int threads) {
  HostOptions options;
  options.application = layout.application;
  options.iterate_threads = threads;
  return options;
}

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

bool cpu_time = false;  // --cpu-time

// Now in seconds, on the clock --cpu-time chooses.
double Now() {
  if (cpu_time) {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
  }
  return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
}


struct Timing {
  double render_ms, ratio;
  double host_floor;  // two host passes of a copying pixel function / memcpy; 0 where the effect walks
};

// A pixel function that only copies: what the host's iteration costs with
// no effect work at all.
template <class Pixel>
PF_Err CopyPixel(void*, A_long, A_long, Pixel* in, Pixel* out) {
  *out = *in;
  return PF_Err_NONE;
}

template <class Suite, class Pixel>
void IterateCopy(Host& host, World& input, World& output, const char* suite_name) {
  const void* suite = nullptr;
  host.InData().pica_basicP->AcquireSuite(suite_name, 1, &suite);
  if (!suite) throw std::runtime_error(std::string("no ") + suite_name);
  static_cast<const Suite*>(suite)->iterate(&host.InData(), 0, output.Height(), input.Record(), nullptr, nullptr,
                                            CopyPixel<Pixel>, output.Record());
  host.InData().pica_basicP->ReleaseSuite(suite_name, 1);
}

// Seconds for the two iteration passes a render makes, through the same
// host (and its iteration threads) over the same worlds.
double TimeHostPasses(Host& host, World& input, World& output) {
  host.UseWorlds(&input, &output);
  const double start = Now();
  host.WithinCall([&] {
    for (int pass = 0; pass < 2; ++pass) {
      switch (minihost::PixelBytes(input.Layout())) {
        case 4:
          IterateCopy<PF_Iterate8Suite1, PF_Pixel8>(host, input, output, kPFIterate8Suite);
          break;
        case 8:
          IterateCopy<PF_iterate16Suite1, PF_Pixel16>(host, input, output, kPFIterate16Suite);
          break;
        default:
          IterateCopy<PF_iterateFloatSuite1, PF_PixelFloat>(host, input, output, kPFIterateFloatSuite);
      }
    }
  });
  const double seconds = Now() - start;
  host.UseWorlds(nullptr, nullptr);
  return seconds;
}

// Median render time and median of the per-iteration render / memcpy ratios.
Timing TimeRenders(const minihost::EffectLibrary& effect, const LayoutCase& layout, const Size& size, bool uniform,
                   int threads, int repeats) {
  World input = MakeFrame(layout.layout, size, uniform);
  World output(layout.layout, size.width, size.height);
  output.SetExtentHint({0, 0, size.width, size.height});
  const std::size_t bytes = static_cast<std::size_t>(input.RowBytes()) * size.height;
  std::vector<uint8_t> copy(bytes);
  Host host(effect, OptionsFor(layout, threads));
  if (RenderOnce(layout, host, input, output) != PF_Err_NONE) throw std::runtime_error("render failed");
  std::vector<double> renders, ratios, floors;
  for (int i = 0; i < repeats; ++i) {
    double start = Now();
    std::memcpy(copy.data(), input.PixelAddress(0, 0), bytes);
    const double copy_seconds = Now() - start;
    start = Now();
    RenderOnce(layout, host, input, output);
    const double render_seconds = Now() - start;
    renders.push_back(render_seconds * 1e3);
    ratios.push_back(render_seconds / copy_seconds);
    if (layout.host_iterates) floors.push_back(TimeHostPasses(host, input, output) / copy_seconds);
  }
  return {Median(renders), Median(ratios), floors.empty() ? 0.0 : Median(floors)};
}

// Throughput of two hosts rendering at once over that of one alone, both
// warmed up first: a playing host has its worlds cached and its frames in
// memory, so first-render allocation is left out of both measurements.
double ConcurrentThroughput(const minihost::EffectLibrary& effect, const LayoutCase& layout, const Size& size,
                            int renders) {
  std::vector<World> inputs, outputs;
  std::vector<std::unique_ptr<Host>> hosts;
  for (int i = 0; i < 2; ++i) {
    inputs.push_back(MakeFrame(layout.layout, size, false));
    outputs.emplace_back(layout.layout, size.width, size.height);
    outputs.back().SetExtentHint({0, 0, size.width, size.height});
    hosts.push_back(std::make_unique<Host>(effect, OptionsFor(layout, 1)));
  }
  auto render_many = [&](int index, int count) {
    for (int i = 0; i < count; ++i) RenderOnce(layout, *hosts[index], inputs[index], outputs[index]);
  };
  render_many(0, 1);
  render_many(1, 1);
  auto start = Clock::now();
  render_many(0, renders);
  const double alone = Seconds(start);
  start = Clock::now();
  std::thread second(render_many, 1, renders);
  render_many(0, renders);
  second.join();
  const double together = Seconds(start);
  return (2.0 * renders / together) / (renders / alone);
}

}  // namespace

int main(int argc, char** argv) {
  const BenchOptions options = ParseBenchOptions(argc, argv);
  const std::vector<std::string>& positional = options.positional;
  const bool quick = options.quick;
  cpu_time = options.cpu_time;
  if (positional.empty() || positional.size() > 2) {
    std::fprintf(stderr, "usage: frame_bench EFFECT_LIBRARY [RESULTS_FILE] [--quick] [--case TEXT] [--cpu-time]\n");
    return 2;
  }
  auto selected = [&](const std::string& row) { return options.Selected(row); };
  std::ofstream results;
  if (positional.size() > 1) results.open(positional[1]);
  try {
    const minihost::EffectLibrary effect = minihost::EffectLibrary::Load(positional[0]);
    std::printf("\nWhole frames through minihost (%s): median render, ratio to a memcpy of the frame\n",
                positional[0].c_str());
    std::printf("(host floor: the host's two iteration passes of a pixel function that only copies, / memcpy)\n");
    std::printf("%-14s %-6s %-8s %7s %10s %8s %10s %8s\n", "layout", "size", "content", "threads", "render ms", "ratio",
                "host floor", "goal");
    for (const LayoutCase& layout : kLayouts)
      for (const Size& size : kSizes)
        for (bool uniform : {false, true})
          for (int threads : {1, 2}) {
            const std::string row = std::string(layout.name) + '|' + size.name + '|' + (uniform ? "uniform" : "photo") +
                                    '|' + std::to_string(threads);
            if (!selected(row)) continue;
            const Timing t = TimeRenders(effect, layout, size, uniform, threads, quick ? 3 : 5);
            const bool goal_row = size.width == 3840 && threads == 1;
            std::printf("%-14s %-6s %-8s %7d %10.1f %8.2f", layout.name, size.name, uniform ? "uniform" : "photo",
                        threads, t.render_ms, t.ratio);
            if (t.host_floor > 0)
              std::printf(" %10.2f", t.host_floor);
            else
              std::printf(" %10s", "-");
            if (goal_row) std::printf(" %7.1fx%s", layout.goal, t.ratio <= layout.goal ? "" : "  over goal");
            std::printf("\n");
            std::fflush(stdout);  // rows show as they finish, also through a pipe
            results << row << '|' << t.ratio << '\n';
          }
    std::printf("\nTwo hosts rendering 4K photographs at once, throughput over one host (goal >= 1.8)\n");
    for (const LayoutCase& layout : kLayouts) {
      const std::string row = std::string(layout.name) + "|4K|two hosts|1";
      if (!selected(row)) continue;
      const double gain = ConcurrentThroughput(effect, layout, kSizes[1], quick ? 2 : 4);
      std::printf("%-14s %8.2f%s\n", layout.name, gain, gain >= 1.8 ? "" : "  under goal");
      results << row << '|' << gain << '\n';
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "frame_bench: %s\n", error.what());
    return 1;
  }
  return 0;
}
