#include "host_threads.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>

namespace huewright_ofx {

namespace {

// Fewer rows than this per thread cost more in hand-over than they save.
constexpr int32_t kLeastRowsPerThread = 16;
// Bands per thread: threads that finish early take another band.
constexpr unsigned kBandsPerThread = 4;

// Bands are taken from one counter, so that each runs exactly once however
// many threads the host really starts, and the calling thread finishes any
// the host left.
struct BandQueue {
  int32_t rows;
  unsigned bands;
  const std::function<void(int32_t, int32_t)>* body;
  std::atomic<unsigned> next{0};
  std::mutex failure_lock;
  std::exception_ptr failure;

  void Drain() {
    for (unsigned band = next.fetch_add(1); band < bands; band = next.fetch_add(1)) {
      const auto first = static_cast<int32_t>(int64_t{rows} * band / bands);
      const auto end = static_cast<int32_t>(int64_t{rows} * (band + 1) / bands);
      try {
        (*body)(first, end);
      } catch (...) {
        std::lock_guard<std::mutex> hold(failure_lock);
        if (!failure) failure = std::current_exception();
      }
    }
  }
};

void DrainOnHostThread(unsigned, unsigned, void* queue) { static_cast<BandQueue*>(queue)->Drain(); }

}  // namespace

unsigned HostThreads::ThreadsFor(int32_t rows) const {
  if (!suite_ || !suite_->multiThread || !suite_->multiThreadNumCPUs) return 1;
  // The suite may not be entered again from one of its own threads.
  if (suite_->multiThreadIsSpawnedThread && suite_->multiThreadIsSpawnedThread()) return 1;
  unsigned cpus = 0;
  if (suite_->multiThreadNumCPUs(&cpus) != kOfxStatOK) return 1;
  const auto by_rows = static_cast<unsigned>(std::max<int32_t>(rows / kLeastRowsPerThread, 1));
  return std::clamp(cpus, 1u, std::min(by_rows, 64u));
}

void HostThreads::Run(int32_t rows, const std::function<void(int32_t first, int32_t end)>& body) const {
  if (rows <= 0) return;
  const unsigned threads = ThreadsFor(rows);
  if (threads == 1) {
    body(0, rows);
    return;
  }
  BandQueue queue;
  queue.rows = rows;
  queue.bands = std::min<unsigned>(threads * kBandsPerThread, static_cast<unsigned>(rows));
  queue.body = &body;
  // A refusal leaves the bands to the calling thread.
  (void)suite_->multiThread(DrainOnHostThread, threads, &queue);
  queue.Drain();
  if (queue.failure) std::rethrow_exception(queue.failure);
}

}  // namespace huewright_ofx
