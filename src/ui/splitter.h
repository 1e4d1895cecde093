#pragma once

#include <windows.h>

namespace folivra {

// A thin vertical bar the mouse drags. While it is dragged the parent gets
// kSplitterMoved with the left edge before the drag (wParam) and the new
// left edge (lParam); when the drag ends, kSplitterDropped with the same.
inline constexpr UINT kSplitterMoved = WM_APP + 1;
inline constexpr UINT kSplitterDropped = WM_APP + 2;

HWND create_splitter(HWND parent, int left, int top, int width, int height);

}  // namespace folivra
