#include "ui/window_class.h"

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

HWND create_dialog_frame(const wchar_t* cls, const wchar_t* title, HWND owner, int width,
                         int height, void* self) {
  RECT place{0, 0, width, height};
  if (owner) {
    RECT o;
    GetWindowRect(owner, &o);
    OffsetRect(&place, o.left + ((o.right - o.left) - width) / 2,
               o.top + ((o.bottom - o.top) - height) / 2);
  }
  return CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, cls, title,
                         WS_POPUP | WS_CAPTION | WS_SYSMENU, place.left, place.top, width, height,
                         owner, nullptr, GetModuleHandleW(nullptr), self);
}

}  // namespace folivra
