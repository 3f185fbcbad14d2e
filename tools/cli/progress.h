// A one-line progress bar on stderr for sequences, drawn only when stderr is
// a terminal, and the summary line printed when a command ends.
#ifndef HUEWRIGHT_TOOLS_PROGRESS_H
#define HUEWRIGHT_TOOLS_PROGRESS_H

#include <chrono>
#include <cstddef>
#include <string>

namespace huewright {

class Progress {
 public:
  Progress(std::size_t total, bool quiet);
  ~Progress();
  void Advance(const std::string& current);
  // Clears the bar and prints `text` with the elapsed time, unless quiet.
  void Summary(const std::string& text);
  // Removes the bar; call before writing to stdout, which may share the
  // terminal.
  void Clear();

 private:
  std::size_t total_;
  std::size_t done_ = 0;
  bool quiet_;
  bool bar_;
  std::chrono::steady_clock::time_point start_;
};

}  // namespace huewright

#endif
