#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "text/text_search.h"
#include "ui/owned_handle.h"

namespace folivra {

// What the find window asks for: the text, its replacement and the options.
struct FindRequest {
  std::wstring pattern, replacement;
  SearchOptions options;
  bool names = false;  // chapter names too, in the whole book
};

// One line of the results list.
struct FoundLine {
  std::wstring place, context;  // "第12章 …" or "书名"; the line around the hit
};

class FindListener {
 public:
  virtual void find_step(const FindRequest& request, bool backward) = 0;
  virtual void replace_one(const FindRequest& request) = 0;
  virtual void replace_in_chapter(const FindRequest& request) = 0;
  virtual void search_book(const FindRequest& request) = 0;
  virtual void replace_in_book(const FindRequest& request) = 0;
  virtual void stop_search() = 0;
  virtual void hit_chosen(int index) = 0;

 protected:
  ~FindListener() = default;
};

// "查找和替换": a modeless window beside the editor with the search text,
// the replacement, the options, the buttons for the chapter and for the
// whole book, and the list of the book's hits.
class SearchWindow {
 public:
  explicit SearchWindow(FindListener& listener) : listener_(listener) {}
  ~SearchWindow();
  SearchWindow(const SearchWindow&) = delete;
  SearchWindow& operator=(const SearchWindow&) = delete;

  struct Controls {
    HWND pattern, replacement, match_case, whole_word, regex, names, find_next, find_previous,
        replace, replace_all, search_book, replace_book, stop, results, note;
  };

  // Shown (made the first time), the search text selected for typing over.
  void show(HWND owner, UINT dpi, const std::wstring& pattern);
  HWND hwnd() const { return hwnd_; }
  bool visible() const { return hwnd_ && IsWindowVisible(hwnd_); }
  const Controls& controls() const { return c_; }
  FindRequest request() const;
  bool has_pattern() const;

  void set_note(const std::wstring& note);  // under the buttons: what the last action did
  void clear_results();
  void add_results(const std::vector<FoundLine>& lines);
  void set_searching(bool searching);  // 停止 is offered while the book is searched
  // The window's keys (Tab, Enter, Esc) for a message of the loop.
  bool dialog_message(MSG& msg);

 private:
  static LRESULT CALLBACK window_proc(HWND, UINT, WPARAM, LPARAM);
  LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam);
  void create_controls();
  void layout();
  void command(HWND control);

  FindListener& listener_;
  HWND hwnd_ = nullptr;
  Controls c_{};
  OwnedFont font_;
  UINT dpi_ = 96;
};

}  // namespace folivra
