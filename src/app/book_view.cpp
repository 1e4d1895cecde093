// Showing a book in the window, and the two document flags.
#include "ui/cover_picture.h"
#include "app/main_window.h"
#include "document/chapter_look.h"
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

void MainWindow::show_chapter(int position) {
  if (position == 0) {
    editor_.leave();
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
  editor_.show(position, look == ChapterLook::damaged ? std::string_view() : shown_content(chapter),
               look == ChapterLook::editable);
}

void MainWindow::toggle_read_only() {
  read_only_ = !read_only_;
  info_.set_read_only(read_only_);
  menus_.edit->set_checked(kCmdReadOnly, read_only_);
  editor_.set_read_only(read_only_);
  apply_editor_font(false);
}

void MainWindow::show_book(const Book& book) {
  doc_.replace(book);  // with a new history; the count follows the list
  editor_.forget();
  select_page(0);
  info_.fill();
  set_status(1, gbk_to_wide(book_.title));
  tree_.fill(book_);

  read_only_ = false;
  info_.set_read_only(false);
  menus_.edit->set_checked(kCmdReadOnly, false);
  for (UINT id :
       {kCmdSaveAs, kCmdConvertText, kCmdSetPassword, kCmdAddChapter, kCmdReadOnly, kCmdCompile}) {
    menus_.enable(id, true);
  }
  set_modified(false);
}

}  // namespace folivra
