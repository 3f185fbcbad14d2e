// Threads kept for the life of a host, as a host keeps its render threads.
// Starting threads for every iteration pass costs more than the pass itself
// on small frames, on Windows above all.
#ifndef HUEWRIGHT_MINIHOST_WORKER_POOL_H
#define HUEWRIGHT_MINIHOST_WORKER_POOL_H

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace minihost {

class WorkerPool {
 public:
  // Starts workers threads (none for 0).
  explicit WorkerPool(int workers);
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  int Workers() const { return static_cast<int>(threads_.size()); }

  // Runs part(0) .. part(parts - 1) at once, part 0 on the calling thread and
  // the others on the pool's threads, and returns when every part has
  // returned. parts is at most Workers() + 1. Returns false, running
  // nothing, while another Run is in progress (a pixel function that
  // iterates again, or a second thread of the effect): the caller then
  // makes threads of its own.
  bool Run(int parts, const std::function<void(int)>& part);

 private:
  void Serve(int worker);

  std::mutex run_mutex_;  // one Run at a time
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable finished_;
  const std::function<void(int)>* part_ = nullptr;
  uint64_t generation_ = 0;
  int parts_ = 0;
  int running_ = 0;  // pool threads still inside this generation's part
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace minihost

#endif
