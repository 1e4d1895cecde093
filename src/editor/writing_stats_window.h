#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/owned_handle.h"

namespace folivra {

// What 码字统计 shows.
struct WritingStatsData {
  struct Day {
    std::wstring label;  // "12-10"
    long long words = 0;
  };
  struct BookTotal {
    std::wstring name;
    long long words = 0, period = 0;
  };
  std::vector<Day> days;  // the last is today
  long long goal = 0;     // 0: none
  int streak = 0;
  double words_per_hour = 0.0;
  int day_start_hour = 0;
  std::vector<BookTotal> books;
};

// "码字统计": a bar chart of the words written each day of the last 30
// (the goal a line across it), the streak of days the goal was met, today's
// words per hour and each book's totals; and the goal and the hour a
// writing day starts, as settings.
class WritingStatsWindow {
 public:
  static constexpr int kApply = 101;
  using Apply = std::function<void(long long goal, int day_start_hour)>;

  WritingStatsWindow() = default;
  ~WritingStatsWindow();
  WritingStatsWindow(const WritingStatsWindow&) = delete;
  WritingStatsWindow& operator=(const WritingStatsWindow&) = delete;

  void show(HWND owner, UINT dpi, WritingStatsData data, Apply apply);
  void refresh(WritingStatsData data);
  HWND hwnd() const { return hwnd_; }
  HWND chart() const { return chart_; }
  HWND summary() const { return summary_; }
  HWND goal_edit() const { return goal_; }
  HWND day_start_box() const { return day_start_; }
  HWND books() const { return books_; }
  const WritingStatsData& data() const { return data_; }
  bool dialog_message(MSG& msg);

 private:
  static LRESULT CALLBACK window_proc(HWND, UINT, WPARAM, LPARAM);
  LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam);
  void create_controls();
  void layout();
  void fill();
  void draw_chart(const DRAWITEMSTRUCT& item) const;
  void apply();

  HWND hwnd_ = nullptr, chart_ = nullptr, summary_ = nullptr, books_ = nullptr;
  HWND goal_label_ = nullptr, goal_ = nullptr, day_label_ = nullptr, day_start_ = nullptr;
  HWND apply_ = nullptr, close_ = nullptr;
  OwnedFont font_;
  UINT dpi_ = 96;
  WritingStatsData data_;
  Apply apply_to_;
};

}  // namespace folivra
