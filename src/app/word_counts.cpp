// 字数 in the status bar and the 字数统计 window. Every chapter is counted
// once when the book is shown; the chapter being typed in again whenever
// typing pauses, from the control's own text, so a keystroke never waits.
#include <richedit.h>

#include "app/main_window.h"
#include "book/gbk_wide.h"
#include "document/chapter_look.h"
#include "ui/window_text.h"

namespace folivra {

void MainWindow::refresh_counts() {
  if (!has_book_) {
    set_status(4, L"");
    return;
  }
  if (counts_.size() != doc_.count()) counts_.count_all(book_);
  const int p = selected_index();
  std::wstring text = L"字数：";
  if (p >= 1 && p <= counts_.size()) {
    text += L"本章 " + std::to_wstring(counts_.chapter(p).words) + L"　";
  }
  text += L"全书 " + std::to_wstring(counts_.total().words);
  set_status(4, text);
}

void MainWindow::count_typed_chapter() {
  KillTimer(hwnd_, kCountTimer);
  const int p = selected_index();
  if (p >= 1 && p <= doc_.count() && chapter_look(doc_.chapter(p)) == ChapterLook::editable) {
    if (counts_.size() != doc_.count()) counts_.count_all(book_);
    counts_.set(p, count_words(std::u16string_view(utf16_of(control_text(c_.content)))));
  }
  refresh_counts();
}

void MainWindow::show_word_counts() {
  if (!has_book_) return;
  count_typed_chapter();
  std::vector<CountRow> rows;
  for (int p = 1; p <= counts_.size(); ++p) {
    rows.push_back({p, gbk_to_wide(doc_.chapter(p).name), counts_.chapter(p)});
  }
  std::optional<WordCount> selection;
  CHARRANGE sel{};
  SendMessageW(c_.content, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&sel));
  if (selected_index() >= 1 && sel.cpMax > sel.cpMin) {
    const std::wstring text = control_text(c_.content);
    const size_t end = std::min(text.size(), static_cast<size_t>(sel.cpMax));
    const size_t start = std::min(end, static_cast<size_t>(sel.cpMin));
    selection = count_words(std::u16string_view(utf16_of(text.substr(start, end - start))));
  }
  counts_window_.show(hwnd_, dpi_, std::move(rows), counts_.total(), selection);
}

bool MainWindow::modeless_message(MSG& msg) {
  return find_.dialog_message(msg) || counts_window_.dialog_message(msg);
}

}  // namespace folivra
