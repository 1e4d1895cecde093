// Showing a book in the window, and the two document flags.
#include "ui/cover_picture.h"
#include "app/main_window.h"
#include "ui/menu_ids.h"
#include "ui/picture_box.h"
#include "ui/window_text.h"
#include "book/book_time.h"
#include "book/gbk_wide.h"

namespace folivra {

void MainWindow::set_status(int pane, const std::wstring& text) {
  const WPARAM border = pane == 0 || pane == 2 ? SBT_NOBORDERS : 0;
  SendMessageW(c_.status, SB_SETTEXTW, static_cast<WPARAM>(pane) | border,
               reinterpret_cast<LPARAM>(text.c_str()));
}

void MainWindow::set_modified(bool modified) {
  doc_.set_modified(modified);
  menus_.enable(kCmdSave, modified);
  if (modified) {
    ++change_count_;
  } else if (recovery_ && recovery_->has_copy()) {
    recovery_->remove();  // saved, or another book replaced this one
  }
}

void MainWindow::toggle_read_only() {
  read_only_ = !read_only_;
  menus_.edit->set_checked(kCmdReadOnly, read_only_);
  SendMessageW(c_.content, EM_SETREADONLY, read_only_ || content_locked_, 0);
  apply_editor_font(false);
}

void MainWindow::fill_information() {
  filling_fields_ = true;
  const std::wstring title = gbk_to_wide(book_.title);
  set_window_text(c_.title, title);
  set_status(1, title);
  set_window_text(c_.author, gbk_to_wide(book_.author));
  set_window_text(c_.book_type, gbk_to_wide(book_.book_type));
  set_window_text(c_.time, gbk_to_wide(format_book_time(book_.time)));
  set_window_text(c_.intro, book_.intro.empty() ? L"" : L"    " + gbk_to_wide(book_.intro));
  filling_fields_ = false;

  RECT box;
  GetClientRect(c_.cover, &box);
  HBITMAP old = cover_bitmap_;
  cover_bitmap_ = decode_cover(book_.cover, box.right, box.bottom);
  set_picture(c_.cover, cover_bitmap_);
  if (old) DeleteObject(old);
}

void MainWindow::show_book(const Book& book) {
  doc_.replace(book);  // with a new history; the count follows the list
  pending_content_ = 0;
  content_load_guard_ = false;
  content_locked_ = false;
  showing_book_ = true;  // the tree's selection notices belong to the old book
  TreeView_DeleteAllItems(c_.tree);
  items_.clear();
  showing_book_ = false;
  select_page(0);
  fill_information();

  TVINSERTSTRUCTW insert{};
  insert.hParent = TVI_ROOT;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  insert.item.pszText = const_cast<wchar_t*>(L"拼命加载中..");
  const HTREEITEM root = TreeView_InsertItem(c_.tree, &insert);
  UpdateWindow(c_.tree);  // the placeholder is seen while the chapters are added

  SendMessageW(c_.tree, WM_SETREDRAW, FALSE, 0);
  const std::wstring title = gbk_to_wide(book_.title);
  TVITEMW item{};
  item.mask = TVIF_TEXT;
  item.hItem = root;
  item.pszText = const_cast<wchar_t*>(title.c_str());
  TreeView_SetItem(c_.tree, &item);
  insert.hParent = root;
  insert.item.iImage = insert.item.iSelectedImage = 2;
  for (int p = 1; p <= book_.chapter_count; ++p) {
    const Chapter& chapter = book_.chapters[static_cast<size_t>(p - 1)];
    const std::wstring name = gbk_to_wide(chapter.name);
    insert.item.pszText = const_cast<wchar_t*>(name.c_str());
    items_.push_back(TreeView_InsertItem(c_.tree, &insert));
  }
  TreeView_Expand(c_.tree, root, TVE_EXPAND);
  SendMessageW(c_.tree, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(c_.tree, nullptr, TRUE);

  read_only_ = false;
  menus_.edit->set_checked(kCmdReadOnly, false);
  for (UINT id :
       {kCmdSaveAs, kCmdConvertText, kCmdSetPassword, kCmdAddChapter, kCmdReadOnly, kCmdCompile}) {
    menus_.enable(id, true);
  }
  set_modified(false);
}

}  // namespace folivra
