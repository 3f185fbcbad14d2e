#include "interrupt.h"

#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstring>

namespace huewright {
namespace {

// A handler may neither allocate nor lock: fixed buffers and lock-free flags.
char g_pending_temp[4096];
std::atomic<bool> g_pending{false};
std::atomic<bool> g_progress_on_screen{false};
static_assert(std::atomic<bool>::is_always_lock_free);

void Say(const char* text) {
  const ssize_t written = write(STDERR_FILENO, text, std::strlen(text));
  (void)written;  // nothing more can be done from a handler
}

void TidyAndReraise(int signal_number) {
  if (g_pending.exchange(false)) unlink(g_pending_temp);
  if (g_progress_on_screen.exchange(false)) Say("\r\033[K");
  Say(signal_number == SIGHUP ? "huewright: hangup, stopped\n" : "huewright: interrupted\n");
  std::signal(signal_number, SIG_DFL);
  std::raise(signal_number);
}

}  // namespace

void InstallInterruptCleanup() {
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) std::signal(signal_number, TidyAndReraise);
}

void SetPendingTemp(const std::string& path) {
  g_pending = false;
  if (path.size() >= sizeof g_pending_temp) return;
  std::memcpy(g_pending_temp, path.c_str(), path.size() + 1);
  g_pending = true;
}

void ClearPendingTemp() { g_pending = false; }

void SetProgressOnScreen(bool on_screen) { g_progress_on_screen = on_screen; }

}  // namespace huewright
