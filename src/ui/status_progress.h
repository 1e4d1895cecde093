#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>

namespace folivra {

// Tells how far the work has come: `done` of `total`.
using ProgressReport = std::function<void(size_t done, size_t total)>;

// Runs `work` on a worker thread and returns once it has ended, rethrowing
// what it threw. Meanwhile this thread paints its windows and answers
// messages sent to it; input waits in the queue until after the work. Once
// the work has taken `delay_ms`, a progress bar over pane `pane` of
// `status_bar` follows what `work` reports.
void run_showing_progress(HWND status_bar, int pane, unsigned delay_ms,
                          const std::function<void(const ProgressReport&)>& work);

}  // namespace folivra
