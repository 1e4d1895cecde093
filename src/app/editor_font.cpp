// Window geometry and the editor font, kept in the settings file.
#include <richedit.h>

#include <algorithm>

#include "app/main_window.h"
#include "ui/char_format.h"
#include "app/window_layout.h"
#include "ui/dpi.h"
#include "book/gbk_wide.h"

namespace folivra {

namespace {

constexpr char kWindows[] = "Windows";
constexpr char kFont[] = "Font";
constexpr int kLargest = 20000;  // no screen is wider or taller

int left_of(HWND hwnd) {
  RECT r;
  GetWindowRect(hwnd, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
  return r.left;
}

// A rectangle some monitor shows at least a corner of.
bool on_a_screen(const RECT& r) {
  return r.right > r.left && r.bottom > r.top && MonitorFromRect(&r, MONITOR_DEFAULTTONULL);
}

}  // namespace

// A first start opens at a comfortable size for the screen: 70% of the work
// area, centred, never below the minimum; the tree takes a quarter of it, so
// that long chapter names are not cut.
void MainWindow::place_first_window() {
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int w =
      std::max(scale(kMinWindowWidth, dpi_), static_cast<int>((work.right - work.left) * 7 / 10));
  const int h =
      std::max(scale(kMinWindowHeight, dpi_), static_cast<int>((work.bottom - work.top) * 7 / 10));
  SetWindowPos(hwnd_, nullptr, work.left + (work.right - work.left - w) / 2,
               work.top + (work.bottom - work.top - h) / 2, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
  RECT client;
  GetClientRect(hwnd_, &client);
  move_splitter(std::max(scale(156, dpi_), static_cast<int>(client.right / 4)));
}

// The window comes back where and as large as it was left. What the file
// does not say is as at a first start; a place no monitor shows any more
// moves to the nearest one's work area, at a size that fits it.
void MainWindow::restore_geometry() {
  place_first_window();
  if (!settings_.exists()) return;
  start_maximized_ = settings_.read_bool(kWindows, "maximization", false);
  const int boundary = settings_.read_int(kWindows, "boundary", left_of(c_.splitter));
  RECT r;
  GetWindowRect(hwnd_, &r);
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
  SetWindowPos(hwnd_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  // The splitter fits the restored size, not the first one.
  RECT client;
  GetClientRect(hwnd_, &client);
  move_splitter(std::clamp(boundary, 0, std::max<int>(0, client.right - 8)));
}

void MainWindow::remember_geometry() {
  RECT r;
  GetWindowRect(hwnd_, &r);
  last_position_ = {r.left, r.top};
  last_size_ = {r.right - r.left, r.bottom - r.top};
}

// Only real moves count: showing the window for the first time reports its
// position too, and that must not write (or create) the settings file.
void MainWindow::store_position() {
  RECT r;
  GetWindowRect(hwnd_, &r);
  if (!created_ || (r.left == last_position_.x && r.top == last_position_.y)) return;
  last_position_ = {r.left, r.top};
  const bool maximized = IsZoomed(hwnd_);
  if (!maximized && !IsIconic(hwnd_)) {
    settings_.write_int(kWindows, "left_edge", r.left);
    settings_.write_int(kWindows, "top_edge", r.top);
  }
  settings_.write_bool(kWindows, "maximization", maximized);
}

// A minimized window's size is the icon's, not one to come back to.
void MainWindow::store_size() {
  RECT r;
  GetWindowRect(hwnd_, &r);
  const SIZE size{r.right - r.left, r.bottom - r.top};
  if (!created_ || (size.cx == last_size_.cx && size.cy == last_size_.cy)) return;
  last_size_ = size;
  if (IsZoomed(hwnd_) || IsIconic(hwnd_)) return;
  settings_.write_int(kWindows, "width", r.right - r.left);
  settings_.write_int(kWindows, "height", r.bottom - r.top);
}

void MainWindow::apply_editor_font(bool reload) {
  if (reload) {
    font_.name = settings_.read_text(kFont, "name", "\xCB\xCE\xCC\xE5");
    font_.color = settings_.read_int(kFont, "color", 0);
    font_.size = settings_.read_int(kFont, "size", 12);
    font_.underline = settings_.read_bool(kFont, "underline", false);
    font_.strikeout = settings_.read_bool(kFont, "delline", false);
    font_.italic = settings_.read_bool(kFont, "italics", false);
    font_.bold = settings_.read_bool(kFont, "bold", false);
  }
  CHARFORMAT2W format = plain_char_format(gbk_to_wide(font_.name), font_.size);
  format.crTextColor = static_cast<COLORREF>(font_.color);
  // The chosen colour on the window's own background.
  format.dwEffects = CFE_AUTOBACKCOLOR | (font_.bold ? CFE_BOLD : 0) |
                     (font_.italic ? CFE_ITALIC : 0) | (font_.underline ? CFE_UNDERLINE : 0) |
                     (font_.strikeout ? CFE_STRIKEOUT : 0);
  format.wWeight = font_.bold ? FW_BOLD : FW_NORMAL;
  format.bUnderlineType = font_.underline ? CFU_UNDERLINE : CFU_UNDERLINENONE;
  editor_.set_default_format(format);
}

void MainWindow::choose_editor_font() {
  FontChoice choice = font_;
  if (!prompts_->choose_font(choice)) return;
  font_ = choice;
  settings_.write_text(kFont, "name", font_.name);
  settings_.write_int(kFont, "size", font_.size);
  settings_.write_int(kFont, "color", font_.color);
  settings_.write_bool(kFont, "underline", font_.underline);
  settings_.write_bool(kFont, "delline", font_.strikeout);
  settings_.write_bool(kFont, "italics", font_.italic);
  settings_.write_bool(kFont, "bold", font_.bold);
  apply_editor_font(false);
}

}  // namespace folivra
