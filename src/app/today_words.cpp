#include "app/today_words.h"

#include <commctrl.h>

#include <algorithm>

namespace folivra {

void TodayWords::create(HWND status, int pane) {
  status_ = status;
  pane_ = pane;
  bar_ = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD, 0, 0, 0, 0, status, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

void TodayWords::place(int bar_width) {
  RECT pane{};
  SendMessageW(status_, SB_GETRECT, pane_, reinterpret_cast<LPARAM>(&pane));
  const int inset = (pane.bottom - pane.top) / 4;
  MoveWindow(bar_, pane.right - bar_width - inset, pane.top + inset, bar_width,
             pane.bottom - pane.top - 2 * inset, TRUE);
}

void TodayWords::follow(WritingStore* store, std::string key, int64_t words) {
  store_ = store;
  key_ = std::move(key);
  known_ = true;
  goal_ = std::max(settings_.read_int("Store", "daily_goal", 0), 0);  // read once per book
  words_ = words;
  find_base();
  show(words);
}

void TodayWords::forget() {
  known_ = false;
  show(0);
}

void TodayWords::find_base() {
  base_ = words_;
  if (!store_) return;
  day_ = store_->writing_day(store_->now());
  if (!key_.empty()) base_ = words_ - store_->words_today(key_, words_);
}

bool TodayWords::show(int64_t words) {
  words_ = words;
  if (store_ && store_->writing_day(store_->now()) != day_) find_base();  // past the day's start
  const int64_t target = goal_;
  std::wstring text;
  if (known_ && store_) {
    const int64_t n = today();
    text = L"今日 " + std::wstring(n >= 0 ? L"+" : L"") + std::to_wstring(n);
    if (target > 0) text += L" / 目标 " + std::to_wstring(target);
  }
  SendMessageW(status_, SB_SETTEXTW, pane_, reinterpret_cast<LPARAM>(text.c_str()));
  const bool with_bar = known_ && store_ && target > 0;
  ShowWindow(bar_, with_bar ? SW_SHOWNA : SW_HIDE);
  if (!with_bar) return false;
  SendMessageW(bar_, PBM_SETRANGE32, 0, static_cast<LPARAM>(std::min<int64_t>(target, INT32_MAX)));
  SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(std::clamp<int64_t>(today(), 0, target)), 0);
  // Reaching the goal is told once a day, whichever window sees it first.
  if (today() < target || told_day_ == day_) return false;
  told_day_ = day_;
  if (settings_.read_int("Store", "goal_told_day", 0) == day_) return false;
  settings_.write_int("Store", "goal_told_day", static_cast<int>(day_));
  return true;
}

}  // namespace folivra
