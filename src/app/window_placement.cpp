// Window geometry, kept in the settings file.
#include "app/window_placement.h"

#include <algorithm>

#include "app/window_layout.h"
#include "ui/dpi.h"

namespace folivra {

namespace {

constexpr char kWindows[] = "Windows";
constexpr int kLargest = 20000;  // no screen is wider or taller

// A rectangle some monitor shows at least a corner of.
bool on_a_screen(const RECT& r) {
  return r.right > r.left && r.bottom > r.top && MonitorFromRect(&r, MONITOR_DEFAULTTONULL);
}

}  // namespace

// A first start opens at a comfortable size for the screen; the tree takes
// a quarter of it, so that long chapter names are not cut.
int WindowPlacement::place_first(HWND window, UINT dpi) const {
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int w =
      std::max(scale(kMinWindowWidth, dpi), static_cast<int>((work.right - work.left) * 7 / 10));
  const int h =
      std::max(scale(kMinWindowHeight, dpi), static_cast<int>((work.bottom - work.top) * 7 / 10));
  SetWindowPos(window, nullptr, work.left + (work.right - work.left - w) / 2,
               work.top + (work.bottom - work.top - h) / 2, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
  RECT client;
  GetClientRect(window, &client);
  return std::max(scale(156, dpi), static_cast<int>(client.right / 4));
}

// What the file does not say is as at a first start; a place no monitor
// shows any more moves to the nearest one's work area, at a size that fits it.
int WindowPlacement::restore(HWND window, UINT dpi) {
  const int first = place_first(window, dpi);
  if (!settings_.exists()) return first;
  start_maximized_ = settings_.read_bool(kWindows, "maximization", false);
  const int boundary = settings_.read_int(kWindows, "boundary", first);
  RECT r;
  GetWindowRect(window, &r);
  int width = settings_.read_int(kWindows, "width", -1);
  int height = settings_.read_int(kWindows, "height", -1);
  // Values another instance was half-way through writing are not sizes.
  if (width <= 0 || width > kLargest) width = r.right - r.left;
  if (height <= 0 || height > kLargest) height = r.bottom - r.top;
  int left = settings_.read_int(kWindows, "left_edge", r.left);
  int top = settings_.read_int(kWindows, "top_edge", r.top);
  const RECT wanted{left, top, left + width, top + height};
  if (!on_a_screen(wanted)) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromRect(&wanted, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    width = std::min<int>(width, work.right - work.left);
    height = std::min<int>(height, work.bottom - work.top);
    left = work.left + (work.right - work.left - width) / 2;
    top = work.top + (work.bottom - work.top - height) / 2;
  }
  SetWindowPos(window, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  // The boundary fits the restored size, not the first one.
  RECT client;
  GetClientRect(window, &client);
  return std::clamp(boundary, 0, std::max<int>(0, client.right - 8));
}

void WindowPlacement::created(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  last_position_ = {r.left, r.top};
  last_size_ = {r.right - r.left, r.bottom - r.top};
  created_ = true;
}

// Only real moves count.
void WindowPlacement::moved(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  if (!created_ || (r.left == last_position_.x && r.top == last_position_.y)) return;
  last_position_ = {r.left, r.top};
  const bool maximized = IsZoomed(window);
  if (!maximized && !IsIconic(window)) {
    settings_.write_int(kWindows, "left_edge", r.left);
    settings_.write_int(kWindows, "top_edge", r.top);
  }
  settings_.write_bool(kWindows, "maximization", maximized);
}

// A minimized window's size is the icon's, not one to come back to.
void WindowPlacement::sized(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  const SIZE size{r.right - r.left, r.bottom - r.top};
  if (!created_ || (size.cx == last_size_.cx && size.cy == last_size_.cy)) return;
  last_size_ = size;
  if (IsZoomed(window) || IsIconic(window)) return;
  settings_.write_int(kWindows, "width", r.right - r.left);
  settings_.write_int(kWindows, "height", r.bottom - r.top);
}

void WindowPlacement::boundary_dropped(int left) const {
  settings_.write_int(kWindows, "boundary", left);
}

}  // namespace folivra
