#include "editor/word_count_window.h"

#include <commctrl.h>

#include <algorithm>

#include "ui/dpi.h"
#include "ui/window_class.h"
#include "ui/window_text.h"

namespace folivra {

namespace {

constexpr wchar_t kClassName[] = L"FolivraWordCount";
constexpr int kClientWidth = 520, kClientHeight = 440;

std::wstring counts_text(const WordCount& c) {
  return L"字数 " + std::to_wstring(c.words) + L"　字符 " + std::to_wstring(c.characters) +
         L"　不含空格 " + std::to_wstring(c.characters_no_space);
}

}  // namespace

WordCountWindow::~WordCountWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
}

void WordCountWindow::show(HWND owner, UINT dpi, std::vector<CountRow> rows, const WordCount& total,
                           const std::optional<WordCount>& selection) {
  if (!hwnd_) {
    dpi_ = dpi;
    create_tool_window(kClassName, window_proc, L"字数统计", owner, scale(kClientWidth, dpi),
                       scale(kClientHeight, dpi), this);
  }
  rows_ = std::move(rows);
  std::wstring summary = L"全书 " + std::to_wstring(rows_.size()) + L" 章：" + counts_text(total);
  summary += selection ? L"\r\n选中的文本：" + counts_text(*selection) : L"\r\n没有选中的文本";
  set_window_text(summary_, summary);
  descending_ = !descending_;  // the same order again
  sort_by(sorted_column_);
  layout();  // the rows may have brought a scroll bar
  ShowWindow(hwnd_, SW_SHOW);
  SetActiveWindow(hwnd_);
  SetFocus(list_);
}

LRESULT CALLBACK WordCountWindow::window_proc(HWND hwnd, UINT message, WPARAM wparam,
                                              LPARAM lparam) {
  auto* self = window_owner<WordCountWindow>(hwnd, message, lparam);
  if (!self) return DefWindowProcW(hwnd, message, wparam, lparam);
  if (message == WM_NCCREATE) self->hwnd_ = hwnd;
  return self->handle(message, wparam, lparam);
}

LRESULT WordCountWindow::handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      create_controls();
      return 0;
    case WM_SIZE:
      layout();
      return 0;
    case WM_COMMAND:
      if (LOWORD(wparam) == IDCANCEL || LOWORD(wparam) == IDOK) ShowWindow(hwnd_, SW_HIDE);
      return 0;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lparam);
      if (header->hwndFrom != list_) return 0;
      if (header->code == LVN_GETDISPINFOW) cell_text(*reinterpret_cast<NMLVDISPINFOW*>(lparam));
      if (header->code == LVN_COLUMNCLICK) sort_by(reinterpret_cast<NMLISTVIEW*>(lparam)->iSubItem);
      return 0;
    }
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

void WordCountWindow::create_controls() {
  const auto s = [this](int pixels) { return scale(pixels, dpi_); };
  font_ = message_font(dpi_);
  summary_ = create_child(L"STATIC", L"", SS_NOPREFIX, hwnd_, s(10), s(10), s(500), s(40), font_);
  // A virtual list: 5,000 chapters cost nothing to show or sort.
  list_ =
      create_child(WC_LISTVIEWW, L"", WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS,
                   hwnd_, s(10), s(56), s(500), s(340), font_, WS_EX_CLIENTEDGE);
  ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT);
  const struct {
    const wchar_t* title;
    int width;
  } columns[] = {{L"序号", 50}, {L"章节", 200}, {L"字数", 80}, {L"字符", 80}, {L"不含空格", 80}};
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
  for (int i = 0; i < 5; ++i) {
    column.fmt = i == 1 ? LVCFMT_LEFT : LVCFMT_RIGHT;
    column.cx = s(columns[i].width);
    column.pszText = const_cast<wchar_t*>(columns[i].title);
    ListView_InsertColumn(list_, i, &column);
  }
  close_ = create_child(L"BUTTON", L"关闭", WS_TABSTOP | BS_DEFPUSHBUTTON, hwnd_, s(430), s(405),
                        s(80), s(26), font_);
  SetWindowLongPtrW(close_, GWLP_ID, IDOK);
}

void WordCountWindow::layout() {
  if (!list_) return;
  RECT client;
  GetClientRect(hwnd_, &client);
  const int m = scale(10, dpi_), top = scale(56, dpi_), button_h = scale(26, dpi_),
            button_w = scale(80, dpi_);
  MoveWindow(summary_, m, m, client.right - 2 * m, scale(40, dpi_), TRUE);
  MoveWindow(list_, m, top, client.right - 2 * m, client.bottom - top - button_h - 2 * m, TRUE);
  // The name column takes what the counts leave, so the last column is never cut.
  RECT inside;
  GetClientRect(list_, &inside);
  int others = 0;
  for (int i : {0, 2, 3, 4}) others += ListView_GetColumnWidth(list_, i);
  ListView_SetColumnWidth(list_, 1, std::max<int>(scale(80, dpi_), inside.right - others));
  MoveWindow(close_, client.right - m - button_w, client.bottom - m - button_h, button_w, button_h,
             TRUE);
}

void WordCountWindow::sort_by(int column) {
  descending_ = column == sorted_column_ ? !descending_ : column >= 2;  // counts: biggest first
  sorted_column_ = column;
  const auto key = [column](const CountRow& r) -> size_t {
    switch (column) {
      case 2:
        return r.count.words;
      case 3:
        return r.count.characters;
      case 4:
        return r.count.characters_no_space;
    }
    return static_cast<size_t>(r.position);
  };
  std::stable_sort(rows_.begin(), rows_.end(), [&](const CountRow& a, const CountRow& b) {
    if (column == 1) return descending_ ? b.name < a.name : a.name < b.name;
    return descending_ ? key(b) < key(a) : key(a) < key(b);
  });
  ListView_SetItemCountEx(list_, static_cast<int>(rows_.size()), 0);
  InvalidateRect(list_, nullptr, TRUE);
}

void WordCountWindow::cell_text(NMLVDISPINFOW& info) const {
  if (!(info.item.mask & LVIF_TEXT) || info.item.iItem < 0 ||
      static_cast<size_t>(info.item.iItem) >= rows_.size()) {
    return;
  }
  const CountRow& r = rows_[static_cast<size_t>(info.item.iItem)];
  std::wstring text;
  switch (info.item.iSubItem) {
    case 0:
      text = std::to_wstring(r.position);
      break;
    case 1:
      text = r.name;
      break;
    case 2:
      text = std::to_wstring(r.count.words);
      break;
    case 3:
      text = std::to_wstring(r.count.characters);
      break;
    case 4:
      text = std::to_wstring(r.count.characters_no_space);
      break;
  }
  lstrcpynW(info.item.pszText, text.c_str(), info.item.cchTextMax);
}

bool WordCountWindow::dialog_message(MSG& msg) {
  return hwnd_ && IsWindowVisible(hwnd_) && IsDialogMessageW(hwnd_, &msg);
}

}  // namespace folivra
