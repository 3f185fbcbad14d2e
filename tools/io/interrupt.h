// What an interrupt (SIGINT, SIGTERM, or SIGHUP when the terminal or ssh
// session closes) must tidy before the process ends: the temporary output
// being written is removed, and a progress bar on screen is ended so that
// the message that the run was interrupted starts on a fresh line.
#ifndef HUEWRIGHT_TOOLS_INTERRUPT_H
#define HUEWRIGHT_TOOLS_INTERRUPT_H

#include <string>

namespace huewright {

// Installs the handlers; each tidies, says so on stderr and ends the
// process with the signal's conventional status.
void InstallInterruptCleanup();

// The temporary file to remove on an interrupt; one at a time.
void SetPendingTemp(const std::string& path);
void ClearPendingTemp();
// Whether a progress bar occupies the current line of stderr.
void SetProgressOnScreen(bool on_screen);

}  // namespace huewright

#endif
