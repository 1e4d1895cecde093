// The information fields of the "介绍" page: title, author, type, time and
// introduction. They take no keys in read-only mode (Ctrl+C always copies),
// show a border while focused and store their values into the book.
#include "app/main_window.h"
#include "ui/window_text.h"
#include "book/gbk_wide.h"

namespace folivra {

namespace {

constexpr std::wstring_view kIndent = L"    ";

bool is_ctrl_c(WPARAM key, bool is_char) {
  if (is_char) return key == 0x03;  // the character Ctrl+C produces
  return key == 'C' && GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_SHIFT) >= 0 &&
         GetKeyState(VK_MENU) >= 0;
}

void set_border(HWND field, bool on) {
  LONG_PTR style = GetWindowLongPtrW(field, GWL_STYLE);
  style = on ? style | WS_BORDER : style & ~static_cast<LONG_PTR>(WS_BORDER);
  SetWindowLongPtrW(field, GWL_STYLE, style);
  SetWindowPos(field, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

}  // namespace

void MainWindow::hook_fields() {
  for (HWND field : {c_.title, c_.author, c_.book_type, c_.time, c_.intro}) {
    SetWindowSubclass(field, field_subclass, 0, reinterpret_cast<DWORD_PTR>(this));
  }
}

std::string* MainWindow::field_target(HWND field) {
  if (field == c_.title) return &book_.title;
  if (field == c_.author) return &book_.author;
  if (field == c_.book_type) return &book_.book_type;
  return nullptr;
}

bool MainWindow::field_takes_key(HWND field, WPARAM key, bool is_char) const {
  if (is_ctrl_c(key, is_char)) return true;
  return field != c_.time && !read_only_;
}

void MainWindow::on_field_focus(HWND field, bool gained) {
  if (gained) {
    if (!read_only_) set_border(field, true);
    return;
  }
  set_border(field, false);
  if (!read_only_) commit_field(field);
}

void MainWindow::commit_field(HWND field) {
  std::string* target = field_target(field);
  if (!target) return;
  const std::wstring text = window_text(field);
  if (text.empty()) {
    filling_fields_ = true;
    set_window_text(field, gbk_to_wide(*target));
    filling_fields_ = false;
    return;
  }
  *target = wide_to_gbk_lossy(text);
  set_modified(true);
}

// What is typed reaches the book at once, so that nothing that reads the
// book (a save, the guard, an export, the recovery copy) can miss it. An
// emptied title, author or type keeps the stored value until the field is
// left, where it is put back.
void MainWindow::on_field_changed(HWND field) {
  if (field == c_.title) {
    tree_.set_title(window_text(field));
  }
  if (filling_fields_ || read_only_) return;
  if (field == c_.intro) {
    std::wstring text = window_text(field);
    if (text.starts_with(kIndent)) text.erase(0, kIndent.size());
    book_.intro = wide_to_gbk_lossy(text);
    set_modified(true);
  } else if (std::string* target = field_target(field)) {
    const std::wstring text = window_text(field);
    if (text.empty()) return;
    *target = wide_to_gbk_lossy(text);
    set_modified(true);
  }
}

LRESULT CALLBACK MainWindow::field_subclass(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                                            UINT_PTR, DWORD_PTR self_ptr) {
  auto* self = reinterpret_cast<MainWindow*>(self_ptr);
  switch (message) {
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, field_subclass, 0);
      break;
    case WM_CONTEXTMENU:
      return 0;  // the information fields have no context menu
    case WM_KEYDOWN:
    case WM_CHAR:
      if (!self->field_takes_key(hwnd, wparam, message == WM_CHAR)) return 0;
      break;
  }
  return DefSubclassProc(hwnd, message, wparam, lparam);
}

}  // namespace folivra
