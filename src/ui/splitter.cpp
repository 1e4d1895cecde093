#include "ui/splitter.h"

#include "ui/window_class.h"

#include <windowsx.h>

namespace folivra {

namespace {

constexpr wchar_t kClassName[] = L"FolivraSplitter";

struct Drag {
  bool active = false;
  int start_left = 0;  // the bar's left edge when the drag began
  int grab_x = 0;      // where in the bar the mouse took hold
};

int left_in_parent(HWND hwnd) {
  RECT r;
  GetWindowRect(hwnd, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
  return r.left;
}

// The new left edge for the mouse at client x, kept inside the parent.
int new_left(HWND hwnd, const Drag& drag, int x) {
  RECT parent;
  GetClientRect(GetParent(hwnd), &parent);
  RECT self;
  GetClientRect(hwnd, &self);
  const int wanted = left_in_parent(hwnd) + x - drag.grab_x;
  const int most = static_cast<int>(parent.right) - static_cast<int>(self.right);
  return wanted < 0 ? 0 : wanted > most ? (most < 0 ? 0 : most) : wanted;
}

LRESULT CALLBACK splitter_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  // The mouse is captured during a drag, so one drag at a time is all there is.
  static Drag state;
  Drag* drag = &state;
  switch (message) {
    case WM_LBUTTONDOWN:
      drag->active = true;
      drag->start_left = left_in_parent(hwnd);
      drag->grab_x = GET_X_LPARAM(lparam);
      SetCapture(hwnd);
      return 0;
    case WM_MOUSEMOVE:
      if (drag->active) {
        SendMessageW(GetParent(hwnd), kSplitterMoved, drag->start_left,
                     new_left(hwnd, *drag, GET_X_LPARAM(lparam)));
      }
      return 0;
    case WM_LBUTTONUP:
      if (drag->active) {
        drag->active = false;
        ReleaseCapture();
        SendMessageW(GetParent(hwnd), kSplitterDropped, drag->start_left, left_in_parent(hwnd));
      }
      return 0;
    case WM_CAPTURECHANGED:
      drag->active = false;
      return 0;
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

}  // namespace

HWND create_splitter(HWND parent, int left, int top, int width, int height) {
  register_window_class(kClassName, splitter_proc, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1),
                        LoadCursorW(nullptr, IDC_SIZEWE));
  return CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE, left, top, width, height,
                         parent, nullptr, GetModuleHandleW(nullptr), nullptr);
}

}  // namespace folivra
