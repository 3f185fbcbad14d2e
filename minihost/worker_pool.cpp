#include "worker_pool.h"

namespace minihost {

WorkerPool::WorkerPool(int workers) {
  for (int worker = 0; worker < workers; ++worker) threads_.emplace_back([this, worker] { Serve(worker); });
}

WorkerPool::~WorkerPool() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

bool WorkerPool::Run(int parts, const std::function<void(int)>& part) {
  std::unique_lock run(run_mutex_, std::try_to_lock);
  if (!run.owns_lock() || parts > Workers() + 1) return false;
  {
    std::lock_guard lock(mutex_);
    part_ = &part;
    parts_ = parts;
    running_ = parts - 1;
    ++generation_;
  }
  wake_.notify_all();
  part(0);
  std::unique_lock lock(mutex_);
  finished_.wait(lock, [this] { return running_ == 0; });
  part_ = nullptr;
  return true;
}

// Worker w runs part w + 1 of every generation that has that many parts.
void WorkerPool::Serve(int worker) {
  uint64_t seen = 0;
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [&] { return stopping_ || generation_ != seen; });
    if (stopping_) return;
    seen = generation_;
    if (worker + 1 >= parts_) continue;
    const std::function<void(int)>& part = *part_;
    lock.unlock();
    part(worker + 1);
    lock.lock();
    if (--running_ == 0) finished_.notify_all();
  }
}

}  // namespace minihost
