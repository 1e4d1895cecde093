#include "ui/modal_loop.h"

namespace folivra {

void run_modal(HWND owner, HWND dialog, HWND focus, const std::function<bool()>& closed) {
  const bool owner_enabled = owner && IsWindowEnabled(owner);
  if (owner_enabled) EnableWindow(owner, FALSE);
  ShowWindow(dialog, SW_SHOW);
  SetFocus(focus);
  MSG msg{};
  while (!closed() && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(dialog, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (msg.message == WM_QUIT) PostQuitMessage(static_cast<int>(msg.wParam));
  if (owner_enabled) EnableWindow(owner, TRUE);
  if (owner) SetActiveWindow(owner);
}

}  // namespace folivra
