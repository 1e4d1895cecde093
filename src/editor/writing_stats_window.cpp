#include "editor/writing_stats_window.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>

#include "ui/dpi.h"
#include "ui/window_class.h"
#include "ui/window_text.h"

namespace folivra {

namespace {

constexpr wchar_t kClassName[] = L"FolivraWritingStats";
constexpr int kClientWidth = 640, kClientHeight = 560;
constexpr COLORREF kBar = RGB(70, 130, 180), kToday = RGB(230, 140, 40), kGoal = RGB(200, 40, 40);

}  // namespace

WritingStatsWindow::~WritingStatsWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
}

void WritingStatsWindow::show(HWND owner, UINT dpi, WritingStatsData data, Apply apply) {
  apply_to_ = std::move(apply);
  if (!hwnd_) {
    dpi_ = dpi;
    create_tool_window(kClassName, window_proc, L"码字统计", owner, scale(kClientWidth, dpi),
                       scale(kClientHeight, dpi), this);
  }
  refresh(std::move(data));
  set_window_text(goal_, data_.goal > 0 ? std::to_wstring(data_.goal) : L"");
  SendMessageW(day_start_, CB_SETCURSEL, static_cast<WPARAM>(data_.day_start_hour), 0);
  ShowWindow(hwnd_, SW_SHOW);
  SetActiveWindow(hwnd_);
}

void WritingStatsWindow::refresh(WritingStatsData data) {
  data_ = std::move(data);
  if (hwnd_) fill();
}

LRESULT CALLBACK WritingStatsWindow::window_proc(HWND hwnd, UINT message, WPARAM wparam,
                                                 LPARAM lparam) {
  auto* self = window_owner<WritingStatsWindow>(hwnd, message, lparam);
  if (!self) return DefWindowProcW(hwnd, message, wparam, lparam);
  if (message == WM_NCCREATE) self->hwnd_ = hwnd;
  return self->handle(message, wparam, lparam);
}

LRESULT WritingStatsWindow::handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      create_controls();
      return 0;
    case WM_SIZE:
      layout();
      return 0;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      if (item->hwndItem == chart_) draw_chart(*item);
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wparam) == kApply) apply();
      if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) ShowWindow(hwnd_, SW_HIDE);
      return 0;
    case WM_CLOSE:
      ShowWindow(hwnd_, SW_HIDE);
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      return 0;
  }
  return DefWindowProcW(hwnd_, message, wparam, lparam);
}

