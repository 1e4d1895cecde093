#include "ui/status_progress.h"

#include <commctrl.h>

#include <atomic>
#include <exception>
#include <thread>

namespace folivra {

namespace {

constexpr int kSteps = 1000;

HWND create_bar(HWND status_bar, int pane) {
  RECT box{};
  SendMessageW(status_bar, SB_GETRECT, static_cast<WPARAM>(pane), reinterpret_cast<LPARAM>(&box));
  const HWND bar = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, box.left,
                                   box.top, box.right - box.left, box.bottom - box.top, status_bar,
                                   nullptr, GetModuleHandleW(nullptr), nullptr);
  SendMessageW(bar, PBM_SETRANGE32, 0, kSteps);
  return bar;
}

// Paints what needs it. A WM_QUIT passes the filter; it is kept for later.
void paint_windows(bool& quit, WPARAM& quit_code) {
  MSG msg{};
  // A window that never validates itself must not keep this loop here.
  for (int i = 0; i < 256 && PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE); ++i) {
    if (msg.message == WM_QUIT) {
      quit = true;
      quit_code = msg.wParam;
      return;
    }
    DispatchMessageW(&msg);
  }
}

}  // namespace

void run_showing_progress(HWND status_bar, int pane, unsigned delay_ms,
                          const std::function<void(const ProgressReport&)>& work) {
  std::atomic<int> step{0};
  std::exception_ptr failure;
  const HANDLE ended = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::thread worker([&] {
    try {
      work([&step](size_t done, size_t total) {
        step = static_cast<int>(total ? done * kSteps / total : kSteps);
      });
    } catch (...) {
      failure = std::current_exception();
    }
    SetEvent(ended);
  });

  const ULONGLONG start = GetTickCount64();
  HWND bar = nullptr;
  bool quit = false;
  WPARAM quit_code = 0;
  for (;;) {
    if (!bar && GetTickCount64() - start >= delay_ms) bar = create_bar(status_bar, pane);
    if (bar) SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(step.load()), 0);
    const DWORD wake = MsgWaitForMultipleObjects(1, &ended, FALSE, 50, QS_PAINT | QS_SENDMESSAGE);
    if (wake == WAIT_OBJECT_0 || wake == WAIT_FAILED) break;
    if (!quit) paint_windows(quit, quit_code);
  }
  worker.join();
  CloseHandle(ended);
  if (bar) {
    SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(step.load()), 0);
    UpdateWindow(bar);
    DestroyWindow(bar);
  }
  if (quit) PostQuitMessage(static_cast<int>(quit_code));
  if (failure) std::rethrow_exception(failure);
}

}  // namespace folivra
