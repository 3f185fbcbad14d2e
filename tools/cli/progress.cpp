#include "progress.h"

#include <unistd.h>

#include <cstdio>

#include "interrupt.h"

namespace huewright {

Progress::Progress(std::size_t total, bool quiet)
    : total_(total), quiet_(quiet), bar_(!quiet && total > 1 && isatty(STDERR_FILENO)),
      start_(std::chrono::steady_clock::now()) {}

Progress::~Progress() { Clear(); }

void Progress::Advance(const std::string& current) {
  ++done_;
  if (!bar_) return;
  constexpr std::size_t kWidth = 30;
  const std::size_t filled = total_ ? done_ * kWidth / total_ : kWidth;
  std::string bar(filled, '#');
  bar.resize(kWidth, '.');
  std::fprintf(stderr, "\r[%s] %zu/%zu %.40s\033[K", bar.c_str(), done_, total_, current.c_str());
  std::fflush(stderr);
  SetProgressOnScreen(true);
}

void Progress::Clear() {
  if (!bar_) return;
  SetProgressOnScreen(false);
  std::fprintf(stderr, "\r\033[K");
  std::fflush(stderr);
  bar_ = false;
}

void Progress::Summary(const std::string& text) {
  Clear();
  if (quiet_) return;
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start_;
  std::fprintf(stderr, "%s in %.2f s\n", text.c_str(), elapsed.count());
}

}  // namespace huewright
