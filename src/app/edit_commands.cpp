// What the content editor tells the window, and the Edit, Insert and
// Format menus that act on it.
#include <richedit.h>

#include <algorithm>

#include "app/main_window.h"
#include "book/gbk_wide.h"
#include "ui/menu_ids.h"

namespace folivra {

Book& MainWindow::current_book() {
  store_pending_content();
  return doc_.book();
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
  tree_.select(target);  // shows it through the tree
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
  edit.set_visible(kCmdNewVolume, !context);
  const bool on_content = TabCtrl_GetCurSel(c_.tabs) == 1;
  const ContentEditor::EditState state = editor_.edit_state();
  edit.set_enabled(kCmdUndo, on_content && state.can_undo);
  for (UINT id : {kCmdCut, kCmdCopy, kCmdDelete}) {
    edit.set_enabled(id, on_content && state.has_selection);
  }
  edit.set_enabled(kCmdPaste, on_content && state.can_paste);
  edit.set_enabled(kCmdSelectAll, on_content && !state.everything_selected);
}

void MainWindow::refresh_format_menu() {
  const bool on = GetFocus() == c_.content && editor_.takes_text();
  for (UINT id : {kCmdBold, kCmdItalic, kCmdUnderline, kCmdSelectionFont, kCmdFirstLineIndent}) {
    menus_.format->set_enabled(id, on);
  }
  const CHARFORMAT2W now = editor_.selection_format();
  menus_.format->set_checked(kCmdBold, on && (now.dwMask & CFM_BOLD) && (now.dwEffects & CFE_BOLD));
  menus_.format->set_checked(kCmdItalic,
                             on && (now.dwMask & CFM_ITALIC) && (now.dwEffects & CFE_ITALIC));
  menus_.format->set_checked(kCmdUnderline,
                             on && (now.dwMask & CFM_UNDERLINE) && (now.dwEffects & CFE_UNDERLINE));
}

// The 格式 menu acts on the text being written, never on a field or the tree.
void MainWindow::format_command(UINT id) {
  if (GetFocus() != c_.content || !editor_.takes_text()) return;
  switch (id) {
    case kCmdBold:
      editor_.toggle_effect(CFM_BOLD, CFE_BOLD);
      break;
    case kCmdItalic:
      editor_.toggle_effect(CFM_ITALIC, CFE_ITALIC);
      break;
    case kCmdUnderline:
      editor_.toggle_effect(CFM_UNDERLINE, CFE_UNDERLINE);
      break;
    case kCmdFirstLineIndent:
      // Two characters of the editor's font.
      editor_.toggle_first_line_indent(std::max(font_.size, 1) * 20 * 2);
      break;
    case kCmdSelectionFont: {
      const CHARFORMAT2W now = editor_.selection_format();
      FontChoice choice = font_;
      if (now.dwMask & CFM_FACE) choice.name = wide_to_gbk_lossy(now.szFaceName);
      if (now.dwMask & CFM_SIZE) choice.size = now.yHeight / 20;
      if (!prompts_->choose_font(choice)) return;
      CHARFORMAT2W change{};
      change.cbSize = sizeof change;
      change.dwMask = CFM_FACE | CFM_SIZE | CFM_CHARSET;
      lstrcpynW(change.szFaceName, gbk_to_wide(choice.name).c_str(), LF_FACESIZE);
      change.yHeight = std::max(choice.size, 1) * 20;
      change.bCharSet = DEFAULT_CHARSET;
      editor_.apply_selection_format(change);
      break;
    }
  }
}

void MainWindow::refresh_insert_menu() {
  menus_.insert->set_enabled(kCmdInsertDate, GetFocus() == c_.content);
  menus_.insert->set_enabled(kCmdInsertBook, !read_only_);
}

}  // namespace folivra
