// The content editor (a RichEdit control holding the chapter as RTF) and the
// Edit and Insert menus that act on it.
#include <richedit.h>

#include "app/main_window.h"
#include "ui/menu_ids.h"
#include "ui/rtf_stream.h"
#include "book/book_time.h"
#include "book/gbk_wide.h"

namespace folivra {

namespace {

bool only_ctrl() {
  return GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_MENU) >= 0;
}

bool no_modifier() {
  return GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_MENU) >= 0;
}

}  // namespace

void MainWindow::create_content_editor() {
  static const HMODULE library = LoadLibraryW(L"Msftedit.dll");
  const wchar_t* cls = library ? MSFTEDIT_CLASS : L"RichEdit20W";
  if (!library) LoadLibraryW(L"Riched20.dll");
  c_.content =
      CreateWindowExW(0, cls, L"",
                      WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE |
                          ES_AUTOVSCROLL | ES_WANTRETURN | ES_NOHIDESEL,
                      0, 0, 311, 347, c_.content_page, nullptr, GetModuleHandleW(nullptr), nullptr);
  // The default limit of 32,767 characters would cut long chapters.
  SendMessageW(c_.content, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
  SendMessageW(c_.content, EM_SETEVENTMASK, 0, ENM_CHANGE);

  SetWindowSubclass(c_.content, content_subclass, 0, reinterpret_cast<DWORD_PTR>(this));
}

std::string MainWindow::content_rtf() const { return save_rtf(c_.content); }

// A change only notes which chapter the editor's text belongs to; the RTF is
// taken out of the control when anything reads the book, not per keystroke.
void MainWindow::on_content_changed() {
  if (content_load_guard_) {
    content_load_guard_ = false;
    return;
  }
  refresh_edit_menu(false);
  if (content_locked_) return;  // the chapter shown takes nothing back
  const int s = selected_index();
  if (s < 1 || s > book_.chapter_count) return;  // no chapter to hold the text
  pending_content_ = s;
  set_modified(true);
}

void MainWindow::store_pending_content() {
  const int p = pending_content_;
  pending_content_ = 0;
  if (p >= 1 && p <= book_.chapter_count) {
    book_.chapters[static_cast<size_t>(p - 1)].content = content_rtf();
  }
}

Book& MainWindow::current_book() {
  store_pending_content();
  return book_;
}

void MainWindow::edit_command(UINT id) {
  switch (id) {
    case kCmdUndo:
      if (SendMessageW(c_.content, EM_CANUNDO, 0, 0)) SendMessageW(c_.content, EM_UNDO, 0, 0);
      break;
    case kCmdCut:
      SendMessageW(c_.content, WM_CUT, 0, 0);
      break;
    case kCmdCopy:
      SendMessageW(c_.content, WM_COPY, 0, 0);
      break;
    case kCmdPaste:
      if (SendMessageW(c_.content, EM_CANPASTE, 0, 0)) SendMessageW(c_.content, WM_PASTE, 0, 0);
      break;
    case kCmdDelete:
      SendMessageW(c_.content, WM_CLEAR, 0, 0);
      break;
    case kCmdSelectAll:
      select_all_keeping_view();
      break;
    case kCmdInsertDate:
      insert_date();
      break;
  }
}

void MainWindow::select_all_keeping_view() {
  const LRESULT first_line = SendMessageW(c_.content, EM_GETFIRSTVISIBLELINE, 0, 0);
  const LRESULT first_char = SendMessageW(c_.content, EM_LINEINDEX, first_line, 0);
  CHARRANGE all{0, -1};
  SendMessageW(c_.content, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
  SendMessageW(c_.content, EM_LINESCROLL, 0, -9999999);
  const LRESULT line = SendMessageW(c_.content, EM_EXLINEFROMCHAR, 0, first_char);
  SendMessageW(c_.content, EM_LINESCROLL, 0, line);
}

void MainWindow::insert_date() {
  if (GetFocus() != c_.content) return;
  const std::wstring now = gbk_to_wide(format_book_time(current_date_time()));
  SendMessageW(c_.content, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(now.c_str()));
}

void MainWindow::refresh_edit_menu(bool context) {
  PopupMenu& edit = *menus_.edit;
  edit.set_visible(kCmdReadOnly, !context);
  edit.set_visible(kCmdAddChapter, !context);

  const bool on_content = TabCtrl_GetCurSel(c_.tabs) == 1;
  CHARRANGE selection{};
  SendMessageW(c_.content, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
  GETTEXTLENGTHEX how{GTL_NUMCHARS, 1200};
  const LRESULT length =
      SendMessageW(c_.content, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0);
  const bool has_selection = selection.cpMax > selection.cpMin;
  const bool everything = selection.cpMin == 0 && selection.cpMax >= length;
  edit.set_enabled(kCmdUndo, on_content && SendMessageW(c_.content, EM_CANUNDO, 0, 0));
  for (UINT id : {kCmdCut, kCmdCopy, kCmdDelete}) edit.set_enabled(id, on_content && has_selection);
  edit.set_enabled(kCmdPaste, on_content && SendMessageW(c_.content, EM_CANPASTE, 0, 0));
  edit.set_enabled(kCmdSelectAll, on_content && !everything);
}

void MainWindow::refresh_insert_menu() {
  menus_.insert->set_enabled(kCmdInsertDate, GetFocus() == c_.content);
  menus_.insert->set_enabled(kCmdInsertBook, !read_only_);
}

// Up and Down scroll two lines; Ctrl+Left and Ctrl+Right step through the
// chapters. True when the key was used up here.
bool MainWindow::content_key(WPARAM key) {
  if ((key == VK_UP || key == VK_DOWN) && no_modifier()) {
    SendMessageW(c_.content, EM_LINESCROLL, 0, key == VK_UP ? -2 : 2);
    return true;
  }
  if (key == VK_RETURN && GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_SHIFT) < 0) {
    split_chapter();
    return true;
  }
  if ((key == VK_LEFT || key == VK_RIGHT) && only_ctrl()) {
    const int s = selected_index();
    const int target = key == VK_LEFT ? s - 1 : s + 1;
    if (key == VK_LEFT ? s <= 1 : target > book_.chapter_count) return false;
    TreeView_SelectItem(c_.tree, item_at(target));  // shows it through the tree
    SetFocus(c_.content);
    return true;
  }
  return false;
}

LRESULT MainWindow::content_message(UINT message, WPARAM wparam, LPARAM, bool& handled) {
  handled = true;
  switch (message) {
    case WM_KEYDOWN:
      if (content_key(wparam)) return 0;
      break;
    case WM_MOUSEMOVE:
      if (GetFocus() != c_.content && GetFocus() == c_.tree) SetFocus(c_.content);
      break;
    case WM_RBUTTONDOWN: {
      refresh_edit_menu(true);
      POINT at;
      GetCursorPos(&at);
      TrackPopupMenu(menus_.edit->handle(), TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd_, nullptr);
      return 0;
    }
  }
  handled = false;
  return 0;
}

LRESULT CALLBACK MainWindow::content_subclass(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                                              UINT_PTR, DWORD_PTR self) {
  if (message == WM_NCDESTROY) RemoveWindowSubclass(hwnd, content_subclass, 0);
  if (message != WM_NCDESTROY && self) {
    bool handled = false;
    const LRESULT result =
        reinterpret_cast<MainWindow*>(self)->content_message(message, wparam, lparam, handled);
    if (handled) return result;
  }
  return DefSubclassProc(hwnd, message, wparam, lparam);
}

}  // namespace folivra
