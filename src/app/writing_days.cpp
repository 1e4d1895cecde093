// The writing store from the window: the book recorded when it is opened
// and each time it is saved, and today's words in the status bar.
#include "app/main_window.h"
#include <algorithm>

#include "book/gbk.h"

namespace folivra {

void MainWindow::start_writing_log() {
  today_.create(c_.status, 5);
  if (std::optional<std::wstring> problem = log_.start(hwnd_, settings_)) {
    store_problem_ = std::move(*problem);
    PostMessageW(hwnd_, kStoreProblem, 0, 0);  // once the window is up
  }
}

// What is on disk now is what the store records: on opening, the text the
// session's changes start from; on saving, what they came to.
void MainWindow::record_book(const std::string& previous_path) {
  // Today's figure counts what was just typed (not while the book is still
  // being counted: the store's worker counts the file itself then).
  if (has_book_ && !counts_.counting()) count_typed_chapter();
  if (!has_book_ || book_.file_path.empty()) {
    follow_today();
    return;
  }
  const std::string previous = previous_path != book_.file_path ? previous_path : std::string();
  log_.record_file(path_from_gbk(book_.file_path), book_.password,
                   counts_.counting() ? -1 : counts_.book_words(),
                   previous.empty() ? std::filesystem::path() : path_from_gbk(previous));
  recorded_path_ = book_.file_path;
  follow_today();
}

void MainWindow::follow_today() {
  if (!has_book_) {
    today_.forget();
    return;
  }
  if (counts_.counting()) return;  // again once the book is counted
  const std::string key =
      book_.file_path.empty() ? std::string() : WritingLog::key_of(path_from_gbk(book_.file_path));
  today_.follow(log_.store(), key, counts_.book_words());
}

// Where the author stopped in the book shown, for opening it there again.
void MainWindow::remember_place() {
  if (!has_book_ || book_.file_path.empty() || !log_.store()) return;
  const int p = selected_index();
  BookPlace place;
  if (p >= 1) {
    CHARRANGE caret{};
    SendMessageW(c_.content, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&caret));
    place = {p, caret.cpMax, SendMessageW(c_.content, EM_GETFIRSTVISIBLELINE, 0, 0)};
  }
  log_.remember_place(path_from_gbk(book_.file_path), place);
}

void MainWindow::go_to_remembered_place() {
  if (!has_book_ || book_.file_path.empty() || !log_.store()) return;
  const std::optional<BookPlace> place =
      log_.store()->place_of(WritingLog::key_of(path_from_gbk(book_.file_path)));
  if (!place || place->chapter < 1 || place->chapter > doc_.count()) return;
  tree_.select(static_cast<int>(place->chapter));
  if (selected_index() != place->chapter) return;
  const LONG length = GetWindowTextLengthW(c_.content);
  const LONG at = static_cast<LONG>(std::clamp<int64_t>(place->caret, 0, length));
  CHARRANGE caret{at, at};
  SendMessageW(c_.content, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&caret));
  const LRESULT first = SendMessageW(c_.content, EM_GETFIRSTVISIBLELINE, 0, 0);
  SendMessageW(c_.content, EM_LINESCROLL, 0, static_cast<LPARAM>(place->line - first));
}

}  // namespace folivra
