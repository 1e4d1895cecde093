#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "app/settings.h"
#include "store/writing_store.h"

namespace folivra {

// The status bar's last pane: "今日 +N", the net change of the book's 字数
// since the writing day began (over every session, as the writing store
// has it), and with a daily goal "/ 目标 M" and a small progress bar.
class TodayWords {
 public:
  explicit TodayWords(const Settings& settings) : settings_(settings) {}

  void create(HWND status, int pane);
  void place(int bar_width);  // after the status bar's panes moved
  // The book shown (empty key: none, or not yet saved) and its 字数 now;
  // asks the store where the day began.
  void follow(WritingStore* store, std::string key, int64_t words);
  void forget();  // no book
  // The book's 字数 changed; true the first time today's goal is reached.
  bool show(int64_t words);
  int64_t today() const { return words_ - base_; }
  int64_t goal() const { return goal_; }
  HWND bar() const { return bar_; }

 private:
  void find_base();

  const Settings& settings_;
  HWND status_ = nullptr, bar_ = nullptr;
  int pane_ = 0;
  WritingStore* store_ = nullptr;
  std::string key_;
  int64_t words_ = 0, base_ = 0, day_ = 0, goal_ = 0;
  int64_t told_day_ = -1;  // the day this window last found the goal reached
  bool known_ = false;     // a book is followed
};

}  // namespace folivra
