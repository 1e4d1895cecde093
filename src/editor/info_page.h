#pragma once

#include <windows.h>

#include <string>

#include "book/book.h"
#include "ui/owned_handle.h"

namespace folivra {

// What the information page tells the window.
class InfoPageListener {
 public:
  virtual void information_typed() = 0;                     // a field's text reached the book
  virtual void title_shown(const std::wstring& title) = 0;  // the title field changed
  virtual void cover_clicked() = 0;

 protected:
  ~InfoPageListener() = default;
};

// The "介绍" page: the cover, and the title, author, type, time and
// introduction fields. What is typed reaches the book at once; in
// read-only mode the fields take no keys (Ctrl+C still copies), and a field
// shows a border while it is focused.
class InfoPage {
 public:
  struct Fonts {
    HFONT title, field, label;
  };
  struct Controls {
    HWND cover, title, author, book_type, time, intro, author_label, type_label, time_label;
  };

  InfoPage(Book& book, InfoPageListener& listener) : book_(book), listener_(listener) {}

  InfoPage(const InfoPage&) = delete;
  InfoPage& operator=(const InfoPage&) = delete;

  Controls create(HWND page, const Fonts& fonts, UINT dpi);
  // Places the fixed controls and sets their fonts for the window's DPI.
  void rescale(const Fonts& fonts, UINT dpi);
  void fill();   // from the book
  void clear();  // no book: empty fields, no cover
  void set_read_only(bool read_only) { read_only_ = read_only; }
  void resize(int title_width, int field_width, int intro_width, int intro_height);
  // EN_CHANGE, EN_SETFOCUS and EN_KILLFOCUS of the fields, as the parent
  // receives them; false when `field` is none of them.
  bool on_command(HWND field, WORD code);
  HWND cover() const { return c_.cover; }
  void show_cover();  // after the book's cover changed

 private:
  static LRESULT CALLBACK subclass(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  bool takes_key(HWND field, WPARAM key, bool is_char) const;
  bool is_field(HWND hwnd) const;
  std::string* target(HWND field);
  void changed(HWND field);
  void focus(HWND field, bool gained);

  Book& book_;
  InfoPageListener& listener_;
  Controls c_{};
  OwnedBitmap cover_bitmap_;
  bool read_only_ = false;
  bool filling_ = false;  // the fields are being set from the book, not typed into
};

}  // namespace folivra
