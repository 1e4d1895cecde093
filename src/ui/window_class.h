#pragma once

#include <windows.h>

namespace folivra {

// Registers a window class of this module once; later calls change nothing.
void register_window_class(const wchar_t* name, WNDPROC proc, HBRUSH background,
                           HCURSOR cursor = LoadCursorW(nullptr, IDC_ARROW));

}  // namespace folivra
