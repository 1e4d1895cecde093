#include "editor/chapter_tree.h"

#include <windowsx.h>

#include <algorithm>

#include "book/gbk_wide.h"
#include "text/volumes.h"
#include "ui/menu_ids.h"

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

void set_item_text(HWND tree, HTREEITEM item, const std::wstring& text) {
  TVITEMW tv{};
  tv.mask = TVIF_TEXT;
  tv.hItem = item;
  tv.pszText = const_cast<wchar_t*>(text.c_str());
  TreeView_SetItem(tree, &tv);
}

constexpr int kChapterImage = 2, kVolumeImage = 3;

HTREEITEM insert_under(HWND tree, HTREEITEM parent, HTREEITEM after, const std::wstring& text,
                       bool volume) {
  TVINSERTSTRUCTW insert{};
  insert.hParent = parent;
  insert.hInsertAfter = after;
  insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  insert.item.pszText = const_cast<wchar_t*>(text.c_str());
  insert.item.iImage = insert.item.iSelectedImage = volume ? kVolumeImage : kChapterImage;
  return TreeView_InsertItem(tree, &insert);
}

}  // namespace

HWND ChapterTree::create(HWND parent, HFONT font, HIMAGELIST images) {
  tree_ = CreateWindowExW(0, WC_TREEVIEWW, L"",
                          WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | TVS_HASLINES |
                              TVS_HASBUTTONS | TVS_LINESATROOT | TVS_EDITLABELS |
                              TVS_SHOWSELALWAYS | TVS_INFOTIP,
                          0, 0, 156, 352, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  SendMessageW(tree_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  TreeView_SetImageList(tree_, images, TVSIL_NORMAL);
  SetWindowSubclass(tree_, subclass, 0, reinterpret_cast<DWORD_PTR>(this));
  return tree_;
}

void ChapterTree::rescale(HFONT font, HIMAGELIST images) {
  SendMessageW(tree_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  TreeView_SetImageList(tree_, images, TVSIL_NORMAL);
}

HTREEITEM ChapterTree::item_at(int position) const {
  if (position < 0 || position > static_cast<int>(items_.size())) return nullptr;
  return position == 0 ? TreeView_GetRoot(tree_) : items_[static_cast<size_t>(position - 1)];
}

void ChapterTree::select(int position) { TreeView_SelectItem(tree_, item_at(position)); }

int ChapterTree::position_of(HTREEITEM item) const {
  if (!item) return -1;
  if (item == TreeView_GetRoot(tree_)) return 0;
  const auto found = std::find(items_.begin(), items_.end(), item);
  return found == items_.end() ? -1 : static_cast<int>(found - items_.begin()) + 1;
}

void ChapterTree::fill(const Book& book) {
  clear();  // the selection notices of the old book's items are not the user's
  TVINSERTSTRUCTW insert{};
  insert.hParent = TVI_ROOT;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  insert.item.pszText = const_cast<wchar_t*>(L"拼命加载中..");
  const HTREEITEM root = TreeView_InsertItem(tree_, &insert);
  UpdateWindow(tree_);  // the placeholder is seen while the chapters are added
  begin_batch();
  set_title(gbk_to_wide(book.title));
  add_items(book, 1);
  TreeView_Expand(tree_, root, TVE_EXPAND);
  end_batch();
}

// Items come and go with the tree's redrawing off and without its subclass:
// under Wine every message through a SetWindowSubclass chain looks up a
// window property in the server, and the tree sends itself messages for
// every item (5,000 chapters took 0.9 s instead of 10 ms). No input comes
// in meanwhile.
void ChapterTree::begin_batch() {
  if (batches_++ > 0) return;
  SendMessageW(tree_, WM_SETREDRAW, FALSE, 0);
  RemoveWindowSubclass(tree_, subclass, 0);
}

void ChapterTree::end_batch() {
  if (--batches_ > 0) return;
  SetWindowSubclass(tree_, subclass, 0, reinterpret_cast<DWORD_PTR>(this));
  SendMessageW(tree_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(tree_, nullptr, TRUE);
}

void ChapterTree::clear() {
  quiet_ = true;
  TreeView_DeleteAllItems(tree_);
  items_.clear();
  volumes_.clear();
  quiet_ = false;
}

void ChapterTree::add_items(const Book& book, int first) {
  const HTREEITEM root = item_at(0);
  if (!root) return;
  std::vector<int> volumes = volume_positions(book);
  if (!volumes.empty() || !volumes_.empty()) {
    rebuild(book, std::move(volumes));
    return;
  }
  begin_batch();
  items_.resize(static_cast<size_t>(std::max(first - 1, 0)));
  for (size_t p = items_.size() + 1; p <= book.chapters.size(); ++p) {
    const std::wstring name = gbk_to_wide(book.chapters[p - 1].name);
    items_.push_back(insert_under(tree_, root, TVI_LAST, name, false));
  }
  end_batch();
}

void ChapterTree::rebuild(const Book& book, std::vector<int> volumes) {
  const HTREEITEM root = item_at(0);
  if (!root) return;
  std::set<std::wstring> collapsed;
  for (int v : volumes_) {
    if (!expanded(v)) collapsed.insert(item_text(tree_, item_at(v)));
  }
  const int top = position_of(TreeView_GetFirstVisible(tree_));
  const int chosen = selected();
  const bool was_quiet = quiet_;
  quiet_ = true;
  begin_batch();
  while (const HTREEITEM child = TreeView_GetChild(tree_, root)) TreeView_DeleteItem(tree_, child);
  items_.clear();
  volumes_ = std::move(volumes);
  HTREEITEM parent = root;
  auto next_volume = volumes_.begin();
  for (size_t p = 1; p <= book.chapters.size(); ++p) {
    const bool volume = next_volume != volumes_.end() && *next_volume == static_cast<int>(p);
    const std::wstring name = gbk_to_wide(book.chapters[p - 1].name);
    const HTREEITEM item = insert_under(tree_, volume ? root : parent, TVI_LAST, name, volume);
    items_.push_back(item);
    if (volume) {
      parent = item;
      ++next_volume;
    }
  }
  TreeView_Expand(tree_, root, TVE_EXPAND);
  for (int v : volumes_) {
    if (!collapsed.count(item_text(tree_, item_at(v))))
      TreeView_Expand(tree_, item_at(v), TVE_EXPAND);
  }
  if (chosen >= 0) TreeView_SelectItem(tree_, item_at(std::min(chosen, count_items())));
  if (top >= 0) TreeView_SelectSetFirstVisible(tree_, item_at(std::min(top, count_items())));
  end_batch();
  quiet_ = was_quiet;
}

void ChapterTree::check_volumes(const Book& book) {
  std::vector<int> volumes = volume_positions(book);
  if (volumes != volumes_) rebuild(book, std::move(volumes));
}

bool ChapterTree::is_volume(int position) const {
  return std::binary_search(volumes_.begin(), volumes_.end(), position);
}

bool ChapterTree::expanded(int position) const {
  const HTREEITEM item = item_at(position);
  return item && (TreeView_GetItemState(tree_, item, TVIS_EXPANDED) & TVIS_EXPANDED);
}

void ChapterTree::set_title(const std::wstring& title) {
  if (const HTREEITEM root = item_at(0)) set_item_text(tree_, root, title);
}

void ChapterTree::insert_item(int position, const std::string& name) {
  const HTREEITEM root = item_at(0);
  if (!root) return;
  const HTREEITEM after = position == 1 ? TVI_FIRST : item_at(position - 1);
  items_.insert(items_.begin() + (position - 1),
                insert_under(tree_, root, after, gbk_to_wide(name), false));
}

void ChapterTree::remove_item(int position) {
  const HTREEITEM item = item_at(position);
  items_.erase(items_.begin() + (position - 1));
  TreeView_DeleteItem(tree_, item);
}

void ChapterTree::follow(const ChapterChanges& changes, const Document& doc, int select) {
  quiet_ = true;
  begin_batch();
  std::vector<int> volumes = volume_positions(doc.book());
  // A book of volumes is laid out again: its chapters may have changed hands.
  if (!volumes.empty() || !volumes_.empty()) {
    rebuild(doc.book(), std::move(volumes));
  } else {
    follow_flat(changes, doc);
  }
  end_batch();
  expand();
  quiet_ = false;
  if (select >= 0) select_quietly(select);
}

void ChapterTree::follow_flat(const ChapterChanges& changes, const Document& doc) {
  for (const ChapterChange& change : changes) {
    switch (change.kind) {
      case ChapterChange::Kind::inserted:
        insert_item(change.position, doc.chapter(change.position).name);
        break;
      case ChapterChange::Kind::removed:
        remove_item(change.position);
        break;
      case ChapterChange::Kind::renamed:
        set_item_text(tree_, item_at(change.position),
                      gbk_to_wide(doc.chapter(change.position).name));
        break;
      case ChapterChange::Kind::moved:
        remove_item(change.position);
        insert_item(change.to, doc.chapter(change.to).name);
        break;
      case ChapterChange::Kind::content:
        break;
    }
  }
}

void ChapterTree::select_quietly(int position) {
  quiet_ = true;
  const HTREEITEM item = item_at(std::clamp(position, 0, static_cast<int>(items_.size())));
  TreeView_SelectItem(tree_, item);
  if (item) TreeView_EnsureVisible(tree_, item);
  quiet_ = false;
}

void ChapterTree::expand() {
  const HTREEITEM root = item_at(0);
  if (root && !(TreeView_GetItemState(tree_, root, TVIS_EXPANDED) & TVIS_EXPANDED)) {
    TreeView_Expand(tree_, root, TVE_EXPAND);
  }
}

void ChapterTree::edit_label(int position) {
  const HTREEITEM item = item_at(position);
  if (!item) return;
  if (GetFocus() != tree_) SetFocus(tree_);
  edit_asked_ = true;
  TreeView_EditLabel(tree_, item);
  edit_asked_ = false;
}

void ChapterTree::show_counts(std::function<long long(int position)> words) {
  words_ = std::move(words);
  InvalidateRect(tree_, nullptr, TRUE);
}

// After a chapter's name: its 字数, in the grey of secondary text.
void ChapterTree::draw_count(const NMTVCUSTOMDRAW& draw) const {
  const HTREEITEM item = reinterpret_cast<HTREEITEM>(draw.nmcd.dwItemSpec);
  const int position = position_of(item);
  if (position < 1) return;
  RECT label{};
  if (!TreeView_GetItemRect(tree_, item, &label, TRUE)) return;
  long long words = words_(position);
  if (words < 0) return;      // not counted yet
  if (is_volume(position)) {  // a volume's is its chapters'
    const int end = volume_end(volumes_, count_items(), position);
    for (int p = position + 1; p <= end; ++p) words += words_(p);
  }
  const std::wstring text = L"（" + std::to_wstring(words) + L"）";
  RECT room{label.right + 2, label.top, draw.nmcd.rc.right, label.bottom};
  SetBkMode(draw.nmcd.hdc, TRANSPARENT);
  SetTextColor(draw.nmcd.hdc, GetSysColor(COLOR_GRAYTEXT));
  DrawTextW(draw.nmcd.hdc, text.c_str(), -1, &room,
            DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

LRESULT ChapterTree::on_notify(NMHDR* header) {
  switch (header->code) {
    case TVN_SELCHANGEDW:
      if (!quiet_) {
        listener_.chapter_chosen(
            position_of(reinterpret_cast<NMTREEVIEWW*>(header)->itemNew.hItem));
        SetFocus(tree_);
      }
      return 0;
    case TVN_BEGINLABELEDITW: {
      const auto* info = reinterpret_cast<NMTVDISPINFOW*>(header);
      if (position_of(info->item.hItem) == 0) return TRUE;  // the book item follows the title
      if (locked_ || !(edit_asked_ || slow_second_click_)) return TRUE;
      slow_second_click_ = false;
      label_editing_ = true;
      return FALSE;
    }
    case TVN_ENDLABELEDITW: {
      // Some tree controls report the end of one edit twice (the second time
      // when the edit box loses the focus as it goes): only the first counts.
      if (!label_editing_) return FALSE;
      label_editing_ = false;
      const auto& info = *reinterpret_cast<NMTVDISPINFOW*>(header);
      const int p = position_of(info.item.hItem);
      if (p < 1 || !info.item.pszText || !*info.item.pszText) return FALSE;
      const std::wstring text = info.item.pszText;
      if (text == item_text(tree_, info.item.hItem)) return FALSE;
      return listener_.chapter_renamed(p, wide_to_gbk_lossy(text));
    }
    case NM_CUSTOMDRAW: {
      // The chapter being written stays plainly marked while the focus is in
      // its text or in a new chapter's label, whatever the theme makes of an
      // unfocused selection.
      // With 目录显示字数, each chapter's 字数 follows its name.
      auto* draw = reinterpret_cast<NMTVCUSTOMDRAW*>(header);
      if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
      if (draw->nmcd.dwDrawStage == CDDS_ITEMPOSTPAINT) {
        draw_count(*draw);
        return CDRF_DODEFAULT;
      }
      if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT &&
          reinterpret_cast<HTREEITEM>(draw->nmcd.dwItemSpec) == TreeView_GetSelection(tree_)) {
        draw->clrText = GetSysColor(COLOR_HIGHLIGHTTEXT);
        draw->clrTextBk = GetSysColor(COLOR_HIGHLIGHT);
      }
      return words_ ? CDRF_NOTIFYPOSTPAINT : CDRF_DODEFAULT;
    }
    case TVN_GETINFOTIPW: {  // the whole name, for names the narrow tree cuts
      auto* tip = reinterpret_cast<NMTVGETINFOTIPW*>(header);
      const std::wstring text = item_text(tree_, tip->hItem);
      lstrcpynW(tip->pszText, text.c_str(), tip->cchTextMax);
      return 0;
    }
    case TVN_BEGINDRAGW: {
      const int p = position_of(reinterpret_cast<NMTREEVIEWW*>(header)->itemNew.hItem);
      if (p >= 1 && !locked_) {
        dragging_ = p;
        SetCapture(tree_);
      }
      return 0;
    }
    case NM_RCLICK: {
      TVHITTESTINFO hit{};
      GetCursorPos(&hit.pt);
      ScreenToClient(tree_, &hit.pt);
      const HTREEITEM item = TreeView_HitTest(tree_, &hit);
      if (!item || !(hit.flags & TVHT_ONITEM)) return TRUE;
      TreeView_SelectItem(tree_, item);
      POINT at;
      GetCursorPos(&at);
      listener_.tree_menu_wanted(at);
      return TRUE;
    }
  }
  return 0;
}

// Where the chapter (or the volume with its chapters) being dragged ends
// when dropped at `at` (client coordinates): the position of its first
// item afterwards, 0 for nowhere. Over the middle of a volume, a chapter
// goes onto it (`onto`: to the volume's end).
int ChapterTree::drop_position(POINT at, HTREEITEM* onto) const {
  *onto = nullptr;
  TVHITTESTINFO hit{};
  hit.pt = at;
  const HTREEITEM item = TreeView_HitTest(tree_, &hit);
  if (!item) return 0;
  const int q = position_of(item);
  const int n = count_items();
  const bool volume = is_volume(dragging_);
  const int length = volume ? volume_end(volumes_, n, dragging_) - dragging_ + 1 : 1;
  RECT r;
  TreeView_GetItemRect(tree_, item, &r, FALSE);
  const int height = std::max<int>(r.bottom - r.top, 1);
  int gap;  // the gap it goes into, before the item of that position
  if (q == 0) {
    gap = 1;  // onto the book: first
  } else if (!volume && is_volume(q) && at.y > r.top + height / 4 && at.y < r.bottom - height / 4) {
    *onto = item;
    gap = volume_end(volumes_, n, q) + 1;
  } else {
    gap = at.y >= (r.top + r.bottom) / 2 ? q + 1 : q;
    if (gap == q + 1 && is_volume(q) && !expanded(q)) gap = volume_end(volumes_, n, q) + 1;
    // A volume goes between volumes, never in among another's chapters.
    if (volume && gap <= n) {
      const int holder = volume_holding(volumes_, gap);
      if (holder && holder != gap) gap = volume_end(volumes_, n, holder) + 1;
    }
  }
  if (gap >= dragging_ && gap <= dragging_ + length) return 0;  // where it is
  return gap < dragging_ ? gap : gap - length;
}

// An insertion mark shows where the chapter would go, or the volume it goes
// onto is highlighted; letting go moves it.
void ChapterTree::track_drag(POINT at, bool drop) {
  HTREEITEM onto = nullptr;
  const int to = drop_position(at, &onto);
  if (!drop) {
    TVHITTESTINFO hit{};
    hit.pt = at;
    const HTREEITEM item = onto ? nullptr : TreeView_HitTest(tree_, &hit);
    RECT r{};
    if (item) TreeView_GetItemRect(tree_, item, &r, FALSE);
    TreeView_SetInsertMark(tree_, item, item && at.y >= (r.top + r.bottom) / 2);
    TreeView_SelectDropTarget(tree_, onto);
    return;
  }
  const int from = dragging_;
  dragging_ = 0;
  TreeView_SetInsertMark(tree_, nullptr, FALSE);
  TreeView_SelectDropTarget(tree_, nullptr);
  // Painted away now: the move that follows redraws only what it changes.
  RedrawWindow(tree_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  ReleaseCapture();
  if (to >= 1 && to != from) listener_.chapter_dropped(from, to);
}

unsigned ChapterTree::key_command(WPARAM key) const {
  const bool ctrl = GetKeyState(VK_CONTROL) < 0, alt = GetKeyState(VK_MENU) < 0;
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  const bool plain = !ctrl && !alt && !shift;
  if (key == VK_INSERT && plain) return kCmdTreeInsertChapter;
  if (key == VK_F2 && plain) return kCmdTreeRenameChapter;
  if (key == VK_DELETE && plain) return kCmdTreeDeleteChapter;
  if (alt && !ctrl && key == VK_UP) return kCmdTreeMoveUp;
  if (alt && !ctrl && key == VK_DOWN) return kCmdTreeMoveDown;
  if (ctrl && !alt && key == 'Z') return shift ? kCmdTreeRedo : kCmdTreeUndo;
  if (ctrl && !alt && key == 'Y') return kCmdTreeRedo;
  return 0;
}

LRESULT ChapterTree::message(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_KILLFOCUS: {
      const LRESULT result = DefSubclassProc(tree_, message, wparam, lparam);
      // Keep drawing the selection as focused while another control works.
      // Without a selection the tree would pick one on that notice, and the
      // selection change would take the focus back from where the user went.
      if (!TreeView_GetEditControl(tree_) && TreeView_GetSelection(tree_)) {
        SendMessageW(tree_, WM_SETFOCUS, 0, 0);
      }
      return result;
    }
    case WM_MOUSEMOVE:
      if (dragging_) {
        track_drag({GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)}, false);
        return 0;
      }
      if (GetFocus() != tree_ && partner_ && GetFocus() == partner_) SetFocus(tree_);
      break;
    case WM_LBUTTONDOWN: {
      TVHITTESTINFO hit{};
      hit.pt = {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
      const HTREEITEM item = TreeView_HitTest(tree_, &hit);
      const ULONGLONG now = GetTickCount64();
      const ULONGLONG since = now - last_click_time_;
      slow_second_click_ = item && item == last_click_item_ && since > GetDoubleClickTime() &&
                           since < 4ull * GetDoubleClickTime();
      last_click_item_ = item;
      last_click_time_ = now;
      break;
    }
    case WM_LBUTTONUP:
      if (dragging_) {
        track_drag({GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)}, true);
        return 0;
      }
      break;
    case WM_CAPTURECHANGED:
      if (dragging_ && reinterpret_cast<HWND>(lparam) != tree_) {
        dragging_ = 0;
        TreeView_SetInsertMark(tree_, nullptr, FALSE);
        TreeView_SelectDropTarget(tree_, nullptr);
      }
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (const unsigned id = key_command(wparam)) {
        listener_.tree_command(id);
        return 0;
      }
      if (wparam == VK_RETURN && selected() >= 1) {
        listener_.chapter_entered(selected());
        return 0;
      }
      if ((wparam == VK_HOME || wparam == VK_END) && GetKeyState(VK_CONTROL) < 0 &&
          !items_.empty()) {
        TreeView_SelectItem(tree_, wparam == VK_HOME ? items_.front() : items_.back());
        return 0;
      }
      break;
    case WM_CHAR:
      if (wparam == L'\r') return 0;  // Enter was taken above; no beep
      break;
    case WM_GETDLGCODE:
      // Enter is ours (it goes on to the text): the dialog manager of the
      // message loop would otherwise take it as its default button's.
      if (lparam && reinterpret_cast<const MSG*>(lparam)->wParam == VK_RETURN) {
        return DefSubclassProc(tree_, message, wparam, lparam) | DLGC_WANTALLKEYS;
      }
      break;
    case WM_CONTEXTMENU:
      if (lparam == -1) {  // Shift+F10 or the menu key: the menu at the selected item
        RECT r{};
        const HTREEITEM item = TreeView_GetSelection(tree_);
        if (!item || !TreeView_GetItemRect(tree_, item, &r, TRUE)) return 0;
        POINT at{r.left, r.bottom};
        ClientToScreen(tree_, &at);
        listener_.tree_menu_wanted(at);
      }
      return 0;  // a click's menu came with NM_RCLICK
  }
  return DefSubclassProc(tree_, message, wparam, lparam);
}

LRESULT CALLBACK ChapterTree::subclass(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                                       UINT_PTR, DWORD_PTR self) {
  if (message == WM_NCDESTROY) RemoveWindowSubclass(hwnd, subclass, 0);
  if (message == WM_NCDESTROY || !self) return DefSubclassProc(hwnd, message, wparam, lparam);
  return reinterpret_cast<ChapterTree*>(self)->message(message, wparam, lparam);
}

}  // namespace folivra
