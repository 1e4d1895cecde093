// The chapter tree: one book item, under it one item per chapter whose item
// data is always its 1-based position.
#include <windowsx.h>

#include <algorithm>

#include "app/main_window.h"
#include "ui/menu_ids.h"
#include "ui/rtf_stream.h"
#include "book/gbk_wide.h"
#include "document/chapter_look.h"

namespace folivra {

namespace {

std::wstring item_text(HWND tree, HTREEITEM item) {
  wchar_t buffer[1024] = {};
  TVITEMW tv{};
  tv.mask = TVIF_TEXT;
  tv.hItem = item;
  tv.pszText = buffer;
  tv.cchTextMax = 1024;
  TreeView_GetItem(tree, &tv);
  return buffer;
}

}  // namespace

// The window keeps the chapter items in order beside the tree, so that a
// position and its item are found without walking thousands of siblings.
HTREEITEM MainWindow::item_at(int index) const {
  if (index < 0 || index > static_cast<int>(items_.size())) return nullptr;
  return index == 0 ? TreeView_GetRoot(c_.tree) : items_[static_cast<size_t>(index - 1)];
}

int MainWindow::item_data(HTREEITEM item) const {
  if (!item) return -1;
  if (item == TreeView_GetRoot(c_.tree)) return 0;
  const auto found = std::find(items_.begin(), items_.end(), item);
  return found == items_.end() ? -1 : static_cast<int>(found - items_.begin()) + 1;
}

int MainWindow::selected_index() const { return item_data(TreeView_GetSelection(c_.tree)); }

void MainWindow::show_chapter(int position) {
  if (position == 0) {
    select_page(0);
    return;
  }
  if (position < 0 || position > book_.chapter_count) return;
  store_pending_content();
  const Chapter& chapter = book_.chapters[static_cast<size_t>(position - 1)];
  const ChapterLook look = chapter_look(chapter);
  std::wstring status = gbk_to_wide(chapter.name);
  if (look == ChapterLook::damaged) status += L"（已损坏）";
  set_status(3, status);
  if (TabCtrl_GetCurSel(c_.tabs) != 1) select_page(1);
  // Only a text chapter takes the editor's text back: every other one is
  // shown read-only, a damaged one empty, and nothing typed can replace it.
  content_locked_ = look != ChapterLook::editable;
  SendMessageW(c_.content, EM_SETREADONLY, read_only_ || content_locked_, 0);
  SendMessageW(c_.content, EM_LINESCROLL, 0, -999999999);
  content_load_guard_ = true;
  load_chapter_text(c_.content,
                    look == ChapterLook::damaged ? std::string_view() : shown_content(chapter));
  // The editor reports the load as a change, or on some systems does not:
  // either way the next real change must be stored.
  content_load_guard_ = false;
}

void MainWindow::rename_chapter() {
  const HTREEITEM selected = TreeView_GetSelection(c_.tree);
  if (!selected) return;
  if (GetFocus() != c_.tree) SetFocus(c_.tree);
  TreeView_EditLabel(c_.tree, selected);
}

bool MainWindow::accept_label(const NMTVDISPINFOW& info) {
  const int p = item_data(info.item.hItem);
  if (p < 1 || p > book_.chapter_count) return false;
  if (!info.item.pszText || !*info.item.pszText) return false;
  const std::wstring text = info.item.pszText;
  if (text == item_text(c_.tree, info.item.hItem)) return false;
  if (doc_.rename(p, wide_to_gbk_lossy(text)).empty()) return false;
  set_modified(true);
  return true;
}

void MainWindow::show_tree_menu() {
  refresh_tree_menu();
  POINT at;
  GetCursorPos(&at);
  TrackPopupMenu(menus_.tree->handle(), TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd_, nullptr);
}

LRESULT MainWindow::on_tree_notify(NMHDR* header) {
  switch (header->code) {
    case TVN_SELCHANGEDW: {
      if (showing_book_) return 0;
      const auto* change = reinterpret_cast<NMTREEVIEWW*>(header);
      show_chapter(item_data(change->itemNew.hItem));
      SetFocus(c_.tree);
      return 0;
    }
    case TVN_BEGINLABELEDITW: {
      const auto* info = reinterpret_cast<NMTVDISPINFOW*>(header);
      if (item_data(info->item.hItem) == 0) return TRUE;  // the book item follows the title
      label_editing_ = true;
      return FALSE;
    }
    case TVN_ENDLABELEDITW:
      // Some tree controls report the end of one edit twice (the second time
      // when the edit box loses the focus as it goes): only the first counts.
      if (!label_editing_) return FALSE;
      label_editing_ = false;
      return accept_label(*reinterpret_cast<NMTVDISPINFOW*>(header));
    case TVN_BEGINDRAGW:
      begin_drag(reinterpret_cast<NMTREEVIEWW*>(header)->itemNew.hItem);
      return 0;
    case NM_RCLICK: {
      TVHITTESTINFO hit{};
      GetCursorPos(&hit.pt);
      ScreenToClient(c_.tree, &hit.pt);
      const HTREEITEM item = TreeView_HitTest(c_.tree, &hit);
      if (!item || !(hit.flags & TVHT_ONITEM)) return TRUE;
      TreeView_SelectItem(c_.tree, item);
      show_tree_menu();
      return TRUE;
    }
  }
  return 0;
}

LRESULT MainWindow::tree_message(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_KILLFOCUS: {
      const LRESULT result = DefSubclassProc(c_.tree, message, wparam, lparam);
      // Keep drawing the selection as focused while another control works.
      // Without a selection the tree would pick one on that notice, and the
      // selection change would take the focus back from where the user went.
      if (!TreeView_GetEditControl(c_.tree) && TreeView_GetSelection(c_.tree)) {
        SendMessageW(c_.tree, WM_SETFOCUS, 0, 0);
      }
      return result;
    }
    case WM_MOUSEMOVE:
      if (dragging_) {
        track_drag({GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)}, false);
        return 0;
      }
      if (GetFocus() != c_.tree && GetFocus() == c_.content) SetFocus(c_.tree);
      break;
    case WM_LBUTTONUP:
      if (dragging_) {
        track_drag({GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)}, true);
        return 0;
      }
      break;
    case WM_CAPTURECHANGED:
      if (dragging_ && reinterpret_cast<HWND>(lparam) != c_.tree) {
        dragging_ = 0;
        TreeView_SetInsertMark(c_.tree, nullptr, FALSE);
      }
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (const UINT id = tree_key(wparam)) {
        run_command(id);
        return 0;
      }
      break;
  }
  return DefSubclassProc(c_.tree, message, wparam, lparam);
}

