// What the content editor tells the window, and the Edit and Insert menus
// that act on it.
#include "app/main_window.h"
#include "ui/menu_ids.h"

namespace folivra {

Book& MainWindow::current_book() {
  store_pending_content();
  return book_;
}

void MainWindow::content_changed(bool typed) {
  refresh_edit_menu(false);
  if (typed) {
    set_modified(true);
    SetTimer(hwnd_, kCountTimer, 400, nullptr);  // counted once typing pauses
  }
}

void MainWindow::content_command(unsigned id) { run_command(id); }

bool MainWindow::step_chapter(int delta) {
  const int current = selected_index();
  const int target = current + delta;
  if (current < 1 || target < 1 || target > doc_.count()) return false;
  TreeView_SelectItem(c_.tree, item_at(target));  // shows it through the tree
  SetFocus(c_.content);
  return true;
}

void MainWindow::content_control_renewed(HWND edit) {
  c_.content = edit;
  tree_.set_focus_partner(edit);
}

void MainWindow::content_menu_wanted() {
  refresh_edit_menu(true);
  POINT at;
  GetCursorPos(&at);
  TrackPopupMenu(menus_.edit->handle(), TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd_, nullptr);
}

void MainWindow::refresh_edit_menu(bool context) {
  PopupMenu& edit = *menus_.edit;
  edit.set_visible(kCmdReadOnly, !context);
  edit.set_visible(kCmdAddChapter, !context);
  const bool on_content = TabCtrl_GetCurSel(c_.tabs) == 1;
  const ContentEditor::EditState state = editor_.edit_state();
  edit.set_enabled(kCmdUndo, on_content && state.can_undo);
  for (UINT id : {kCmdCut, kCmdCopy, kCmdDelete}) {
    edit.set_enabled(id, on_content && state.has_selection);
  }
  edit.set_enabled(kCmdPaste, on_content && state.can_paste);
  edit.set_enabled(kCmdSelectAll, on_content && !state.everything_selected);
}

void MainWindow::refresh_insert_menu() {
  menus_.insert->set_enabled(kCmdInsertDate, GetFocus() == c_.content);
  menus_.insert->set_enabled(kCmdInsertBook, !read_only_);
}

}  // namespace folivra
