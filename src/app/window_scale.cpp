// The window's fonts, icons and fixed sizes for the DPI of its monitor, made
// again when the window moves to a monitor of another DPI.
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <utility>

#include "app/main_window.h"
#include "app/window_layout.h"
#include "ui/dpi.h"
#include "ui/tree_images.h"

namespace folivra {

namespace {

HFONT song_font(int height) {
  return CreateFontW(-height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, L"宋体");
}

HICON program_icon(int size) {
  auto* icon = static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, 0));
  return icon ? icon : draw_app_icon(size);  // a program built without the resource
}

}  // namespace

ScaledResources::ScaledResources(UINT dpi)
    : tree(song_font(scale(14, dpi))),
      field(song_font(scale(16, dpi))),
      title(song_font(scale(24, dpi))),
      label(song_font(scale(12, dpi))),  // 9 points: three characters fit the 40-pixel labels
      status(message_font(dpi)),
      big(program_icon(system_metric(SM_CXICON, dpi))),
      small(program_icon(system_metric(SM_CXSMICON, dpi))),
      tree_images(make_tree_images(scale(16, dpi))) {}

// Gives the controls the fonts, icons and fixed places of the current DPI.
void MainWindow::apply_scaled_resources() {
  const ScaledResources& r = *scaled_;
  SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(r.big.get()));
  SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(r.small.get()));
  tree_.rescale(r.tree, r.tree_images);
  SendMessageW(c_.tabs, WM_SETFONT, reinterpret_cast<WPARAM>(r.field.get()), TRUE);
  info_.rescale({r.title, r.field, r.label}, dpi_);
  SendMessageW(c_.status, WM_SETFONT, reinterpret_cast<WPARAM>(r.status.get()), TRUE);
  SendMessageW(c_.status, SB_SETMINHEIGHT, scale(kStatusBarHeight, dpi_), 0);
}

// WM_DPICHANGED: the splitter keeps its place in proportion, the window takes
// the rectangle Windows suggests.
void MainWindow::dpi_changed(UINT dpi, const RECT& suggested) {
  if (dpi == 0 || dpi == dpi_) return;
  const UINT old = dpi_;
  dpi_ = dpi;
  // The old fonts and images are freed only once the controls have the new ones.
  std::unique_ptr<ScaledResources> previous =
      std::exchange(scaled_, std::make_unique<ScaledResources>(dpi));
  apply_scaled_resources();
  RECT bar;
  GetWindowRect(c_.splitter, &bar);
  MapWindowPoints(HWND_DESKTOP, hwnd_, reinterpret_cast<POINT*>(&bar), 2);
  MoveWindow(c_.splitter, MulDiv(bar.left, static_cast<int>(dpi), static_cast<int>(old)), 0,
             scale(kSplitterWidth, dpi), bar.bottom - bar.top, FALSE);
  SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  layout();
  if (writing_view_) apply_page_look();  // the column is so many pixels at this DPI
  InvalidateRect(hwnd_, nullptr, TRUE);
}

}  // namespace folivra
