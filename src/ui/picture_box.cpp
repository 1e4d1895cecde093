#include "ui/picture_box.h"

#include "ui/window_class.h"

namespace folivra {

namespace {

constexpr wchar_t kClassName[] = L"FolivraPictureBox";

void paint(HWND hwnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT box;
  GetClientRect(hwnd, &box);
  FillRect(dc, &box, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  if (HBITMAP bitmap = picture_of(hwnd)) {
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, bitmap);
    BitBlt(dc, (box.right - info.bmWidth) / 2, (box.bottom - info.bmHeight) / 2, info.bmWidth,
           info.bmHeight, source, 0, 0, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
  }
  EndPaint(hwnd, &ps);
}

LRESULT CALLBACK picture_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_PAINT) {
    paint(hwnd);
    return 0;
  }
  // A click takes the focus (for pasting a picture) and tells the parent.
  if (message == WM_LBUTTONDOWN) {
    SetFocus(hwnd);
    SendMessageW(GetParent(hwnd), WM_COMMAND,
                 MAKEWPARAM(GetWindowLongPtrW(hwnd, GWLP_ID), STN_CLICKED),
                 reinterpret_cast<LPARAM>(hwnd));
    return 0;
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

}  // namespace

HWND create_picture_box(HWND parent, int left, int top, int width, int height) {
  register_window_class(kClassName, picture_proc, nullptr);
  return CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_BORDER, left, top, width,
                         height, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
}

void set_picture(HWND box, HBITMAP bitmap) {
  SetWindowLongPtrW(box, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(bitmap));
  InvalidateRect(box, nullptr, TRUE);
}

HBITMAP picture_of(HWND box) {
  return reinterpret_cast<HBITMAP>(GetWindowLongPtrW(box, GWLP_USERDATA));
}

}  // namespace folivra
