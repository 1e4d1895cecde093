#include "editor/search_window.h"

#include <commctrl.h>

#include "ui/dpi.h"
#include "ui/window_class.h"
#include "ui/window_text.h"

namespace folivra {

namespace {

constexpr wchar_t kClassName[] = L"FolivraFind";
constexpr int kClientWidth = 480, kClientHeight = 380;

struct Spot {
  int x, y, w, h;
};

bool checked(HWND box) { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

}  // namespace

SearchWindow::~SearchWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
}

void SearchWindow::show(HWND owner, UINT dpi, const std::wstring& pattern) {
  if (!hwnd_) {
    dpi_ = dpi;
    register_window_class(kClassName, window_proc, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    RECT frame{0, 0, scale(kClientWidth, dpi), scale(kClientHeight, dpi)};
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
    AdjustWindowRectEx(&frame, style, FALSE, WS_EX_TOOLWINDOW);
    RECT o;
    GetWindowRect(owner, &o);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_CONTROLPARENT, kClassName, L"查找和替换", style,
                    o.right - width - scale(24, dpi), o.top + scale(60, dpi), width, height, owner,
                    nullptr, GetModuleHandleW(nullptr), this);
  }
  if (!pattern.empty()) set_window_text(c_.pattern, pattern);
  ShowWindow(hwnd_, SW_SHOW);
  SetActiveWindow(hwnd_);
  SetFocus(c_.pattern);
  SendMessageW(c_.pattern, EM_SETSEL, 0, -1);
}

LRESULT CALLBACK SearchWindow::window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* self = window_owner<SearchWindow>(hwnd, message, lparam);
  if (!self) return DefWindowProcW(hwnd, message, wparam, lparam);
  if (message == WM_NCCREATE) self->hwnd_ = hwnd;
  return self->handle(message, wparam, lparam);
}

LRESULT SearchWindow::handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      create_controls();
      return 0;
    case WM_SIZE:
      layout();
      return 0;
    case WM_COMMAND:
      if (LOWORD(wparam) == IDCANCEL) {
        ShowWindow(hwnd_, SW_HIDE);  // Esc and the close box keep what was typed
      } else if (LOWORD(wparam) == IDOK) {
        listener_.find_step(request(), false);
      } else if (lparam && HIWORD(wparam) == BN_CLICKED) {
        command(reinterpret_cast<HWND>(lparam));
      }
      return 0;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lparam);
      if (header->hwndFrom == c_.results && header->code == LVN_ITEMCHANGED) {
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(lparam);
        if ((change->uNewState & LVIS_SELECTED) && !(change->uOldState & LVIS_SELECTED)) {
          listener_.hit_chosen(change->iItem);
        }
      }
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

