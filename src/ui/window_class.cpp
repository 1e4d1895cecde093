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

}  // namespace folivra
