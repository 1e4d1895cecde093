#pragma once

#include <windows.h>
#include <richedit.h>

#include <optional>
#include <string>
#include <string_view>

#include "book/book.h"
#include "text/view_marks.h"
#include "ui/rtf_stream.h"

namespace folivra {

// How the text is shown, whatever the chapter holds: the line spacing in
// tenths of a line (10 to 20) and the page. Nothing of it reaches the book.
enum class Page { white, green, sepia, dark };
struct PageLook {
  int spacing = 10;
  Page page = Page::white;
  bool operator==(const PageLook&) const = default;
};

// What the content editor tells the window.
class ContentEditorListener {
 public:
  virtual void content_changed(bool typed) = 0;   // typed: into a chapter that takes the text
  virtual void content_command(unsigned id) = 0;  // a key of the editor's own (Ctrl+Shift+Enter)
  virtual bool step_chapter(int delta) = 0;       // Ctrl+Left/Right; false: no chapter there
  virtual void content_menu_wanted() = 0;         // a right click
  virtual void content_control_renewed(HWND edit) = 0;  // the editor is a new control now

 protected:
  ~ContentEditorListener() = default;
};

// The RichEdit control that holds the chapter shown. Typing only notes which
// chapter the text belongs to; the RTF is taken out of the control when
// anything reads the book (store_pending), not on every key.
class ContentEditor {
 public:
  explicit ContentEditor(ContentEditorListener& listener) : listener_(listener) {}
  ContentEditor(const ContentEditor&) = delete;
  ContentEditor& operator=(const ContentEditor&) = delete;

  HWND create(HWND parent);
  // The control; a new one after a very large chapter is left.
  HWND hwnd() const { return edit_; }
  void set_focus_partner(HWND partner) { partner_ = partner; }

  // Shows chapter `position`; `takes_text` false shows it read-only and
  // nothing typed is ever stored into it.
  void show(int position, std::string_view content, bool takes_text);
  void forget();  // another book: nothing shown is pending any more
  void leave();   // the book item is shown: typing belongs to no chapter
  void set_read_only(bool read_only);
  void set_default_format(const CHARFORMAT2W& format);
  // The look each chapter is shown in from the next one shown on.
  void set_look(const PageLook& look);
  const PageLook& look() const { return look_; }
  // The text in a column this many pixels wide, centred (0: the whole width).
  void set_column(int width);
  void on_change();  // EN_CHANGE, as the parent receives it

  // A large chapter goes into the control in the background after its first
  // screen; anything that reads or changes the control's text first has
  // all of it put in (messages to the control see to that themselves).
  bool loading() const { return load_.loading(); }
  void finish_loading();

  // The text typed since the chapter was shown goes into `book`.
  void store_pending(Book& book);
  bool pending() const { return pending_ != 0; }
  LONG caret() const;

  // The Edit commands, and what they may do now.
  void edit_command(unsigned id);
  struct EditState {
    bool can_undo, has_selection, can_paste, everything_selected;
  };
  EditState edit_state() const;

  // Standard keys (arrows move the caret, Ctrl+Left/Right by words, chapters
  // with Ctrl+PgUp/PgDn), or the classic ones: Up/Down scroll, Ctrl+Left/Right
  // step through the chapters.
  void set_classic_keys(bool classic) { classic_keys_ = classic; }

  // content_format.cpp: the 格式 menu, on the selection (or the paragraphs it
  // touches); nothing when the chapter shown takes no text.
  bool takes_text() const { return !read_only_ && !locked_ && shown_ >= 1; }
  void toggle_effect(DWORD mask, DWORD effect);  // CFM_BOLD with CFE_BOLD, ...
  CHARFORMAT2W selection_format() const;
  void apply_selection_format(const CHARFORMAT2W& format);
  void toggle_first_line_indent(LONG twips);

 private:
  void formatted();  // a format change is a change of the chapter
  static LRESULT CALLBACK subclass(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  LRESULT message(UINT message, WPARAM wparam, LPARAM lparam, bool& handled);
  bool key(WPARAM key);
  void select_all_keeping_view();
  void insert_date();
  void apply_read_only();
  void set_up_control();
  void lay_look_over();  // after a load: the page and the spacing
  void lay_spacing();
  static bool needs_whole_text(UINT message);
  void apply_default_format();
  void apply_column();
  void renew_control();

  ContentEditorListener& listener_;
  HWND edit_ = nullptr;
  HWND partner_ = nullptr;
  int shown_ = 0;            // the chapter shown
  int pending_ = 0;          // the chapter whose text is in the editor but not yet stored
  bool locked_ = false;      // the chapter shown takes nothing back
  bool read_only_ = false;   // the window's read-only mode
  bool load_guard_ = false;  // the next change notice is the load's own
  bool classic_keys_ = false;
  std::optional<CHARFORMAT2W> format_;
  PageLook look_;
  PieceLoad load_;
  bool in_load_ = false;                          // the loader itself is talking to the control
  static constexpr UINT_PTR kLoadTimer = 0x464C;  // apart from the control's own timers
  ViewMarks marks_;                               // what lay_look_over put on the chapter shown
  int column_ = 0;
};

}  // namespace folivra
