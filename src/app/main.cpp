#include <windows.h>

#include "app/command_line.h"
#include "app/main_window.h"
#include "book/gbk_wide.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  folivra::MainWindow window;
  HWND hwnd = window.create(instance);
  if (!hwnd) return 1;
  ShowWindow(hwnd, window.starts_maximized() ? SW_SHOWMAXIMIZED : show);
  UpdateWindow(hwnd);
  window.open_command_line(
      folivra::split_command_line(folivra::wide_to_gbk_lossy(GetCommandLineW())));
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (window.translate_accelerator(msg)) continue;
    if (IsDialogMessageW(hwnd, &msg)) continue;  // Tab moves between the controls
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
