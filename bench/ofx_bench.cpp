// The OpenFX plug-in's cost per 4K frame as ratios measured in one run: a
// whole host render (measure and paint, one instance, our test host) against
// a memcpy of the same frame, on one thread, for RGBA 8-bit and float; and
// the throughput through the host's multithread suite on two threads
// against one.
//
// The three timings take turns within each round and each keeps its best
// round, so that a neighbour's load on a shared machine weighs on all three
// alike rather than on whichever ran while it lasted. Two threads still
// wait for a core that other work holds (each pass's threads wake anew),
// so on a busy machine the speed-up measures the scheduler: run the bench
// under `chrt -f 1`, which hands its threads a core as soon as they wake.
//
//   ofx_bench BUNDLE [ROUNDS]
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "plugin_binary.h"
#include "test_host.h"

namespace {

using Clock = std::chrono::steady_clock;
using ofx_host::Depth;
using ofx_host::HostImage;

constexpr OfxRectI k4K = {0, 0, 3840, 2160};

// A picture with every band in it: a diagonal ramp with a little texture.
std::shared_ptr<HostImage> Frame(Depth depth) {
  auto image = std::make_shared<HostImage>(ofx_host::ImageShape{k4K, depth});
  const double full = depth == Depth::kFloat ? 1.0 : 255.0;
  for (int y = 0; y < k4K.y2; ++y)
    for (int x = 0; x < k4K.x2; ++x) {
      const double ramp = (x + y) / double(k4K.x2 + k4K.y2);
      for (int c = 0; c < 3; ++c) image->SetChannel(x, y, c, std::floor(full * ramp * (0.8 + 0.1 * ((x + c) % 3))));
      image->SetChannel(x, y, 3, full);
    }
  return image;
}

template <class Body>
double Seconds(Body&& body) {
  const auto start = Clock::now();
  body();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

struct Best {
  double copy = 1e300, one_thread = 1e300, two_threads = 1e300;
};

Best Measure(OfxPlugin& plugin, Depth depth, int rounds) {
  ofx_host::Host host(plugin);  // with the multithread suite
  host.Load();
  host.Describe();
  host.DescribeInContext(kOfxImageEffectContextFilter);
  auto instance = host.NewInstance();
  if (instance->Create() != kOfxStatOK) {
    std::fprintf(stderr, "cannot create an instance\n");
    std::exit(1);
  }
  const auto source = Frame(depth);
  instance->SetSourceFrame(0.0, source);
  HostImage output(ofx_host::ImageShape{k4K, depth});
  const std::size_t bytes = source->PixelBytes() * k4K.x2 * k4K.y2;
  auto render = [&](unsigned cpus) {
    host.SetCpus(cpus);
    return Seconds([&] {
      if (instance->Render(0.0, k4K, 1.0, output) != kOfxStatOK) {
        std::fprintf(stderr, "render failed\n");
        std::exit(1);
      }
    });
  };
  Best best;
  for (int round = 0; round < rounds; ++round) {
    best.copy = std::min(best.copy, Seconds([&] { std::memcpy(output.Data(), source->Data(), bytes); }));
    best.one_thread = std::min(best.one_thread, render(1));
    best.two_threads = std::min(best.two_threads, render(2));
  }
  return best;
}

// The machine's 1-minute load average where the system tells it (Linux):
// two threads cannot run at once on two cores that other work keeps busy.
std::string LoadAverage() {
  std::ifstream file("/proc/loadavg");
  std::string one_minute;
  return file >> one_minute ? one_minute : "unknown";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s BUNDLE [ROUNDS]\n", argv[0]);
    return 2;
  }
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 15;
  ofx_host::PluginBinary bundle(argv[1]);
  OfxPlugin& plugin = *bundle.Plugin(0);
  std::printf("OpenFX render of one 3840 x 2160 frame, best of %d rounds (load average %s)\n", rounds,
              LoadAverage().c_str());
  std::printf("%-8s %10s %10s %8s %13s %9s\n", "depth", "memcpy ms", "render ms", "/memcpy", "2 threads ms",
              "speed-up");
  for (Depth depth : {Depth::kByte, Depth::kFloat}) {
    const Best best = Measure(plugin, depth, rounds);
    std::printf("%-8s %10.2f %10.2f %7.2fx %13.2f %8.2fx\n", depth == Depth::kByte ? "RGBA 8" : "RGBA 32f",
                best.copy * 1e3, best.one_thread * 1e3, best.one_thread / best.copy, best.two_threads * 1e3,
                best.one_thread / best.two_threads);
  }
  std::printf("load average at the end: %s\n", LoadAverage().c_str());
  return 0;
}
