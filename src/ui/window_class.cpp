#include "ui/window_class.h"

#include <algorithm>

namespace folivra {

void register_window_class(const wchar_t* name, WNDPROC proc, HBRUSH background, HCURSOR cursor) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExW(instance, name, &wc)) return;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hCursor = cursor;
  wc.hbrBackground = background;
  wc.lpszClassName = name;
  RegisterClassExW(&wc);
}

HWND create_child(const wchar_t* cls, const wchar_t* text, DWORD style, HWND parent, int x, int y,
                  int w, int h, HFONT font, DWORD ex_style) {
  HWND hwnd = CreateWindowExW(ex_style, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h,
                              parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (font) SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return hwnd;
}

POINT centred_on(HWND owner, int width, int height) {
  RECT o;
  GetWindowRect(owner, &o);
  POINT at{o.left + ((o.right - o.left) - width) / 2, o.top + ((o.bottom - o.top) - height) / 2};
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor)) {
    const RECT& work = monitor.rcWork;
    at.x = std::max(work.left, std::min(at.x, work.right - width));
    at.y = std::max(work.top, std::min(at.y, work.bottom - height));
  }
  return at;
}

HWND create_tool_window(const wchar_t* cls, WNDPROC proc, const wchar_t* title, HWND owner,
                        int client_width, int client_height, void* self) {
  register_window_class(cls, proc, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
  RECT frame{0, 0, client_width, client_height};
  AdjustWindowRectEx(&frame, style, FALSE, 0);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  const POINT at = centred_on(owner, width, height);
  return CreateWindowExW(WS_EX_CONTROLPARENT, cls, title, style, at.x, at.y, width, height, owner,
                         nullptr, GetModuleHandleW(nullptr), self);
}

HWND create_dialog_frame(const wchar_t* cls, const wchar_t* title, HWND owner, int width,
                         int height, void* self) {
  RECT place{0, 0, width, height};
  if (owner) {
    const POINT at = centred_on(owner, width, height);
    OffsetRect(&place, at.x, at.y);
  }
  return CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, cls, title,
                         WS_POPUP | WS_CAPTION | WS_SYSMENU, place.left, place.top, width, height,
                         owner, nullptr, GetModuleHandleW(nullptr), self);
}

}  // namespace folivra