// The tree's own keys for chapter operations; 0 when the key is not one.
UINT MainWindow::tree_key(WPARAM key) const {
  const bool ctrl = GetKeyState(VK_CONTROL) < 0, alt = GetKeyState(VK_MENU) < 0;
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  if (key == VK_INSERT && !ctrl && !alt && !shift) return kCmdTreeInsertChapter;
  if (alt && !ctrl && key == VK_UP) return kCmdTreeMoveUp;
  if (alt && !ctrl && key == VK_DOWN) return kCmdTreeMoveDown;
  if (ctrl && !alt && key == 'Z') return shift ? kCmdTreeRedo : kCmdTreeUndo;
  if (ctrl && !alt && key == 'Y') return kCmdTreeRedo;
  return 0;
}

LRESULT CALLBACK MainWindow::tree_subclass(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                                           UINT_PTR, DWORD_PTR self) {
  if (message == WM_NCDESTROY) RemoveWindowSubclass(hwnd, tree_subclass, 0);
  if (message == WM_NCDESTROY || !self) return DefSubclassProc(hwnd, message, wparam, lparam);
  return reinterpret_cast<MainWindow*>(self)->tree_message(message, wparam, lparam);
}

}  // namespace folivra

namespace folivra {

void MainWindow::add_chapter_items(int first) {
  const HTREEITEM root = item_at(0);
  if (!root) return;
  SendMessageW(c_.tree, WM_SETREDRAW, FALSE, 0);
  TVINSERTSTRUCTW insert{};
  insert.hParent = root;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  insert.item.iImage = insert.item.iSelectedImage = 2;
  items_.resize(static_cast<size_t>(std::max(first - 1, 0)));
  for (int p = first; p <= static_cast<int>(book_.chapters.size()); ++p) {
    const std::wstring name = gbk_to_wide(book_.chapters[static_cast<size_t>(p - 1)].name);
    insert.item.pszText = const_cast<wchar_t*>(name.c_str());
    items_.push_back(TreeView_InsertItem(c_.tree, &insert));
  }
  SendMessageW(c_.tree, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(c_.tree, nullptr, TRUE);
}

}  // namespace folivra
