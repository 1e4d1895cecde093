#include "editor/versions_window.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>

#include "book/gbk_wide.h"
#include "document/chapter_look.h"
#include "text/diff_rtf.h"
#include "text/plain_text.h"
#include "ui/char_format.h"
#include "ui/dpi.h"
#include "ui/rtf_stream.h"
#include "ui/window_class.h"
#include "ui/window_text.h"

namespace folivra {

namespace {

constexpr wchar_t kClassName[] = L"FolivraVersions";
constexpr int kClientWidth = 760, kClientHeight = 520, kListWidth = 300;

std::wstring signed_text(long long n) { return (n >= 0 ? L"+" : L"") + std::to_wstring(n); }

}  // namespace

VersionsWindow::~VersionsWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
}

void VersionsWindow::show(HWND owner, UINT dpi, Mode mode, const std::wstring& title,
                          std::vector<VersionRow> rows, const std::wstring& face, int points) {
  if (hwnd_ && mode != mode_) close();
  mode_ = mode;
  if (!hwnd_) {
    dpi_ = dpi;
    create_tool_window(kClassName, window_proc, L"", owner, scale(kClientWidth, dpi),
                       scale(kClientHeight, dpi), this);
  }
  SetWindowTextW(hwnd_, title.c_str());
  rows_ = std::move(rows);
  face_ = face;
  points_ = points;
  set_plain_default_format(preview_, face_, points_);
  comparing_ = false;
  SendMessageW(compare_, BM_SETCHECK, BST_UNCHECKED, 0);
  fill_list();
  select(rows_.empty() ? -1 : 0);
  ShowWindow(hwnd_, SW_SHOW);
  SetActiveWindow(hwnd_);
  SetFocus(list_);
}

void VersionsWindow::close() {
  if (hwnd_) DestroyWindow(hwnd_);
}

LRESULT CALLBACK VersionsWindow::window_proc(HWND hwnd, UINT message, WPARAM wparam,
                                             LPARAM lparam) {
  auto* self = window_owner<VersionsWindow>(hwnd, message, lparam);
  if (!self) return DefWindowProcW(hwnd, message, wparam, lparam);
  if (message == WM_NCCREATE) self->hwnd_ = hwnd;
  return self->handle(message, wparam, lparam);
}

LRESULT VersionsWindow::handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      create_controls();
      return 0;
    case WM_SIZE:
      layout();
      return 0;
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case kCompare:
          set_comparing(SendMessageW(compare_, BM_GETCHECK, 0, 0) == BST_CHECKED);
          break;
        case kRestore:
          if (selected_ >= 0) listener_.restore_row(selected_);
          break;
        case IDOK:
        case IDCANCEL:
          close();
          break;
      }
      return 0;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<NMHDR*>(lparam);
      if (header->hwndFrom == list_ && header->code == LVN_ITEMCHANGED) {
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(lparam);
        if ((change->uChanged & LVIF_STATE) && (change->uNewState & LVIS_SELECTED) &&
            change->iItem != selected_) {
          selected_ = change->iItem;
          show_selected();
        }
      }
      return 0;
    }
    case WM_CLOSE:
      close();
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
      hwnd_ = list_ = preview_ = summary_ = compare_ = restore_ = close_ = nullptr;
      selected_ = -1;
      return 0;
  }
  return DefWindowProcW(hwnd_, message, wparam, lparam);
}

void VersionsWindow::create_controls() {
  const auto s = [this](int pixels) { return scale(pixels, dpi_); };
  font_ = message_font(dpi_);
  list_ =
      create_child(WC_LISTVIEWW, L"", WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                   hwnd_, s(10), s(10), s(kListWidth), s(460), font_, WS_EX_CLIENTEDGE);
  ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT);
  static const HMODULE library = LoadLibraryW(L"Msftedit.dll");
  preview_ = create_child(library ? MSFTEDIT_CLASS : L"RichEdit20W", L"",
                          WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                          hwnd_, s(320), s(36), s(430), s(434), nullptr, WS_EX_CLIENTEDGE);
  SendMessageW(preview_, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
  summary_ = create_child(L"STATIC", L"", SS_NOPREFIX | SS_LEFTNOWORDWRAP, hwnd_, s(320), s(12),
                          s(430), s(20), font_);
  compare_ = create_child(L"BUTTON", L"对比", WS_TABSTOP | BS_AUTOCHECKBOX | BS_PUSHLIKE, hwnd_,
                          s(10), s(480), s(90), s(28), font_);
  SetWindowLongPtrW(compare_, GWLP_ID, kCompare);
  restore_ = create_child(L"BUTTON", L"", WS_TABSTOP, hwnd_, s(110), s(480), s(110), s(28), font_);
  SetWindowLongPtrW(restore_, GWLP_ID, kRestore);
  close_ = create_child(L"BUTTON", L"关闭", WS_TABSTOP, hwnd_, s(660), s(480), s(90), s(28), font_);
  SetWindowLongPtrW(close_, GWLP_ID, IDCANCEL);
}

