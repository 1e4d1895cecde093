#pragma once

#include <windows.h>

#include <functional>

namespace folivra {

// Shows `dialog` modal to `owner` with the focus on `focus`, and runs its
// messages until `closed` says so; a WM_QUIT seen meanwhile is posted again.
void run_modal(HWND owner, HWND dialog, HWND focus, const std::function<bool()>& closed);

}  // namespace folivra
