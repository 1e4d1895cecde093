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

namespace folivra {

namespace {

const std::string kNewChapterName = gbk_of("新的章节");
const std::string kSplitSuffix = gbk_of("（续）");

void set_item_text(HWND tree, HTREEITEM item, const std::wstring& text) {
  TVITEMW tv{};
  tv.mask = TVIF_TEXT;
  tv.hItem = item;
  tv.pszText = const_cast<wchar_t*>(text.c_str());
  TreeView_SetItem(tree, &tv);
}

bool joinable(const Chapter& chapter) { return chapter_look(chapter) == ChapterLook::editable; }

}  // namespace

void MainWindow::insert_item(int position) {
  const HTREEITEM root = item_at(0);
  if (!root) return;
  TVINSERTSTRUCTW insert{};
  insert.hParent = root;
  insert.hInsertAfter = position == 1 ? TVI_FIRST : item_at(position - 1);
  insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  const std::wstring name = gbk_to_wide(doc_.chapter(position).name);
  insert.item.pszText = const_cast<wchar_t*>(name.c_str());
  insert.item.iImage = insert.item.iSelectedImage = 2;
  const HTREEITEM item = TreeView_InsertItem(c_.tree, &insert);
  items_.insert(items_.begin() + (position - 1), item);
}

void MainWindow::remove_item(int position) {
  const HTREEITEM item = item_at(position);
  items_.erase(items_.begin() + (position - 1));
  TreeView_DeleteItem(c_.tree, item);
}

// Mirrors the document's steps in the tree, then selects `select` (0 for the
// book item) and shows it afresh: the editor never keeps a text that now
// belongs to another position.
void MainWindow::show_changes(const ChapterChanges& changes, int select) {
  if (changes.empty()) return;
  showing_book_ = true;  // selection notices while items come and go are not the user's
  SendMessageW(c_.tree, WM_SETREDRAW, FALSE, 0);
  for (const ChapterChange& change : changes) {
    switch (change.kind) {
      case ChapterChange::Kind::inserted:
        insert_item(change.position);
        break;
      case ChapterChange::Kind::removed:
        remove_item(change.position);
        break;
      case ChapterChange::Kind::renamed:
        set_item_text(c_.tree, item_at(change.position),
                      gbk_to_wide(doc_.chapter(change.position).name));
        break;
      case ChapterChange::Kind::moved:
        remove_item(change.position);
        insert_item(change.to);
        break;
      case ChapterChange::Kind::content:
        break;
    }
  }
  SendMessageW(c_.tree, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(c_.tree, nullptr, TRUE);
  const HTREEITEM root = item_at(0);
  if (root && !(TreeView_GetItemState(c_.tree, root, TVIS_EXPANDED) & TVIS_EXPANDED)) {
    TreeView_Expand(c_.tree, root, TVE_EXPAND);
  }
  select = std::clamp(select, 0, doc_.count());
  TreeView_SelectItem(c_.tree, item_at(select));
  showing_book_ = false;
  pending_content_ = 0;
  if (const HTREEITEM item = item_at(select)) TreeView_EnsureVisible(c_.tree, item);
  show_chapter(select);
  set_modified(true);
}

void MainWindow::add_chapter() {
  store_pending_content();
  if (doc_.add(kNewChapterName).empty()) return;
  insert_item(doc_.count());
  const HTREEITEM root = item_at(0);
  if (root && !(TreeView_GetItemState(c_.tree, root, TVIS_EXPANDED) & TVIS_EXPANDED)) {
    TreeView_Expand(c_.tree, root, TVE_EXPAND);
  }
  if (GetFocus() != c_.tree) SetFocus(c_.tree);
  TreeView_EditLabel(c_.tree, item_at(doc_.count()));
  set_modified(true);
}

void MainWindow::insert_chapter() {
  const HTREEITEM selected = TreeView_GetSelection(c_.tree);
  const int position = selected ? item_data(selected) + 1 : doc_.count() + 1;
  store_pending_content();
  const ChapterChanges changes = doc_.insert(position, kNewChapterName);
  show_changes(changes, position);
  if (changes.empty()) return;
  if (GetFocus() != c_.tree) SetFocus(c_.tree);
  TreeView_EditLabel(c_.tree, item_at(position));
}

void MainWindow::delete_chapter() {
  const int p = item_data(TreeView_GetSelection(c_.tree));
  if (p < 1 || p > doc_.count()) return;
  store_pending_content();
  // The next chapter is shown, else the previous one, else the book item.
  const int next = p < doc_.count() ? p : p - 1;
  show_changes(doc_.remove(p), next);
}

void MainWindow::move_chapter(int from, int to) {
  store_pending_content();
  show_changes(doc_.move(from, to), to);
}

void MainWindow::split_chapter() {
  const int p = selected_index();
  if (p < 1 || p > doc_.count() || read_only_ || !joinable(doc_.chapter(p))) return;
  CHARRANGE caret{};
  SendMessageW(c_.content, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&caret));
  store_pending_content();
  RtfHalves halves = split_chapter_text(c_.content, doc_.chapter(p).content, caret.cpMin);
  const std::string name = doc_.chapter(p).name + kSplitSuffix;
  const ChapterChanges changes =
      doc_.split(p, std::move(halves.first), std::move(halves.second), name);
  show_changes(changes, p + 1);
  if (changes.empty()) return;
  SetFocus(c_.tree);
  TreeView_EditLabel(c_.tree, item_at(p + 1));  // the new name can be changed at once
}

void MainWindow::merge_chapter() {
  const int p = item_data(TreeView_GetSelection(c_.tree));
  if (p < 1 || p >= doc_.count() || read_only_) return;
  if (!joinable(doc_.chapter(p)) || !joinable(doc_.chapter(p + 1))) return;
  store_pending_content();
  std::string joined =
      join_chapter_texts(c_.content, doc_.chapter(p).content, doc_.chapter(p + 1).content);
  show_changes(doc_.merge(p, std::move(joined)), p);
}

void MainWindow::undo_chapters(bool redo) {
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
  const int p = item_data(TreeView_GetSelection(c_.tree));
  const int n = doc_.count();
  const bool editable = !read_only_;
  menu.set_enabled(kCmdTreeRenameChapter, p != 0);
  menu.set_enabled(kCmdTreeDeleteChapter, p >= 1);
  menu.set_enabled(kCmdTreeMoveUp, p > 1);
  menu.set_enabled(kCmdTreeMoveDown, p >= 1 && p < n);
  menu.set_enabled(kCmdTreeSplitChapter, editable && p >= 1 && joinable(doc_.chapter(p)));
  menu.set_enabled(kCmdTreeMergeChapter, editable && p >= 1 && p < n && joinable(doc_.chapter(p)) &&
                                             joinable(doc_.chapter(p + 1)));
  const std::string undo = doc_.undo_name(), redo = doc_.redo_name();
  menu.set_caption(kCmdTreeUndo, L"撤销" + gbk_to_wide(undo) + L"\tCtrl+Z");
  menu.set_caption(kCmdTreeRedo, L"重做" + gbk_to_wide(redo) + L"\tCtrl+Y");
  menu.set_enabled(kCmdTreeUndo, !undo.empty());
  menu.set_enabled(kCmdTreeRedo, !redo.empty());
}

// Dragging a chapter: the tree holds the mouse, an insertion mark shows
// where it would go, and letting go moves it there.
void MainWindow::begin_drag(HTREEITEM item) {
  const int p = item_data(item);
  if (p < 1) return;
  dragging_ = p;
  SetCapture(c_.tree);
}

// The position a chapter dropped at `at` (tree client coordinates) ends at.
int MainWindow::drop_position(POINT at) const {
  TVHITTESTINFO hit{};
  hit.pt = at;
  const HTREEITEM item = TreeView_HitTest(c_.tree, &hit);
  if (!item) return 0;
  const int q = item_data(item);
  if (q == 0) return 1;  // onto the book: first
  RECT r;
  TreeView_GetItemRect(c_.tree, item, &r, FALSE);
  const bool after = at.y >= (r.top + r.bottom) / 2;
  const int before_index = after ? q + 1 : q;  // the gap the chapter goes into
  return dragging_ < before_index ? before_index - 1 : before_index;
}

void MainWindow::track_drag(POINT at, bool drop) {
  const int to = drop_position(at);
  if (!drop) {
    TVHITTESTINFO hit{};
    hit.pt = at;
    const HTREEITEM item = TreeView_HitTest(c_.tree, &hit);
    RECT r{};
    if (item) TreeView_GetItemRect(c_.tree, item, &r, FALSE);
    TreeView_SetInsertMark(c_.tree, item, item && at.y >= (r.top + r.bottom) / 2);
    return;
  }
  const int from = dragging_;
  dragging_ = 0;
  TreeView_SetInsertMark(c_.tree, nullptr, FALSE);
  ReleaseCapture();
  if (to >= 1 && to != from) move_chapter(from, to);
}

}  // namespace folivra
