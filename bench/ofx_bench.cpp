// The OpenFX plug-in's cost per 4K frame as ratios measured in one run: a
// whole host render (measure and paint, one instance, our test host) against
// a memcpy of the same frame, on one thread, for RGBA 8-bit and float; and
// the throughput through the host's multithread suite on two threads
// against one.
//
//   ofx_bench BUNDLE [ROUNDS]
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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
double BestSeconds(int rounds, Body&& body) {
  double best = 1e300;
  for (int round = 0; round < rounds; ++round) {
    const auto start = Clock::now();
    body();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
  }
  return best;
}

double RenderSeconds(OfxPlugin& plugin, Depth depth, bool threads, int rounds) {
  ofx_host::HostOptions options;
  options.multithread_suite = threads;
  options.cpus = 2;
  ofx_host::Host host(plugin, options);
  host.Load();
  host.Describe();
  host.DescribeInContext(kOfxImageEffectContextFilter);
  auto instance = host.NewInstance();
  if (instance->Create() != kOfxStatOK) {
    std::fprintf(stderr, "cannot create an instance\n");
    std::exit(1);
  }
  instance->SetSourceFrame(0.0, Frame(depth));
  HostImage output(ofx_host::ImageShape{k4K, depth});
  return BestSeconds(rounds, [&] {
    if (instance->Render(0.0, k4K, 1.0, output) != kOfxStatOK) {
      std::fprintf(stderr, "render failed\n");
      std::exit(1);
    }
  });
}

double CopySeconds(Depth depth, int rounds) {
  auto source = Frame(depth);
  HostImage output(ofx_host::ImageShape{k4K, depth});
  const std::size_t bytes = source->PixelBytes() * k4K.x2 * k4K.y2;
  return BestSeconds(rounds, [&] { std::memcpy(output.Data(), source->Data(), bytes); });
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s BUNDLE [ROUNDS]\n", argv[0]);
    return 2;
  }
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
  ofx_host::PluginBinary bundle(argv[1]);
  OfxPlugin& plugin = *bundle.Plugin(0);
  std::printf("OpenFX render of one 3840 x 2160 frame, best of %d\n", rounds);
  std::printf("%-8s %12s %12s %10s %12s %10s\n", "depth", "memcpy ms", "render ms", "/memcpy", "2 threads ms",
              "speed-up");
  for (Depth depth : {Depth::kByte, Depth::kFloat}) {
    const double copy = CopySeconds(depth, rounds);
    const double one = RenderSeconds(plugin, depth, false, rounds);
    const double two = RenderSeconds(plugin, depth, true, rounds);
    std::printf("%-8s %12.2f %12.2f %9.2fx %12.2f %9.2fx\n", depth == Depth::kByte ? "RGBA 8" : "RGBA 32f",
                copy * 1e3, one * 1e3, one / copy, two * 1e3, one / two);
  }
  return 0;
}
