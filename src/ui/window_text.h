#pragma once

#include <windows.h>

#include <string>

namespace folivra {

std::wstring window_text(HWND hwnd);
void set_window_text(HWND hwnd, const std::wstring& text);

}  // namespace folivra