void VersionsWindow::fill_list() {
  ListView_DeleteAllItems(list_);
  while (ListView_DeleteColumn(list_, 0)) {
  }
  const bool history = mode_ == Mode::history;
  struct Column {
    const wchar_t* title;
    int width;
    int format;
  };
  const std::vector<Column> columns = history ? std::vector<Column>{{L"时间", 112, LVCFMT_LEFT},
                                                                    {L"字数", 50, LVCFMT_RIGHT},
                                                                    {L"变化", 50, LVCFMT_RIGHT},
                                                                    {L"名称", 100, LVCFMT_LEFT}}
                                              : std::vector<Column>{{L"章节", 120, LVCFMT_LEFT},
                                                                    {L"删除于", 120, LVCFMT_LEFT},
                                                                    {L"字数", 60, LVCFMT_RIGHT}};
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
  for (size_t i = 0; i < columns.size(); ++i) {
    column.fmt = columns[i].format;
    column.cx = scale(columns[i].width, dpi_);
    column.pszText = const_cast<wchar_t*>(columns[i].title);
    ListView_InsertColumn(list_, static_cast<int>(i), &column);
  }
  for (size_t r = 0; r < rows_.size(); ++r) {
    const VersionRow& row = rows_[r];
    const std::vector<std::wstring> cells =
        history ? std::vector<std::wstring>{row.when, std::to_wstring(row.words),
                                            row.change ? signed_text(*row.change) : L"", row.name}
                : std::vector<std::wstring>{row.name, row.when, std::to_wstring(row.words)};
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(r);
    item.pszText = const_cast<wchar_t*>(cells[0].c_str());
    ListView_InsertItem(list_, &item);
    for (size_t c = 1; c < cells.size(); ++c) {
      ListView_SetItemText(list_, static_cast<int>(r), static_cast<int>(c),
                           const_cast<wchar_t*>(cells[c].c_str()));
    }
  }
  SetWindowTextW(restore_, history ? L"恢复此版本" : L"恢复章节");
  ShowWindow(compare_, history ? SW_SHOW : SW_HIDE);
  layout();
  EnableWindow(restore_, !rows_.empty());
  EnableWindow(compare_, !rows_.empty());
}

void VersionsWindow::layout() {
  if (!list_) return;
  RECT client;
  GetClientRect(hwnd_, &client);
  const int m = scale(10, dpi_), list_w = scale(kListWidth, dpi_), button_h = scale(28, dpi_),
            button_w = scale(90, dpi_), label_h = scale(20, dpi_);
  const int bottom = client.bottom - m - button_h;
  MoveWindow(list_, m, m, list_w, bottom - 2 * m, TRUE);
  // The last column (the name) takes what the others leave.
  RECT inside;
  GetClientRect(list_, &inside);
  const int last = Header_GetItemCount(ListView_GetHeader(list_)) - 1;
  int others = 0;
  for (int i = 0; i < last; ++i) others += ListView_GetColumnWidth(list_, i);
  if (last > 0)
    ListView_SetColumnWidth(list_, last, std::max<int>(scale(60, dpi_), inside.right - others));
  const int right_x = 2 * m + list_w, right_w = client.right - right_x - m;
  MoveWindow(summary_, right_x, m, right_w, label_h, TRUE);
  MoveWindow(preview_, right_x, m + label_h + m / 2, right_w, bottom - 2 * m - label_h - m / 2,
             TRUE);
  MoveWindow(compare_, m, bottom, button_w, button_h, TRUE);
  MoveWindow(restore_, 2 * m + button_w, bottom, scale(110, dpi_), button_h, TRUE);
  MoveWindow(close_, client.right - m - button_w, bottom, button_w, button_h, TRUE);
}

void VersionsWindow::select(int row) {
  if (row < 0 || row >= static_cast<int>(rows_.size())) {
    selected_ = -1;
    show_selected();
    return;
  }
  ListView_SetItemState(list_, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_EnsureVisible(list_, row, FALSE);
  if (selected_ != row) {
    selected_ = row;
    show_selected();
  }
}

void VersionsWindow::set_comparing(bool on) {
  comparing_ = on;
  SendMessageW(compare_, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
  show_selected();
}

// The chosen version as it reads, or what changed from it to the text now.
void VersionsWindow::show_selected() {
  if (selected_ < 0) {
    load_chapter_text(preview_, "");
    set_window_text(summary_, rows_.empty() ? L"没有记录的版本" : L"");
    return;
  }
  Chapter version;
  version.content = listener_.version_content(selected_);
  const ChapterLook look = chapter_look(version);
  if (!comparing_) {
    load_chapter_text(
        preview_, look == ChapterLook::editable ? version.content : text_preview(version, look));
    const VersionRow& row = rows_[static_cast<size_t>(selected_)];
    set_window_text(summary_,
                    row.name + L"　" + row.when + L"　" + std::to_wstring(row.words) + L" 字");
    return;
  }
  const TextDiff diff = diff_texts(chapter_text16(version.content), listener_.current_text());
  load_chapter_text(preview_, diff_as_rtf(diff, wide_to_gbk_lossy(face_), points_));
  set_window_text(summary_, L"与当前文本相比：新增 " + std::to_wstring(diff.added) + L" 段，删除 " +
                                std::to_wstring(diff.removed) + L" 段，修改 " +
                                std::to_wstring(diff.changed) + L" 段");
}

bool VersionsWindow::dialog_message(MSG& msg) {
  return hwnd_ && IsWindowVisible(hwnd_) && IsDialogMessageW(hwnd_, &msg);
}

}  // namespace folivra