void WritingStatsWindow::create_controls() {
  const auto s = [this](int pixels) { return scale(pixels, dpi_); };
  font_ = message_font(dpi_);
  chart_ = create_child(L"STATIC", L"", SS_OWNERDRAW, hwnd_, s(10), s(10), s(620), s(240), font_);
  summary_ = create_child(L"STATIC", L"", SS_NOPREFIX, hwnd_, s(10), s(258), s(620), s(40), font_);
  books_ = create_child(WC_LISTVIEWW, L"", WS_TABSTOP | LVS_REPORT | LVS_NOSORTHEADER, hwnd_, s(10),
                        s(302), s(620), s(170), font_, WS_EX_CLIENTEDGE);
  ListView_SetExtendedListViewStyle(books_, LVS_EX_FULLROWSELECT);
  const struct {
    const wchar_t* title;
    int width, format;
  } columns[] = {
      {L"书籍", 380, LVCFMT_LEFT}, {L"字数", 100, LVCFMT_RIGHT}, {L"近 30 天", 100, LVCFMT_RIGHT}};
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
  for (int i = 0; i < 3; ++i) {
    column.fmt = columns[i].format;
    column.cx = s(columns[i].width);
    column.pszText = const_cast<wchar_t*>(columns[i].title);
    ListView_InsertColumn(books_, i, &column);
  }
  goal_label_ = create_child(L"STATIC", L"每日目标（字）：", SS_NOPREFIX, hwnd_, s(10), s(488),
                             s(110), s(20), font_);
  goal_ = create_child(L"EDIT", L"", WS_TABSTOP | ES_NUMBER | ES_AUTOHSCROLL, hwnd_, s(120), s(484),
                       s(80), s(24), font_, WS_EX_CLIENTEDGE);
  SendMessageW(goal_, EM_LIMITTEXT, 7, 0);
  day_label_ = create_child(L"STATIC", L"一天开始于：", SS_NOPREFIX, hwnd_, s(215), s(488), s(90),
                            s(20), font_);
  day_start_ = create_child(L"COMBOBOX", L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, hwnd_,
                            s(305), s(484), s(80), s(300), font_);
  for (int hour = 0; hour < 24; ++hour) {
    const std::wstring text = std::to_wstring(hour) + L" 点";
    SendMessageW(day_start_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  apply_ = create_child(L"BUTTON", L"应用", WS_TABSTOP, hwnd_, s(400), s(483), s(80), s(26), font_);
  SetWindowLongPtrW(apply_, GWLP_ID, kApply);
  close_ = create_child(L"BUTTON", L"关闭", WS_TABSTOP | BS_DEFPUSHBUTTON, hwnd_, s(550), s(524),
                        s(80), s(26), font_);
  SetWindowLongPtrW(close_, GWLP_ID, IDOK);
}

void WritingStatsWindow::layout() {
  if (!chart_) return;
  RECT client;
  GetClientRect(hwnd_, &client);
  const auto s = [this](int pixels) { return scale(pixels, dpi_); };
  const int m = s(10), width = client.right - 2 * m;
  const int settings_y = client.bottom - s(76), close_y = client.bottom - m - s(26);
  const int chart_h = std::max(s(120), (settings_y - s(60)) * 55 / 100);
  MoveWindow(chart_, m, m, width, chart_h, TRUE);
  MoveWindow(summary_, m, m + chart_h + s(8), width, s(40), TRUE);
  const int books_y = m + chart_h + s(52);
  MoveWindow(books_, m, books_y, width, std::max(s(40), settings_y - books_y - s(10)), TRUE);
  MoveWindow(goal_label_, m, settings_y + s(4), s(110), s(20), TRUE);
  MoveWindow(goal_, m + s(110), settings_y, s(80), s(24), TRUE);
  MoveWindow(day_label_, m + s(205), settings_y + s(4), s(90), s(20), TRUE);
  MoveWindow(day_start_, m + s(295), settings_y, s(80), s(300), TRUE);
  MoveWindow(apply_, m + s(390), settings_y - 1, s(80), s(26), TRUE);
  MoveWindow(close_, client.right - m - s(80), close_y, s(80), s(26), TRUE);
  InvalidateRect(chart_, nullptr, TRUE);
}

void WritingStatsWindow::fill() {
  long long total = 0;
  for (const auto& day : data_.days) total += day.words;
  const long long today = data_.days.empty() ? 0 : data_.days.back().words;
  std::wstring summary =
      L"今日 " + std::wstring(today >= 0 ? L"+" : L"") + std::to_wstring(today) + L" 字";
  if (data_.goal > 0) {
    summary += L"（目标 " + std::to_wstring(data_.goal) + L"）　连续达标 " +
               std::to_wstring(data_.streak) + L" 天";
  }
  summary += data_.words_per_hour > 0
                 ? L"　今日每小时 " + std::to_wstring(std::llround(data_.words_per_hour)) + L" 字"
                 : std::wstring(L"　今日每小时 —");
  summary +=
      L"\r\n近 " + std::to_wstring(data_.days.size()) + L" 天共 " + std::to_wstring(total) + L" 字";
  set_window_text(summary_, summary);
  ListView_DeleteAllItems(books_);
  for (size_t i = 0; i < data_.books.size(); ++i) {
    const auto& book = data_.books[i];
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(i);
    item.pszText = const_cast<wchar_t*>(book.name.c_str());
    ListView_InsertItem(books_, &item);
    std::wstring words = std::to_wstring(book.words);
    std::wstring period = (book.period >= 0 ? L"+" : L"") + std::to_wstring(book.period);
    ListView_SetItemText(books_, static_cast<int>(i), 1, words.data());
    ListView_SetItemText(books_, static_cast<int>(i), 2, period.data());
  }
  InvalidateRect(chart_, nullptr, TRUE);
}

// Bars from a baseline (days that lost words go below it), today's in
// another colour, the goal a line, a date under every fifth day.
void WritingStatsWindow::draw_chart(const DRAWITEMSTRUCT& item) const {
  const HDC dc = item.hDC;
  const RECT area = item.rcItem;
  FillRect(dc, &area, GetSysColorBrush(COLOR_WINDOW));
  FrameRect(dc, &area, GetSysColorBrush(COLOR_BTNSHADOW));
  if (data_.days.empty()) return;
  const auto s = [this](int pixels) { return scale(pixels, dpi_); };
  const int label_h = s(18), left = area.left + s(48), right = area.right - s(8);
  const int top = area.top + s(10), bottom = area.bottom - label_h - s(4);
  long long high = std::max<long long>(data_.goal, 1), low = 0;
  for (const auto& day : data_.days) {
    high = std::max(high, day.words);
    low = std::min(low, day.words);
  }
  const double span = static_cast<double>(high - low);
  const auto y_of = [&](long long words) {
    return bottom - static_cast<int>(std::lround((words - low) * (bottom - top) / span));
  };
  SetBkMode(dc, TRANSPARENT);
  const HGDIOBJ old_font = SelectObject(dc, font_.get());
  SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  for (long long mark : {low, high}) {
    const std::wstring text = std::to_wstring(mark);
    RECT r{area.left + s(2), y_of(mark) - s(8), left - s(4), y_of(mark) + s(8)};
    DrawTextW(dc, text.c_str(), -1, &r, DT_RIGHT | DT_SINGLELINE | DT_VCENTER);
  }
  const int n = static_cast<int>(data_.days.size());
  const double slot = static_cast<double>(right - left) / n;
  const int zero = y_of(0);
  for (int i = 0; i < n; ++i) {
    const auto& day = data_.days[static_cast<size_t>(i)];
    const int x0 = left + static_cast<int>(i * slot + slot * 0.15);
    const int x1 = left + static_cast<int>((i + 1) * slot - slot * 0.15);
    const int y = y_of(day.words);
    RECT bar{x0, std::min(y, zero), std::max(x1, x0 + 1), std::max(y, zero)};
    if (bar.bottom == bar.top) bar.top -= 1;
    const HBRUSH brush = CreateSolidBrush(i == n - 1 ? kToday : kBar);
    FillRect(dc, &bar, brush);
    DeleteObject(brush);
    if ((n - 1 - i) % 5 == 0) {
      RECT r{x0 - s(20), bottom + s(2), x1 + s(20), area.bottom};
      DrawTextW(dc, day.label.c_str(), -1, &r, DT_CENTER | DT_SINGLELINE | DT_TOP);
    }
  }
  const HPEN axis = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
  HGDIOBJ old_pen = SelectObject(dc, axis);
  MoveToEx(dc, left, zero, nullptr);
  LineTo(dc, right, zero);
  SelectObject(dc, old_pen);
  DeleteObject(axis);
  if (data_.goal > 0) {
    const HPEN pen = CreatePen(PS_DASH, 1, kGoal);
    old_pen = SelectObject(dc, pen);
    const int y = y_of(data_.goal);
    MoveToEx(dc, left, y, nullptr);
    LineTo(dc, right, y);
    SelectObject(dc, old_pen);
    DeleteObject(pen);
  }
  SelectObject(dc, old_font);
}

void WritingStatsWindow::apply() {
  const std::wstring goal = window_text(goal_);
  long long value = 0;
  for (wchar_t c : goal) {
    if (c >= L'0' && c <= L'9') value = value * 10 + (c - L'0');
  }
  const LRESULT hour = SendMessageW(day_start_, CB_GETCURSEL, 0, 0);
  if (apply_to_) apply_to_(value, hour == CB_ERR ? 0 : static_cast<int>(hour));
}

bool WritingStatsWindow::dialog_message(MSG& msg) {
  return hwnd_ && IsWindowVisible(hwnd_) && IsDialogMessageW(hwnd_, &msg);
}

}  // namespace folivra
