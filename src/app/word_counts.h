#pragma once

#include <windows.h>

#include <atomic>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "document/chapter_counts.h"
#include "document/document.h"
#include "editor/word_count_window.h"

namespace folivra {

// 字数 of every chapter and the book, for the status bar and the 字数统计
// window. Every chapter is counted once when a book is shown, on a worker
// while the window goes on; the chapter being typed in again whenever
// typing pauses, from the control's own text, so a keystroke never waits.
class WordCounts {
 public:
  explicit WordCounts(Document& doc) : doc_(doc) {}
  ~WordCounts() { wait(); }
  WordCounts(const WordCounts&) = delete;
  WordCounts& operator=(const WordCounts&) = delete;

  void count_all() {
    wait();
    counts_.count_all(doc_.book());
  }
  // The book's chapters counted on a worker, from a copy of their texts;
  // `message` is posted to `window` when the counts are in (take_counts).
  // A book whose contents are still being read is counted by its load
  // instead, which tells the window itself. Anything that needs a count
  // before then waits for them.
  void count_all_later(HWND window, UINT message);
  bool counting() const { return worker_.joinable() || from_load_; }
  // Whether a message's counts (its wparam) are those of the worker now
  // counting, and not of a book shown before.
  bool current(WPARAM counted) const { return worker_.joinable() && counted == serial_; }
  void take_counts() { wait(); }
  // After a chapter operation or its undo.
  void follow(const ChapterChanges& changes) {
    wait();  // the worker counted the list before these changes
    counts_.follow(changes, doc_);
  }
  // Whether the chapter's typed text is counted (an editable one).
  bool counts_typing_in(int position) const;
  void typed(int position, std::u16string_view text);

  // The status bar's pane: the chapter at `position` (0: none) and the book;
  // "统计中…" while the worker counts.
  std::wstring status_text(int position);
  long long chapter_words(int position) {
    keep_up();
    return position >= 1 && position <= counts_.size()
               ? static_cast<long long>(counts_.chapter(position).words)
               : 0;
  }
  int64_t book_words() {
    keep_up();
    return static_cast<int64_t>(counts_.total().words);
  }
  void show_window(HWND owner, UINT dpi, std::optional<WordCount> selection);
  bool dialog_message(MSG& msg) { return window_.dialog_message(msg); }
  const WordCountWindow& window() const { return window_; }

 private:
  void keep_up();  // a count for every chapter
  void wait();     // the worker's counts taken in
  void abandon();  // the worker's counts dropped, the worker stopped

  Document& doc_;
  ChapterCounts counts_;
  bool from_load_ = false;  // the counts come with the book's contents
  std::atomic<bool> stop_{false};
  WPARAM serial_ = 0;
  std::thread worker_;
  std::vector<WordCount> counted_;  // the worker's, until taken
  WordCountWindow window_;
};

}  // namespace folivra
