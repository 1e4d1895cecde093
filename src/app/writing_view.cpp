// The writing view (F11): the window fills its monitor with no frame, menu,
// tree or tabs, the text in a centred column; the status bar stays. The
// page's line spacing and colour are settings of every view.
#include "app/main_window.h"
#include "app/window_layout.h"
#include "ui/dpi.h"
#include "ui/menu_ids.h"

namespace folivra {

namespace {

// Column widths of the writing view, in pixels at 96 DPI.
constexpr int kColumns[] = {560, 720, 960};

Page page_named(int n) { return n >= 0 && n <= 3 ? static_cast<Page>(n) : Page::white; }

}  // namespace

PageLook MainWindow::page_look_setting() const {
  PageLook look;
  look.spacing = std::clamp(settings_.read_int("View", "spacing", 10), 10, 20);
  look.page = page_named(settings_.read_int("View", "page", 0));
  return look;
}

// The look as the settings say, on the chapter shown too (reloaded where
// the author was: the caret and the first line shown stay).
void MainWindow::apply_page_look() {
  const PageLook look = page_look_setting();
  const int column = std::clamp(settings_.read_int("View", "column", 1), 0, 2);
  PopupMenu& view = *menus_.view;
  for (int t = 10; t <= 20; ++t) {
    if (view.has(kCmdSpacing10 + t - 10))
      view.set_checked(kCmdSpacing10 + t - 10, t == look.spacing);
  }
  for (int p = 0; p < 4; ++p) view.set_checked(kCmdPageWhite + p, p == static_cast<int>(look.page));
  for (int w = 0; w < 3; ++w) view.set_checked(kCmdColumnNarrow + w, w == column);
  view.set_checked(kCmdWritingView, writing_view_);
  editor_.set_column(writing_view_ ? scale(kColumns[column], dpi_) : 0);
  if (look == editor_.look()) return;
  editor_.set_look(look);
  const int shown = selected_index();
  if (!has_book_ || shown < 1) return;
  const HWND text = editor_.hwnd();
  CHARRANGE caret{};
  SendMessageW(text, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&caret));
  const LRESULT top = SendMessageW(text, EM_GETFIRSTVISIBLELINE, 0, 0);
  show_chapter(shown);
  SendMessageW(editor_.hwnd(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&caret));
  SendMessageW(editor_.hwnd(), EM_LINESCROLL, 0,
               top - SendMessageW(editor_.hwnd(), EM_GETFIRSTVISIBLELINE, 0, 0));
}

void MainWindow::page_look_command(UINT id) {
  if (id >= kCmdSpacing10 && id <= kCmdSpacing10 + 10) {
    settings_.write_int("View", "spacing", 10 + static_cast<int>(id - kCmdSpacing10));
  } else if (id >= kCmdPageWhite && id <= kCmdPageDark) {
    settings_.write_int("View", "page", static_cast<int>(id - kCmdPageWhite));
  } else if (id >= kCmdColumnNarrow && id <= kCmdColumnWide) {
    settings_.write_int("View", "column", static_cast<int>(id - kCmdColumnNarrow));
  }
  apply_page_look();
}

// In: the frame and the menu go and the window covers its monitor; out:
// the window is as it was.
void MainWindow::set_writing_view(bool on) {
  if (on == writing_view_ || (on && !has_book_)) return;
  writing_view_ = on;
  if (on) {
    view_return_.length = sizeof view_return_;
    GetWindowPlacement(hwnd_, &view_return_);
    view_style_ = GetWindowLongPtrW(hwnd_, GWL_STYLE);
    if (selected_index() < 1 && doc_.count() > 0) tree_.select(1);
    select_page(1);
    SetMenu(hwnd_, nullptr);
    SetWindowLongPtrW(hwnd_, GWL_STYLE, view_style_ & ~WS_OVERLAPPEDWINDOW);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& r = monitor.rcMonitor;
    SetWindowPos(hwnd_, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_FRAMECHANGED | SWP_NOOWNERZORDER);
  } else {
    SetWindowLongPtrW(hwnd_, GWL_STYLE, view_style_);
    SetMenu(hwnd_, menus_.bar);
    SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER);
    SetWindowPlacement(hwnd_, &view_return_);
  }
  for (HWND side : {c_.tree, c_.splitter}) ShowWindow(side, on ? SW_HIDE : SW_SHOW);
  layout();
  apply_page_look();
  SetFocus(editor_.hwnd());
}

// The writing view's layout: the text's page over the whole client area
// above the status bar (the row of tabs covered).
void MainWindow::lay_out_writing_view(int width, int height) {
  const int status = scale(kStatusBarHeight, dpi_);
  MoveWindow(c_.tabs, 0, 0, width, std::max(height - status, 0), TRUE);
  MoveWindow(c_.content_page, 0, 0, width, std::max(height - status, 0), TRUE);
  MoveWindow(editor_.hwnd(), 0, 0, width, std::max(height - status, 0), TRUE);
  BringWindowToTop(c_.content_page);
}

}  // namespace folivra
