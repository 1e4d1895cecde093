#include "reader/reader_window.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <string>

#include "ui/cover_picture.h"
#include "ui/picture_box.h"
#include "ui/rtf_stream.h"
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
  HFONT font = nullptr, big = nullptr, small = nullptr;
};

Reader g;  // one reader, one window

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

void show_chapter(int position) {
  if (position == 0) return show_page(0);
  if (position < 0 || position > static_cast<int>(g.book->chapters.size())) return;
  const Chapter& chapter = g.book->chapters[static_cast<size_t>(position - 1)];
  set_status(3, gbk_to_wide(chapter.name));
  show_page(1);
  // What no control can take safely is not given to it.
  load_chapter_text(g.content, chapter_look(chapter) == ChapterLook::damaged
                                   ? std::string_view()
                                   : shown_content(chapter));
}

void layout() {
  RECT client;
  GetClientRect(g.hwnd, &client);
  const int height = client.bottom - kStatus;
  MoveWindow(g.tree, 0, 0, kTreeWidth, height, TRUE);
  const int left = kTreeWidth + kGap, width = client.right - left;
  MoveWindow(g.tabs, left, 0, width, height, TRUE);
  RECT area{0, 0, width, height};
  TabCtrl_AdjustRect(g.tabs, FALSE, &area);
  const int top = area.top > 2 ? area.top - 2 : 0;
  const int page_w = width, page_h = height - top;
  MoveWindow(g.info, 0, top, page_w, page_h, TRUE);
  MoveWindow(g.content, 0, top, page_w - 1, page_h - 2, TRUE);
  MoveWindow(g.title, 136, 8, std::max(page_w - 144, 10), 40, TRUE);
  MoveWindow(g.author, 176, 56, std::max(page_w - 184, 10), 24, TRUE);
  MoveWindow(g.type, 176, 81, std::max(page_w - 184, 10), 24, TRUE);
  MoveWindow(g.time, 176, 113, std::max(page_w - 184, 10), 24, TRUE);
  MoveWindow(g.intro, 8, 160, std::max(page_w - 14, 10), std::max(page_h - 168, 10), TRUE);
  SendMessageW(g.status, WM_SIZE, 0, 0);
  RECT bar;
  GetClientRect(g.status, &bar);
  constexpr int kLabel = 48;  // "书籍：" and "章节：" whole
  const int value = static_cast<int>(bar.right) / 2 - kLabel;
  int rights[4] = {kLabel, kLabel + value, 2 * kLabel + value, 2 * kLabel + 2 * value};
  SendMessageW(g.status, SB_SETPARTS, 4, reinterpret_cast<LPARAM>(rights));
}

void create_controls() {
  g.font = song(16);
  g.big = song(24);
  g.small = song(12);  // three characters fit the 40-pixel labels
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
  g.cover = create_picture_box(g.info, 8, 8, 120, 136);
  const DWORD field = ES_READONLY | ES_AUTOHSCROLL;
  g.title = child(L"EDIT", L"", field, g.info, g.big);
  auto label = [&](const wchar_t* text, int y) {
    HWND l = child(L"STATIC", text, 0, g.info, g.small);
    MoveWindow(l, 136, y, 40, 24, FALSE);
  };
  label(L"作者：", 55);
  label(L"类型：", 81);
  label(L"时间：", 112);
  g.author = child(L"EDIT", L"", field, g.info, g.font);
  g.type = child(L"EDIT", L"", field, g.info, g.font);
  g.time = child(L"EDIT", L"", field, g.info, g.font);
  g.intro = child(L"EDIT", L"", ES_READONLY | ES_MULTILINE | WS_VSCROLL, g.info, g.font);
  LoadLibraryW(L"Msftedit.dll");
  g.content = child(MSFTEDIT_CLASS, L"", WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_READONLY,
                    g.tabs, nullptr);
  SendMessageW(g.content, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
  // The text reads as it was written: the editor's default face and size.
  CHARFORMAT2W format{};
  format.cbSize = sizeof format;
  format.dwMask = CFM_FACE | CFM_SIZE | CFM_CHARSET;
  lstrcpynW(format.szFaceName, L"宋体", LF_FACESIZE);
  format.yHeight = 12 * 20;
  format.bCharSet = DEFAULT_CHARSET;
  SendMessageW(g.content, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
  g.status = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0,
                             0, 0, g.hwnd, nullptr, GetModuleHandleW(nullptr), nullptr);
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
  g.cover_bitmap = decode_cover(book.cover, 118, 134);
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

LRESULT CALLBACK reader_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      g.hwnd = hwnd;
      create_controls();
      return 0;
    case WM_SIZE:
      if (g.status) layout();
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
    case WM_CLOSE: {
      const std::wstring question = L"你确定要关闭 " + gbk_to_wide(g.book->title) + L" 吗？";
      if (MessageBoxW(hwnd, question.c_str(), L"关闭", MB_OKCANCEL | MB_ICONQUESTION) == IDOK) {
        DestroyWindow(hwnd);
      }
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

}  // namespace

int run_reader_window(const Book& book) {
  g.book = &book;
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
  fill();
  ShowWindow(hwnd, SW_SHOW);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

}  // namespace folivra
