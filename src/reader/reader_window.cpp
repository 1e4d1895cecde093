#include "reader/reader_window.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <string>

#include "ui/char_format.h"
#include "ui/cover_picture.h"
#include "ui/dpi.h"
#include "ui/picture_box.h"
#include "ui/fresh_control.h"
#include "ui/rtf_stream.h"
#include "reader/reading_place.h"
#include "document/chapter_look.h"
#include "book/book_time.h"
#include "book/gbk_wide.h"

namespace folivra {

namespace {

constexpr wchar_t kClassName[] = L"FolivraReader";
constexpr int kTreeWidth = 156, kGap = 4, kStatus = 20;

struct Reader {
  const Book* book = nullptr;
  HWND hwnd = nullptr, tree = nullptr, tabs = nullptr, info = nullptr, content = nullptr,
       status = nullptr;
  HWND cover = nullptr;
  HBITMAP cover_bitmap = nullptr;
  HWND title = nullptr, author = nullptr, type = nullptr, time = nullptr, intro = nullptr;
  HWND labels[3] = {};
  HFONT font = nullptr, big = nullptr, small = nullptr, status_font = nullptr;
  UINT dpi = kBaseDpi;
  int shown = 0;       // the chapter shown; 0: the information page
  uint64_t image = 0;  // which book, for the place it was left at
};

Reader g;  // one reader, one window

// Layout numbers are pixels at 96 DPI.
int s(int pixels) { return scale(pixels, g.dpi); }

HFONT song(int height) {
  return CreateFontW(-height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                     L"宋体");
}

HWND child(const wchar_t* cls, const std::wstring& text, DWORD style, HWND parent, HFONT font) {
  HWND hwnd = CreateWindowExW(0, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10,
                              parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return hwnd;
}

void set_status(int pane, const std::wstring& text) {
  SendMessageW(g.status, SB_SETTEXTW, static_cast<WPARAM>(pane) | (pane % 2 ? 0 : SBT_NOBORDERS),
               reinterpret_cast<LPARAM>(text.c_str()));
}

void show_page(int page) {
  TabCtrl_SetCurSel(g.tabs, page);
  ShowWindow(g.info, page == 0 ? SW_SHOW : SW_HIDE);
  ShowWindow(g.content, page == 1 ? SW_SHOW : SW_HIDE);
}

void set_up_content() {
  SendMessageW(g.content, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
  // The text reads as it was written: the editor's default face and size.
  set_plain_default_format(g.content, L"宋体", 12);
}

int chapter_count() { return static_cast<int>(g.book->chapters.size()); }

void show_chapter(int position) {
  const std::wstring title = gbk_to_wide(g.book->title);
  if (position == 0) {
    g.shown = 0;
    SetWindowTextW(g.hwnd, (title + L" - Folivra").c_str());
    return show_page(0);
  }
  if (position < 0 || position > chapter_count()) return;
  g.shown = position;
  const Chapter& chapter = g.book->chapters[static_cast<size_t>(position - 1)];
  const std::wstring name = gbk_to_wide(chapter.name);
  SetWindowTextW(g.hwnd, (title + L" - " + name).c_str());
  const auto number = [](int n) {
    const std::string digits = std::to_string(n);
    return std::wstring(digits.begin(), digits.end());
  };
  set_status(3, name + L"（第" + number(position) + L"章/共" + number(chapter_count()) + L"章）");
  show_page(1);
  // Replacing a very large text costs more than a new control.
  if (holds_large_text(g.content)) {
    g.content = replace_with_fresh(g.content);
    set_up_content();
  }
  // What no control can take safely is not given to it.
  const ChapterLook look = chapter_look(chapter);
  const std::string preview = shown_as_text(look) ? text_preview(chapter, look) : "";
  load_chapter_text(g.content, look == ChapterLook::damaged ? std::string_view()
                               : shown_as_text(look)        ? std::string_view(preview)
                                                            : shown_content(chapter));
}

void layout() {
  RECT client;
  GetClientRect(g.hwnd, &client);
  const int height = client.bottom - s(kStatus);
  MoveWindow(g.tree, 0, 0, s(kTreeWidth), height, TRUE);
  const int left = s(kTreeWidth + kGap), width = client.right - left;
  MoveWindow(g.tabs, left, 0, width, height, TRUE);
  RECT area{0, 0, width, height};
  TabCtrl_AdjustRect(g.tabs, FALSE, &area);
  const int top = area.top > 2 ? area.top - 2 : 0;
  const int page_w = width, page_h = height - top;
  MoveWindow(g.info, 0, top, page_w, page_h, TRUE);
  MoveWindow(g.content, 0, top, page_w - 1, page_h - 2, TRUE);
  MoveWindow(g.cover, s(8), s(8), s(120), s(136), TRUE);
  MoveWindow(g.title, s(136), s(8), std::max(page_w - s(144), 10), s(40), TRUE);
  const int label_tops[] = {55, 81, 112};
  for (int i = 0; i < 3; ++i) MoveWindow(g.labels[i], s(136), s(label_tops[i]), s(40), s(24), TRUE);
  MoveWindow(g.author, s(176), s(56), std::max(page_w - s(184), 10), s(24), TRUE);
  MoveWindow(g.type, s(176), s(81), std::max(page_w - s(184), 10), s(24), TRUE);
  MoveWindow(g.time, s(176), s(113), std::max(page_w - s(184), 10), s(24), TRUE);
  MoveWindow(g.intro, s(8), s(160), std::max(page_w - s(14), 10), std::max(page_h - s(168), 10),
             TRUE);
  SendMessageW(g.status, WM_SIZE, 0, 0);
  RECT bar;
  GetClientRect(g.status, &bar);
  const int kLabel = s(48);  // "书籍：" and "章节：" whole
  const int value = static_cast<int>(bar.right) / 2 - kLabel;
  int rights[4] = {kLabel, kLabel + value, 2 * kLabel + value, 2 * kLabel + 2 * value};
  SendMessageW(g.status, SB_SETPARTS, 4, reinterpret_cast<LPARAM>(rights));
}

void make_fonts() {
  g.font = song(s(16));
  g.big = song(s(24));
  g.small = song(s(12));  // three characters fit the 40-pixel labels
  g.status_font = message_font(g.dpi);
}

void set_font(HWND control, HFONT font) {
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

// Moved to a monitor of another DPI: new fonts, the suggested size, a new layout.
void dpi_changed(UINT dpi, const RECT& suggested) {
  if (dpi == 0 || dpi == g.dpi) return;
  g.dpi = dpi;
  const HFONT old[] = {g.font, g.big, g.small, g.status_font};
  make_fonts();
  for (HWND control : {g.tree, g.tabs, g.author, g.type, g.time, g.intro})
    set_font(control, g.font);
  set_font(g.title, g.big);
  for (HWND label : g.labels) set_font(label, g.small);
  set_font(g.status, g.status_font);
  SendMessageW(g.status, SB_SETMINHEIGHT, s(kStatus), 0);
  for (HFONT font : old) DeleteObject(font);
  SetWindowPos(g.hwnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  layout();
}

void create_controls() {
  g.dpi = window_dpi(g.hwnd);
  make_fonts();
  g.tree = child(WC_TREEVIEWW, L"",
                 WS_BORDER | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                 g.hwnd, g.font);
  g.tabs = child(WC_TABCONTROLW, L"", WS_CLIPCHILDREN, g.hwnd, g.font);
  TCITEMW tab{};
  tab.mask = TCIF_TEXT;
  tab.pszText = const_cast<wchar_t*>(L"介绍");
  TabCtrl_InsertItem(g.tabs, 0, &tab);
  tab.pszText = const_cast<wchar_t*>(L"内容");
  TabCtrl_InsertItem(g.tabs, 1, &tab);
  g.info = child(L"STATIC", L"", 0, g.tabs, g.font);
  g.cover = create_picture_box(g.info, 0, 0, 0, 0);
  const DWORD field = ES_READONLY | ES_AUTOHSCROLL;
  g.title = child(L"EDIT", L"", field, g.info, g.big);
  const wchar_t* labels[] = {L"作者：", L"类型：", L"时间："};
  for (int i = 0; i < 3; ++i) g.labels[i] = child(L"STATIC", labels[i], 0, g.info, g.small);
  g.author = child(L"EDIT", L"", field, g.info, g.font);
  g.type = child(L"EDIT", L"", field, g.info, g.font);
  g.time = child(L"EDIT", L"", field, g.info, g.font);
  g.intro = child(L"EDIT", L"", ES_READONLY | ES_MULTILINE | WS_VSCROLL, g.info, g.font);
  LoadLibraryW(L"Msftedit.dll");
  g.content = child(MSFTEDIT_CLASS, L"", WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_READONLY,
                    g.tabs, nullptr);
  set_up_content();
  g.status = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0,
                             0, 0, g.hwnd, nullptr, GetModuleHandleW(nullptr), nullptr);
  set_font(g.status, g.status_font);
  SendMessageW(g.status, SB_SETMINHEIGHT, s(kStatus), 0);
  layout();
  set_status(0, L"书籍：");
  set_status(1, L"未载入");
  set_status(2, L"章节：");
  set_status(3, L"未载入");
}

void fill() {
  const Book& book = *g.book;
  const std::wstring title = gbk_to_wide(book.title);
  SetWindowTextW(g.title, title.c_str());
  SetWindowTextW(g.author, gbk_to_wide(book.author).c_str());
  SetWindowTextW(g.type, gbk_to_wide(book.book_type).c_str());
  SetWindowTextW(g.time, gbk_to_wide(format_book_time(book.time)).c_str());
  SetWindowTextW(g.intro, book.intro.empty() ? L"" : (L"    " + gbk_to_wide(book.intro)).c_str());
  set_status(1, title);
  RECT box;
  GetClientRect(g.cover, &box);
  g.cover_bitmap = decode_cover(book.cover, box.right, box.bottom);
  set_picture(g.cover, g.cover_bitmap);
  show_page(0);

  TVINSERTSTRUCTW insert{};
  insert.hParent = TVI_ROOT;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM;
  insert.item.pszText = const_cast<wchar_t*>(L"拼命加载中..");
  const HTREEITEM root = TreeView_InsertItem(g.tree, &insert);
  UpdateWindow(g.tree);
  SendMessageW(g.tree, WM_SETREDRAW, FALSE, 0);
  TVITEMW item{};
  item.mask = TVIF_TEXT;
  item.hItem = root;
  item.pszText = const_cast<wchar_t*>(title.c_str());
  TreeView_SetItem(g.tree, &item);
  insert.hParent = root;
  for (size_t p = 1; p <= book.chapters.size(); ++p) {
    const std::wstring name = gbk_to_wide(book.chapters[p - 1].name);
    insert.item.pszText = const_cast<wchar_t*>(name.c_str());
    insert.item.lParam = static_cast<LPARAM>(p);
    TreeView_InsertItem(g.tree, &insert);
  }
  TreeView_Expand(g.tree, root, TVE_EXPAND);
  SendMessageW(g.tree, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(g.tree, nullptr, TRUE);
}

// Selects a chapter through the tree, as a click would; `at_end` puts the
// text's end in view (going back, the reader goes on from where it left off).
void go_to_chapter(int position, bool at_end) {
  HTREEITEM item = TreeView_GetChild(g.tree, TreeView_GetRoot(g.tree));
  for (int p = 1; item && p < position; ++p) item = TreeView_GetNextSibling(g.tree, item);
  if (!item) return;
  TreeView_SelectItem(g.tree, item);
  const LONG end = at_end ? GetWindowTextLengthW(g.content) : 0;
  CHARRANGE caret{end, end};
  SendMessageW(g.content, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&caret));
  SendMessageW(g.content, EM_SCROLLCARET, 0, 0);
  SetFocus(g.content);
}

// Where the text stands in its box: its first line shown, its end shown.
bool scrolled_to_top() { return SendMessageW(g.content, EM_GETFIRSTVISIBLELINE, 0, 0) == 0; }
bool scrolled_to_end() {
  RECT box;
  GetClientRect(g.content, &box);
  POINTL end{};
  SendMessageW(g.content, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&end),
               GetWindowTextLengthW(g.content));
  return end.y < box.bottom;
}

// The keys that go on from chapter to chapter: Ctrl+PgDn and Ctrl+PgUp
// always; PgDn and Space at a chapter's end, PgUp and Shift+Space at its top.
bool step_key(WPARAM key) {
  if (g.shown == 0) return false;
  const bool ctrl = GetKeyState(VK_CONTROL) < 0, shift = GetKeyState(VK_SHIFT) < 0;
  const bool forward = key == VK_NEXT || (key == VK_SPACE && !shift);
  const bool back = key == VK_PRIOR || (key == VK_SPACE && shift);
  if (forward && g.shown < chapter_count() && (ctrl || scrolled_to_end())) {
    go_to_chapter(g.shown + 1, false);
    return true;
  }
  if (back && g.shown > 1 && (ctrl || scrolled_to_top())) {
    go_to_chapter(g.shown - 1, !ctrl);
    return true;
  }
  return false;
}

long first_shown_character() {
  POINTL corner{1, 1};
  return static_cast<long>(
      SendMessageW(g.content, EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&corner)));
}

// Where the reader stopped: the chapter, its first line shown at the top.
void go_on_at(const ReadingPlace& place) {
  if (place.chapter <= 0 || place.chapter > chapter_count()) return;
  go_to_chapter(place.chapter, false);
  const LONG at = std::min<LONG>(place.position, GetWindowTextLengthW(g.content));
  CHARRANGE caret{at, at};
  SendMessageW(g.content, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&caret));
  const LRESULT line = SendMessageW(g.content, EM_EXLINEFROMCHAR, 0, at);
  const LRESULT first = SendMessageW(g.content, EM_GETFIRSTVISIBLELINE, 0, 0);
  SendMessageW(g.content, EM_LINESCROLL, 0, line - first);
}

LRESULT CALLBACK reader_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      g.hwnd = hwnd;
      create_controls();
      return 0;
    case WM_SIZE:
      if (g.status) layout();
      return 0;
    case WM_DPICHANGED:
      dpi_changed(HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
      return 0;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<NMHDR*>(lparam);
      if (header->hwndFrom == g.tree && header->code == TVN_SELCHANGEDW) {
        show_chapter(
            static_cast<int>(reinterpret_cast<const NMTREEVIEWW*>(lparam)->itemNew.lParam));
      } else if (header->hwndFrom == g.tabs && header->code == TCN_SELCHANGE) {
        show_page(TabCtrl_GetCurSel(g.tabs));
      }
      return 0;
    }
    case WM_DESTROY:
      write_reading_place(g.image, {g.shown, g.shown ? first_shown_character() : 0});
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

}  // namespace

int run_reader_window(const Book& book, uint64_t image) {
  g.book = &book;
  g.image = image;
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TREEVIEW_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = reader_proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassName;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  RegisterClassExW(&wc);
  const std::wstring title = gbk_to_wide(book.title) + L" - Folivra";
  HWND hwnd =
      CreateWindowExW(0, kClassName, title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                      CW_USEDEFAULT, CW_USEDEFAULT, 720, 520, nullptr, nullptr, instance, nullptr);
  if (!hwnd) return 1;
  // Created at 96-DPI size: grown to the monitor's DPI before it is shown.
  SetWindowPos(hwnd, nullptr, 0, 0, s(720), s(520), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  fill();
  ShowWindow(hwnd, SW_SHOW);
  if (const std::optional<ReadingPlace> place = read_reading_place(image)) go_on_at(*place);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_KEYDOWN && msg.hwnd == g.content && step_key(msg.wParam)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

}  // namespace folivra
