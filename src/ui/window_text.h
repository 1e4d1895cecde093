#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace folivra {

std::wstring window_text(HWND hwnd);
void set_window_text(HWND hwnd, const std::wstring& text);

// The window system's text for the core's UTF-16 and back: on Windows both
// are UTF-16, unit for unit.
inline std::u16string utf16_of(std::wstring_view text) { return {text.begin(), text.end()}; }
inline std::wstring wide_of(std::u16string_view text) { return {text.begin(), text.end()}; }

}  // namespace folivra
