#pragma once

#include <windows.h>

namespace folivra {

// Registers a window class of this module once; later calls change nothing.
void register_window_class(const wchar_t* name, WNDPROC proc, HBRUSH background,
                           HCURSOR cursor = LoadCursorW(nullptr, IDC_ARROW));

// A visible child control at the given place, in `font` when there is one.
HWND create_child(const wchar_t* cls, const wchar_t* text, DWORD style, HWND parent, int x, int y,
                  int w, int h, HFONT font, DWORD ex_style = 0);

// Where a window `width` x `height` pixels goes centred on `owner`, moved
// as little as it takes to lie within the owner's screen (its work area).
POINT centred_on(HWND owner, int width, int height);

// A window beside the main one (字数统计, 历史版本 …) of a class of ours,
// registered here: a resizable popup with a caption, `client_width` x
// `client_height` pixels inside, centred on its owner within its screen;
// `self`, the object it belongs to, is its creation parameter.
HWND create_tool_window(const wchar_t* cls, WNDPROC proc, const wchar_t* title, HWND owner,
                        int client_width, int client_height, void* self);

// A modal dialog's frame of a class of ours, `width` x `height` pixels,
// centred on its owner (at the screen's corner without one); `self`, the
// object it belongs to, is its creation parameter.
HWND create_dialog_frame(const wchar_t* cls, const wchar_t* title, HWND owner, int width,
                         int height, void* self);

// The object a window of ours belongs to: passed as the creation parameter,
// kept in GWLP_USERDATA from WM_NCCREATE on; null before and after.
template <typename T>
T* window_owner(HWND hwnd, UINT message, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    SetWindowLongPtrW(
        hwnd, GWLP_USERDATA,
        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams));
  }
  return reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

}  // namespace folivra
