// The chapter operations of the tree: add, insert, delete, move (by keys and
// by dragging), split, merge, and their undo. The document does the work;
// the tree follows it item by item, never refilled.
#include <richedit.h>

#include <algorithm>

#include "app/main_window.h"
#include "ui/menu_ids.h"
#include "ui/rtf_stream.h"
#include "book/gbk.h"
#include "book/gbk_wide.h"
#include "document/chapter_look.h"
#include "text/volumes.h"
#include "text/chapter_cut.h"

namespace folivra {

namespace {

const std::string kNewChapterName = gbk_of("新的章节");
const std::string kSplitSuffix = gbk_of("（续）");

bool joinable(const Chapter& chapter) { return chapter_look(chapter) == ChapterLook::editable; }

}  // namespace

// Mirrors the document's steps in the tree, then selects `select` (0 for the
// book item) and shows it afresh: the editor never keeps a text that now
// belongs to another position.
void MainWindow::show_changes(const ChapterChanges& changes, int select) {
  if (changes.empty()) return;
  counts_.follow(changes);
  tree_.follow(changes, doc_, select);
  show_chapter(std::clamp(select, 0, doc_.count()));
  set_modified(true);
}

// In read-only mode the chapters stay as they are, like their text.
void MainWindow::add_chapter() {
  if (read_only_) return;
  store_pending_content();
  const int selected = selected_index();
  const ChapterChanges changes = doc_.add(kNewChapterName);
  if (changes.empty()) return;
  counts_.follow(changes);
  tree_.follow(changes, doc_, selected);  // the selection stays
  refresh_counts();
  tree_.edit_label(doc_.count());
  set_modified(true);
}

void MainWindow::insert_chapter() {
  if (read_only_) return;
  const int selected = selected_index();
  const int position = selected >= 0 ? selected + 1 : doc_.count() + 1;
  store_pending_content();
  const ChapterChanges changes = doc_.insert(position, kNewChapterName);
  show_renumbered(changes, position);
  if (!changes.empty()) tree_.edit_label(position);
}

void MainWindow::delete_chapter() {
  const int p = selected_index();
  if (p < 1 || p > doc_.count() || read_only_) return;
  store_pending_content();
  if (tree_.is_volume(p)) {
    delete_volume(p);
    return;
  }
  // The next chapter is shown, else the previous one, else the book item.
  const int next = p < doc_.count() ? p : p - 1;
  show_renumbered(doc_.remove(p), next);
}

// A volume moves with its chapters, `to` being where the volume ends.
void MainWindow::move_chapter(int from, int to) {
  if (read_only_) return;
  store_pending_content();
  if (tree_.is_volume(from)) {
    const int end = volume_end(tree_.volumes(), doc_.count(), from);
    show_renumbered(doc_.move_run(from, end, to), to);
    return;
  }
  show_renumbered(doc_.move(from, to), to);
}

void MainWindow::split_chapter() {
  const int p = selected_index();
  if (p < 1 || p > doc_.count() || read_only_ || !joinable(doc_.chapter(p))) return;
  const LONG caret = editor_.caret();
  store_pending_content();
  std::optional<ContentHalves> halves =
      cut_chapter_content(doc_.chapter(p).content, static_cast<size_t>(std::max<LONG>(caret, 0)));
  if (!halves) return;
  const std::string name = doc_.chapter(p).name + kSplitSuffix;
  const ChapterChanges changes =
      doc_.split(p, std::move(halves->first), std::move(halves->second), name);
  show_changes(changes, p + 1);
  if (!changes.empty()) tree_.edit_label(p + 1);  // the new name can be changed at once
}

void MainWindow::merge_chapter() {
  const int p = selected_index();
  if (p < 1 || p >= doc_.count() || read_only_) return;
  if (!joinable(doc_.chapter(p)) || !joinable(doc_.chapter(p + 1))) return;
  store_pending_content();
  std::string joined = join_chapter_contents(doc_.chapter(p).content, doc_.chapter(p + 1).content);
  show_changes(doc_.merge(p, std::move(joined)), p);
}

void MainWindow::undo_chapters(bool redo) {
  if (read_only_) return;
  store_pending_content();
  const ChapterChanges changes = redo ? doc_.redo() : doc_.undo();
  if (changes.empty()) return;
  // The chapter the operation touched is shown; a move shows where it went.
  const ChapterChange& last = changes.back();
  const ChapterChange& first = changes.front();
  const int select = last.kind == ChapterChange::Kind::moved ? last.to
                     : first.kind == ChapterChange::Kind::removed
                         ? std::min(first.position, doc_.count())
                         : first.position;
  show_changes(changes, select);
}

void MainWindow::refresh_tree_menu() {
  PopupMenu& menu = *menus_.tree;
  const int p = selected_index();
  const int n = doc_.count();
  const bool editable = !read_only_;
  menu.set_enabled(kCmdTreeAddChapter, editable);
  menu.set_enabled(kCmdTreeInsertChapter, editable);
  menu.set_enabled(kCmdTreeRenameChapter, editable && p != 0);
  menu.set_enabled(kCmdTreeDeleteChapter, editable && p >= 1);
  menu.set_enabled(kCmdTreeMoveUp, editable && p > 1);
  menu.set_enabled(kCmdTreeMoveDown, editable && p >= 1 && p < n);
  menu.set_enabled(kCmdTreeSplitChapter, editable && p >= 1 && joinable(doc_.chapter(p)));
  menu.set_enabled(kCmdTreeMergeChapter, editable && p >= 1 && p < n && joinable(doc_.chapter(p)) &&
                                             joinable(doc_.chapter(p + 1)));
  const std::string undo = doc_.undo_name(), redo = doc_.redo_name();
  menu.set_caption(kCmdTreeUndo, L"撤销" + gbk_to_wide(undo) + L"\tCtrl+Z");
  menu.set_caption(kCmdTreeRedo, L"重做" + gbk_to_wide(redo) + L"\tCtrl+Y");
  menu.set_enabled(kCmdTreeUndo, editable && !undo.empty());
  menu.set_enabled(kCmdTreeRedo, editable && !redo.empty());
  menu.set_enabled(kCmdTreeHistory, p >= 1);
  menu.set_enabled(kCmdTreeRenumber, editable && n > 0);
  menu.set_enabled(kCmdTreeNewVolume, editable);
  menu.set_enabled(kCmdTreeSetVolume, can_toggle_volume(p));
  menu.set_checked(kCmdTreeSetVolume, p >= 1 && tree_.is_volume(p));
  menu.set_caption(kCmdTreeDeleteChapter,
                   p >= 1 && tree_.is_volume(p) ? L"删除分卷\tDel" : L"删除此章\tDel");
}

void MainWindow::add_chapter_items(int first) { tree_.add_items(doc_.book(), first); }

void MainWindow::rename_chapter() { tree_.edit_label(selected_index()); }

void MainWindow::chapter_chosen(int position) { show_chapter(position); }

bool MainWindow::chapter_renamed(int position, const std::string& name) {
  if (read_only_) return false;
  if (doc_.rename(position, name).empty()) return false;
  if (position == selected_index()) set_status(3, gbk_to_wide(name));
  set_modified(true);
  return true;
}

void MainWindow::chapter_dropped(int from, int to) { move_chapter(from, to); }

void MainWindow::tree_command(unsigned id) { run_command(id); }

void MainWindow::chapter_entered(int position) {
  show_chapter(position);
  SetFocus(c_.content);
}

void MainWindow::tree_menu_wanted(POINT at) {
  refresh_tree_menu();
  TrackPopupMenu(menus_.tree->handle(), TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd_, nullptr);
}

}  // namespace folivra
