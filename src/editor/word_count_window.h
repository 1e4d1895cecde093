#pragma once

#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <string>
#include <vector>

#include "text/word_count.h"
#include "ui/owned_handle.h"

namespace folivra {

struct CountRow {
  int position = 0;
  std::wstring name;
  WordCount count;
};

// "字数统计": the book's total, the selection's count, and every chapter's
// count in a list sorted by a click on a column's header.
class WordCountWindow {
 public:
  WordCountWindow() = default;
  ~WordCountWindow();
  WordCountWindow(const WordCountWindow&) = delete;
  WordCountWindow& operator=(const WordCountWindow&) = delete;

  void show(HWND owner, UINT dpi, std::vector<CountRow> rows, const WordCount& total,
            const std::optional<WordCount>& selection);
  HWND hwnd() const { return hwnd_; }
  HWND list() const { return list_; }
  HWND summary() const { return summary_; }
  const std::vector<CountRow>& rows() const { return rows_; }  // in the list's order
  // Column 0 序号, 1 章节, 2 字数, 3 字符, 4 不含空格; again the same column reverses.
  void sort_by(int column);
  bool dialog_message(MSG& msg);

 private:
  static LRESULT CALLBACK window_proc(HWND, UINT, WPARAM, LPARAM);
  LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam);
  void create_controls();
  void layout();
  void cell_text(NMLVDISPINFOW& info) const;

  HWND hwnd_ = nullptr, summary_ = nullptr, list_ = nullptr, close_ = nullptr;
  OwnedFont font_;
  UINT dpi_ = 96;
  std::vector<CountRow> rows_;
  int sorted_column_ = 0;
  bool descending_ = false;
};

}  // namespace folivra
