#include <windows.h>

#include "app/main_window.h"
#include "book/book_file.h"

namespace {

// Until the open command exists, the first argument names a book to show.
void show_first_argument(folivra::MainWindow& window) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argv && argc >= 2) {
    folivra::Book book;
    if (folivra::read_book(argv[1], "", book) == folivra::ReadStatus::ok) window.show_book(book);
  }
  LocalFree(argv);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  folivra::MainWindow window;
  HWND hwnd = window.create(instance);
  if (!hwnd) return 1;
  ShowWindow(hwnd, window.starts_maximized() ? SW_SHOWMAXIMIZED : show);
  UpdateWindow(hwnd);
  show_first_argument(window);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (window.translate_accelerator(msg)) continue;
    if (IsDialogMessageW(hwnd, &msg)) continue;  // Tab moves between the controls
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}
