// The frei0r filter's f0r_update on whole RGBA frames (1080p and 4K), loaded
// by path as ffmpeg loads it, each update timed next to a memcpy of the frame
// in the same iteration, so both see the same machine load; both are timed
// in the thread's CPU time, which other processes on a busy machine do not
// inflate (the wall clock would count their turns too). Prints the
// median update time and the median of the per-iteration update / memcpy
// ratios, for a photograph, the same with film grain (neighbouring pixels
// apart by a few levels, as in real footage) and noise (any pixel in any
// band: the worst case for code that bets on neighbours being alike).
//
// Usage: frei0r_bench FILTER_LIBRARY [--quick] [--case TEXT] [--cpu-time]
// --case runs only the rows ("4K|noise") containing TEXT; --cpu-time is
// accepted for make's BENCH_FLAGS (this program always times CPU).
#include <dlfcn.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

extern "C" {
#include <frei0r.h>
}

#include "bench_options.h"

#include "photo_frame.h"

namespace {

struct Filter {
  f0r_instance_t (*construct)(unsigned, unsigned);
  void (*destruct)(f0r_instance_t);
  void (*update)(f0r_instance_t, double, const uint32_t*, uint32_t*);
};

template <class Function>
void Resolve(void* handle, const std::string& path, const char* name, Function& function) {
  void* symbol = dlsym(handle, name);
  if (!symbol) throw std::runtime_error(path + ": no symbol " + name);
  function = reinterpret_cast<Function>(symbol);
}

Filter Load(const std::string& path) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) throw std::runtime_error(path + ": " + dlerror());
  int (*init)() = nullptr;
  Resolve(handle, path, "f0r_init", init);
  if (!init()) throw std::runtime_error(path + ": f0r_init failed");
  Filter filter{};
  Resolve(handle, path, "f0r_construct", filter.construct);
  Resolve(handle, path, "f0r_destruct", filter.destruct);
  Resolve(handle, path, "f0r_update", filter.update);
  return filter;
}

enum class Content { kPhoto, kGrain, kNoise };
const char* NameOf(Content content) {
  return content == Content::kPhoto ? "photo" : content == Content::kGrain ? "grain" : "noise";
}

uint32_t Hash(int32_t x, int32_t y) {
  uint32_t h = static_cast<uint32_t>(x) * 2654435761u ^ static_cast<uint32_t>(y) * 40503u;
  h ^= h >> 15;
  return h * 2246822519u;
}

// A frame's pixels on a 64-byte boundary, as ffmpeg allocates its frames.
struct Frame {
  explicit Frame(std::size_t pixels)
      : size(pixels), data(static_cast<uint32_t*>(std::aligned_alloc(64, (pixels * 4 + 63) / 64 * 64))) {
    if (!data) throw std::bad_alloc();
    std::memset(data, 0, pixels * 4);
  }
  ~Frame() { std::free(data); }
  Frame(const Frame&) = delete;
  Frame& operator=(const Frame&) = delete;
  uint32_t& operator[](std::size_t i) { return data[i]; }
  std::size_t size;
  uint32_t* data;
};

// RGBA8888 bytes in memory order red, green, blue, alpha.
void FillFrame(Frame& frame, int32_t width, int32_t height, Content content) {
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      const std::array<float, 3> rgb = PhotoAt(x, y, width, height);
      const uint32_t hash = Hash(x, y);
      uint8_t bytes[4] = {0, 0, 0, 255};
      for (int c = 0; c < 3; ++c) {
        const int grain = static_cast<int>((hash >> (8 * c)) & 15) - 8;
        const int value = content == Content::kNoise   ? static_cast<int>((hash >> (8 * c)) & 255)
                          : content == Content::kGrain ? static_cast<int>(rgb[c] * 255.0f + 0.5f) + grain
                                                       : static_cast<int>(rgb[c] * 255.0f + 0.5f);
        bytes[c] = static_cast<uint8_t>(std::clamp(value, 0, 255));
      }
      std::memcpy(&frame[static_cast<std::size_t>(y) * width + x], bytes, 4);
    }
}

// CPU time of the calling thread, in seconds.
double ThreadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}


struct Timing {
  double update_ms, ratio;
};

Timing TimeUpdates(const Filter& filter, int32_t width, int32_t height, Content content, int repeats) {
  const std::size_t pixels = static_cast<std::size_t>(width) * height;
  Frame in(pixels), out(pixels), copy(pixels);
  FillFrame(in, width, height, content);
  const std::size_t bytes = pixels * 4;
  f0r_instance_t instance = filter.construct(static_cast<unsigned>(width), static_cast<unsigned>(height));
  if (!instance) throw std::runtime_error("f0r_construct failed");
  filter.update(instance, 0.0, in.data, out.data);  // first touch of the output
  std::memcpy(copy.data, in.data, bytes);
  std::vector<double> updates, ratios;
  for (int i = 0; i < repeats; ++i) {
    double start = ThreadSeconds();
    std::memcpy(copy.data, in.data, bytes);
    const double copy_seconds = ThreadSeconds() - start;
    start = ThreadSeconds();
    filter.update(instance, i / 25.0, in.data, out.data);
    const double update_seconds = ThreadSeconds() - start;
    updates.push_back(update_seconds * 1e3);
    ratios.push_back(update_seconds / copy_seconds);
  }
  filter.destruct(instance);
  return {Median(updates), Median(ratios)};
}

struct Size {
  int32_t width, height;
  const char* name;
};

}  // namespace

int main(int argc, char** argv) {
  const BenchOptions options = ParseBenchOptions(argc, argv);
  const std::vector<std::string>& positional = options.positional;
  const bool quick = options.quick;
  if (positional.size() != 1) {
    std::fprintf(stderr, "usage: frei0r_bench FILTER_LIBRARY [--quick] [--case TEXT] [--cpu-time]\n");
    return 2;
  }
  try {
    const Filter filter = Load(positional[0]);
    constexpr double kGoal = 2.0;  // update / memcpy, 4K, one thread
    std::printf(
        "\nThe frei0r filter's f0r_update (%s): median update (thread CPU time), ratio to a memcpy of the frame\n",
        positional[0].c_str());
    std::printf("%-6s %-8s %10s %8s %8s\n", "size", "content", "update ms", "ratio", "goal");
    for (const Size& size : {Size{1920, 1080, "1080p"}, Size{3840, 2160, "4K"}})
      for (Content content : {Content::kPhoto, Content::kGrain, Content::kNoise}) {
        if (!options.Selected(std::string(size.name) + '|' + NameOf(content))) continue;
        const Timing t = TimeUpdates(filter, size.width, size.height, content, quick ? 9 : 25);
        std::printf("%-6s %-8s %10.2f %8.2f", size.name, NameOf(content), t.update_ms, t.ratio);
        if (size.width == 3840) std::printf(" %7.1fx%s", kGoal, t.ratio <= kGoal ? "" : "  over goal");
        std::printf("\n");
        std::fflush(stdout);
      }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "frei0r_bench: %s\n", error.what());
    return 1;
  }
  return 0;
}