void SearchWindow::create_controls() {
  const auto s = [this](int pixels) { return scale(pixels, dpi_); };
  font_ = message_font(dpi_);
  const auto add = [&](const wchar_t* cls, const wchar_t* text, DWORD style, Spot at, int id = 0,
                       DWORD ex_style = 0) {
    HWND control =
        create_child(cls, text, style, hwnd_, s(at.x), s(at.y), s(at.w), s(at.h), font_, ex_style);
    if (id) SetWindowLongPtrW(control, GWLP_ID, id);
    return control;
  };
  const DWORD edit = WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
  const DWORD box = WS_TABSTOP | BS_AUTOCHECKBOX;
  const DWORD button = WS_TABSTOP | BS_PUSHBUTTON;
  add(L"STATIC", L"查找内容：", SS_NOPREFIX, {10, 13, 72, 20});
  c_.pattern = add(L"EDIT", L"", edit, {85, 10, 250, 22});
  c_.find_next =
      add(L"BUTTON", L"查找下一个", WS_TABSTOP | BS_DEFPUSHBUTTON, {345, 9, 125, 25}, IDOK);
  add(L"STATIC", L"替换为：", SS_NOPREFIX, {10, 41, 72, 20});
  c_.replacement = add(L"EDIT", L"", edit, {85, 38, 250, 22});
  c_.find_previous = add(L"BUTTON", L"查找上一个", button, {345, 37, 125, 25});
  c_.match_case = add(L"BUTTON", L"区分大小写", box, {10, 68, 100, 22});
  c_.whole_word = add(L"BUTTON", L"全字匹配", box, {115, 68, 90, 22});
  c_.regex = add(L"BUTTON", L"正则表达式", box, {210, 68, 100, 22});
  c_.names = add(L"BUTTON", L"包括章节名", box, {315, 68, 100, 22});
  c_.replace = add(L"BUTTON", L"替换", button, {10, 98, 70, 25});
  c_.replace_all = add(L"BUTTON", L"全部替换", button, {85, 98, 80, 25});
  c_.search_book = add(L"BUTTON", L"在全书中查找", button, {185, 98, 110, 25});
  c_.replace_book = add(L"BUTTON", L"全书替换", button, {300, 98, 85, 25});
  c_.stop = add(L"BUTTON", L"停止", button, {390, 98, 80, 25});
  EnableWindow(c_.stop, FALSE);
  c_.note = add(L"STATIC", L"", SS_NOPREFIX | SS_ENDELLIPSIS, {10, 132, 460, 20});
  c_.results = add(WC_LISTVIEWW, L"",
                   WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
                   {10, 156, 460, 214}, 0, WS_EX_CLIENTEDGE);
  ListView_SetExtendedListViewStyle(c_.results, LVS_EX_FULLROWSELECT);
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.cx = s(150);
  column.pszText = const_cast<wchar_t*>(L"位置");
  ListView_InsertColumn(c_.results, 0, &column);
  column.cx = s(290);
  column.pszText = const_cast<wchar_t*>(L"内容");
  ListView_InsertColumn(c_.results, 1, &column);
}

// The results list takes what the window has below the buttons.
void SearchWindow::layout() {
  if (!c_.results) return;
  RECT client;
  GetClientRect(hwnd_, &client);
  const int left = scale(10, dpi_), top = scale(156, dpi_);
  MoveWindow(c_.results, left, top, std::max(0L, client.right - 2 * left),
             std::max(0L, client.bottom - top - left), TRUE);
}

void SearchWindow::command(HWND control) {
  if (control == c_.find_previous) listener_.find_step(request(), true);
  if (control == c_.replace) listener_.replace_one(request());
  if (control == c_.replace_all) listener_.replace_in_chapter(request());
  if (control == c_.search_book) listener_.search_book(request());
  if (control == c_.replace_book) listener_.replace_in_book(request());
  if (control == c_.stop) listener_.stop_search();
}

FindRequest SearchWindow::request() const {
  FindRequest r;
  if (!hwnd_) return r;
  r.pattern = window_text(c_.pattern);
  r.replacement = window_text(c_.replacement);
  r.options = {checked(c_.match_case), checked(c_.whole_word), checked(c_.regex)};
  r.names = checked(c_.names);
  return r;
}

bool SearchWindow::has_pattern() const { return hwnd_ && !window_text(c_.pattern).empty(); }

void SearchWindow::set_note(const std::wstring& note) {
  if (hwnd_) set_window_text(c_.note, note);
}

void SearchWindow::clear_results() {
  if (hwnd_) ListView_DeleteAllItems(c_.results);
}

void SearchWindow::add_results(const std::vector<FoundLine>& lines) {
  if (!hwnd_) return;
  SendMessageW(c_.results, WM_SETREDRAW, FALSE, 0);
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  for (const FoundLine& line : lines) {
    item.iItem = ListView_GetItemCount(c_.results);
    item.iSubItem = 0;
    item.pszText = const_cast<wchar_t*>(line.place.c_str());
    const int at = ListView_InsertItem(c_.results, &item);
    ListView_SetItemText(c_.results, at, 1, const_cast<wchar_t*>(line.context.c_str()));
  }
  SendMessageW(c_.results, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(c_.results, nullptr, TRUE);
}

void SearchWindow::set_searching(bool searching) {
  if (!hwnd_) return;
  EnableWindow(c_.stop, searching);
  for (HWND b : {c_.search_book, c_.replace_book}) EnableWindow(b, !searching);
}

bool SearchWindow::dialog_message(MSG& msg) {
  return hwnd_ && IsWindowVisible(hwnd_) && IsDialogMessageW(hwnd_, &msg);
}

}  // namespace folivra
