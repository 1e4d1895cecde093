// The writing store from the window: the book recorded when it is opened
// and each time it is saved, and today's words in the status bar.
#include "app/main_window.h"
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
  if (has_book_) count_typed_chapter();  // today's figure counts what was just typed
  if (!has_book_ || book_.file_path.empty()) {
    follow_today();
    return;
  }
  const std::string previous = previous_path != book_.file_path ? previous_path : std::string();
  log_.record_file(path_from_gbk(book_.file_path), book_.password, counts_.book_words(),
                   previous.empty() ? std::filesystem::path() : path_from_gbk(previous));
  recorded_path_ = book_.file_path;
  follow_today();
}

void MainWindow::follow_today() {
  if (!has_book_) {
    today_.forget();
    return;
  }
  const std::string key =
      book_.file_path.empty() ? std::string() : WritingLog::key_of(path_from_gbk(book_.file_path));
  today_.follow(log_.store(), key, counts_.book_words());
}

}  // namespace folivra
