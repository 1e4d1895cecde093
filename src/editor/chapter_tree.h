#pragma once

#include <windows.h>

#include <functional>
#include <commctrl.h>

#include <set>
#include <string>
#include <vector>

#include "book/book.h"
#include "document/document.h"

namespace folivra {

// What the chapter tree tells the window.
class ChapterTreeListener {
 public:
  virtual void chapter_chosen(int position) = 0;  // the user selected it; 0 is the book item
  // The user typed a new name; true keeps it in the tree.
  virtual bool chapter_renamed(int position, const std::string& name) = 0;
  // Dragged from one position to another (a volume: its first position
  // afterwards, its chapters coming with it).
  virtual void chapter_dropped(int from, int to) = 0;
  virtual void tree_command(unsigned id) = 0;  // a key of the tree's own (Ins, Alt+↑ …)
  // A right click selected an item, or Shift+F10 or the menu key was
  // pressed: the context menu, at `at` in screen coordinates.
  virtual void tree_menu_wanted(POINT at) = 0;
  virtual void chapter_entered(int position) = 0;  // Enter: on to the chapter's text

 protected:
  ~ChapterTreeListener() = default;
};

// The tree view of the book: one book item, under it one item per chapter
// in the order of the chapters; a volume's chapters hang under the volume.
// The items are kept in order beside the control, so a position and its
// item are found at once.
class ChapterTree {
 public:
  explicit ChapterTree(ChapterTreeListener& listener) : listener_(listener) {}
  ChapterTree(const ChapterTree&) = delete;
  ChapterTree& operator=(const ChapterTree&) = delete;

  HWND create(HWND parent, HFONT font, HIMAGELIST images);
  // The font and images of another DPI; the tree does not own either.
  void rescale(HFONT font, HIMAGELIST images);
  HWND hwnd() const { return tree_; }
  // The mouse moving over the tree takes the focus from this window.
  void set_focus_partner(HWND partner) { partner_ = partner; }
  // Locked (read-only mode), labels cannot be edited and chapters not dragged.
  void set_locked(bool locked) { locked_ = locked; }

  void fill(const Book& book);                  // the book item and every chapter, in one batch
  void clear();                                 // no book
  void add_items(const Book& book, int first);  // chapters from `first` on, at the end
  void set_title(const std::wstring& title);
  // Follows the document's steps item by item, then selects `select` (when
  // not negative) without telling the listener.
  void follow(const ChapterChanges& changes, const Document& doc, int select);
  // The volumes found anew (a chapter's text or mark changed what it is).
  void check_volumes(const Book& book);
  const std::vector<int>& volumes() const { return volumes_; }
  bool is_volume(int position) const;
  bool expanded(int position) const;  // a volume shows its chapters
  void select_quietly(int position);
  void select(int position);  // as a click would: the listener is told
  void edit_label(int position);
  void expand();

  HTREEITEM item_at(int position) const;  // 0: the book item; null when there is none
  int position_of(HTREEITEM item) const;  // -1 when it is no item of the tree
  int selected() const { return position_of(TreeView_GetSelection(tree_)); }
  bool dragging() const { return dragging_ != 0; }

  LRESULT on_notify(NMHDR* header);  // the tree's notices, as the parent receives them
  // Each chapter's 字数 after its name, in grey, from `words` (none: names only).
  void show_counts(std::function<long long(int position)> words);
  bool shows_counts() const { return static_cast<bool>(words_); }

 private:
  static LRESULT CALLBACK subclass(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  LRESULT message(UINT message, WPARAM wparam, LPARAM lparam);
  unsigned key_command(WPARAM key) const;
  void begin_batch();
  void end_batch();
  void insert_item(int position, const std::string& name);
  // Every chapter's item made again under its volume, keeping the
  // collapsed volumes, the first line shown and the selection.
  void rebuild(const Book& book, std::vector<int> volumes);
  void follow_flat(const ChapterChanges& changes, const Document& doc);
  int count_items() const { return static_cast<int>(items_.size()); }
  int drop_position(POINT at, HTREEITEM* onto) const;
  void remove_item(int position);
  void draw_count(const NMTVCUSTOMDRAW& draw) const;
  void track_drag(POINT at, bool drop);

  ChapterTreeListener& listener_;
  HWND tree_ = nullptr;
  HWND partner_ = nullptr;
  std::vector<HTREEITEM> items_;
  std::vector<int> volumes_;  // the positions of volumes, in order
  bool quiet_ = false;        // selection notices while items come and go are not the user's
  bool label_editing_ = false;
  // A name is edited on F2 and the commands, or on a slow second click on
  // the same chapter, as in Explorer; never on a first click of a chapter
  // that happened to be selected.
  bool edit_asked_ = false;
  bool slow_second_click_ = false;
  HTREEITEM last_click_item_ = nullptr;
  ULONGLONG last_click_time_ = 0;
  bool locked_ = false;
  std::function<long long(int)> words_;
  int dragging_ = 0;  // the chapter being dragged
  int batches_ = 0;   // batches of items under way, one inside another
};

}  // namespace folivra
