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
#include "reader/input_box.h"
#include "reader/reading_look.h"
#include "reader/reading_place.h"
#include "text/plain_text.h"
#include "text/volumes.h"
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
  ReadingLook look;
  std::vector<ReadingMark> marks;
  std::vector<uint64_t> bytes_before;  // the chapters' stored bytes before each, for 读到 %
  std::u16string finding;              // what Ctrl+F looked for last
  HMENU menu = nullptr, marks_menu = nullptr;
  WINDOWPLACEMENT windowed{};  // where the window was before the full-screen view
  int percent = -1;
  std::vector<HTREEITEM> items;  // each chapter's, by position
  PieceLoad load;                // a large chapter going in behind its first screen
};

constexpr UINT_PTR kPercentTimer = 1, kLoadTimer = 2;

Reader g;  // one reader, one window

std::wstring number_text(long n) {
  const std::string digits = std::to_string(n);
  return std::wstring(digits.begin(), digits.end());
}

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

// What the text box is given for a chapter: its content, or what stands
// for it when no control can take it safely.
std::string shown_text(const Chapter& chapter) {
  const ChapterLook look = chapter_look(chapter);
  if (look == ChapterLook::damaged) return {};
  if (shown_as_text(look)) return text_preview(chapter, look);
  return std::string(shown_content(chapter));
}

// The reader's look over the book's: its size, face and colours for all the
// text where the reader chose them, the page colour and the line spacing.
void apply_look() {
  const ReadingLook& look = g.look;
  CHARFORMAT2W format{};
  format.cbSize = sizeof format;
  if (look.points) {
    format.dwMask |= CFM_SIZE;
    format.yHeight = look.points * 20;
  }
  if (!look.face.empty()) {
    format.dwMask |= CFM_FACE | CFM_CHARSET;
    format.bCharSet = DEFAULT_CHARSET;
    lstrcpynW(format.szFaceName, look.face.c_str(), LF_FACESIZE);
  }
  if (look.colours) {
    format.dwMask |= CFM_COLOR;
    format.crTextColor = text_colour(look.colours);
  }
  if (format.dwMask)
    SendMessageW(g.content, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
  SendMessageW(g.content, EM_SETBKGNDCOLOR, look.colours == 0, page_colour(look.colours));
  PARAFORMAT2 paragraph{};
  paragraph.cbSize = sizeof paragraph;
  if (look.spacing != 10) {
    paragraph.dwMask = PFM_LINESPACING;
    paragraph.bLineSpacingRule = 5;  // in twentieths of a line
    paragraph.dyLineSpacing = look.spacing * 2;
  }
  if (look.full) {
    // The full-screen view's column: the page's margins added to every
    // paragraph's own indents.
    RECT box;
    GetClientRect(g.content, &box);
    const int column = std::min<int>(box.right - s(40), s(760));
    const int margin =
        MulDiv(std::max<int>(0, (box.right - column) / 2), 1440, static_cast<int>(g.dpi));
    paragraph.dwMask |= PFM_OFFSETINDENT | PFM_RIGHTINDENT;
    paragraph.dxStartIndent = margin;
    paragraph.dxRightIndent = margin;
  }
  if (paragraph.dwMask) {
    CHARRANGE was{}, all{0, -1};
    SendMessageW(g.content, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&was));
    SendMessageW(g.content, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
    SendMessageW(g.content, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&paragraph));
    SendMessageW(g.content, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&was));
  }
}

long first_shown_character() {
  POINTL corner{1, 1};
  return static_cast<long>(
      SendMessageW(g.content, EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&corner)));
}

// How far into the book the reader is: the chapters' stored bytes before
// this one and the part of this one above the first line shown.
int percent_read() {
  if (g.shown == 0 || g.bytes_before.empty()) return 0;
  const uint64_t total = g.bytes_before.back();
  if (total == 0) return 100 * g.shown / chapter_count();
  const uint64_t before = g.bytes_before[static_cast<size_t>(g.shown - 1)];
  const uint64_t here = g.bytes_before[static_cast<size_t>(g.shown)] - before;
  const long length = std::max(1, GetWindowTextLengthW(g.content));
  const double part = std::min(1.0, static_cast<double>(first_shown_character()) / length);
  return static_cast<int>((static_cast<double>(before) + part * static_cast<double>(here)) * 100 /
                          static_cast<double>(total));
}

void show_percent();

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
  g.percent = -1;
  show_page(1);
  KillTimer(g.hwnd, kLoadTimer);
  g.load.cancel();
  // Replacing a very large text costs more than a new control.
  if (holds_large_text(g.content)) {
    g.content = replace_with_fresh(g.content);
    set_up_content();
  }
  // A large chapter's first screen at once, the rest on a timer.
  if (g.load.start(g.content, shown_text(chapter))) SetTimer(g.hwnd, kLoadTimer, 1, nullptr);
  apply_look();
  show_percent();
}

// All of a chapter going in, before anything reads or moves in its text.
void finish_load() {
  if (!g.load.loading()) return;
  KillTimer(g.hwnd, kLoadTimer);
  g.load.finish();
  apply_look();
}

// The chapter line of the status bar with how far into the book, kept up as
// the reader scrolls.
void show_percent() {
  if (g.shown == 0) return;
  const int percent = percent_read();
  if (percent == g.percent) return;
  g.percent = percent;
  const Chapter& chapter = g.book->chapters[static_cast<size_t>(g.shown - 1)];
  set_status(3, gbk_to_wide(chapter.name) + L"（第" + number_text(g.shown) + L"章/共" +
                    number_text(chapter_count()) + L"章）  " + number_text(percent) + L"%");
}

// The full-screen view: the text alone, in a centred column on the page.
void layout_full() {
  RECT client;
  GetClientRect(g.hwnd, &client);
  MoveWindow(g.tabs, 0, 0, client.right, client.bottom, TRUE);
  MoveWindow(g.content, 0, 0, client.right, client.bottom, TRUE);
}

void layout() {
  if (g.look.full) return layout_full();
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
  // A volume's chapters hang under it.
  HTREEITEM parent = root;
  std::vector<HTREEITEM> volumes;
  g.items.clear();
  for (size_t p = 1; p <= book.chapters.size(); ++p) {
    const std::wstring name = gbk_to_wide(book.chapters[p - 1].name);
    const bool volume =
        is_volume(book.chapters[p - 1],
                  std::u16string_view(reinterpret_cast<const char16_t*>(name.data()), name.size()));
    insert.hParent = volume ? root : parent;
    insert.item.pszText = const_cast<wchar_t*>(name.c_str());
    insert.item.lParam = static_cast<LPARAM>(p);
    g.items.push_back(TreeView_InsertItem(g.tree, &insert));
    if (volume) volumes.push_back(parent = g.items.back());
  }
  TreeView_Expand(g.tree, root, TVE_EXPAND);
  for (HTREEITEM volume : volumes) TreeView_Expand(g.tree, volume, TVE_EXPAND);
  SendMessageW(g.tree, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(g.tree, nullptr, TRUE);
}

// Selects a chapter through the tree, as a click would; `at_end` puts the
// text's end in view (going back, the reader goes on from where it left off).
void go_to_chapter(int position, bool at_end) {
  if (position < 1 || position > static_cast<int>(g.items.size())) return;
  const HTREEITEM item = g.items[static_cast<size_t>(position - 1)];
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

void set_full_screen(bool on);

// The keys that go on from chapter to chapter: Ctrl+PgDn and Ctrl+PgUp
// always; PgDn and Space at a chapter's end, PgUp and Shift+Space at its top.
bool step_key(WPARAM key) {
  if (key == VK_ESCAPE && g.look.full) {
    set_full_screen(false);
    return true;
  }
  if (g.shown == 0) return false;
  // In the full-screen view → and ← turn pages as PgDn and PgUp do.
  if (g.look.full && (key == VK_RIGHT || key == VK_LEFT)) {
    if (step_key(key == VK_RIGHT ? VK_NEXT : VK_PRIOR)) return true;
    SendMessageW(g.content, EM_SCROLL, key == VK_RIGHT ? SB_PAGEDOWN : SB_PAGEUP, 0);
    return true;
  }
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

// The chapter shown again in a new look, at the same place.
void reshow() {
  write_reading_look(g.look);
  if (g.shown == 0) return;
  const ReadingPlace place{g.shown, first_shown_character(), {}};
  show_chapter(g.shown);
  go_on_at(place);
}

void set_size(int points) {
  g.look.points = std::clamp(points, kLeastPoints, kMostPoints);
  reshow();
}

// The size the text is shown at now, for the first step from the book's own.
int shown_points() {
  if (g.look.points) return g.look.points;
  CHARFORMAT2W format{};
  format.cbSize = sizeof format;
  SendMessageW(g.content, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
  return format.yHeight > 0 ? static_cast<int>(format.yHeight / 20) : 12;
}

void choose_font() {
  LOGFONTW font{};
  font.lfHeight = -MulDiv(shown_points(), static_cast<int>(g.dpi), 72);
  font.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(font.lfFaceName, g.look.face.empty() ? L"宋体" : g.look.face.c_str(), LF_FACESIZE);
  CHOOSEFONTW choose{};
  choose.lStructSize = sizeof choose;
  choose.hwndOwner = g.hwnd;
  choose.lpLogFont = &font;
  choose.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_NOVERTFONTS;
  if (!ChooseFontW(&choose)) return;
  g.look.face = font.lfFaceName;
  g.look.points = std::clamp(choose.iPointSize / 10, kLeastPoints, kMostPoints);
  reshow();
}

// Full screen: no frame, menu, tree, tabs or status bar; Esc leaves.
void set_full_screen(bool on) {
  if (on == g.look.full && on == ((GetWindowLongW(g.hwnd, GWL_STYLE) & WS_CAPTION) == 0)) return;
  g.look.full = on;
  if (on) {
    g.windowed.length = sizeof g.windowed;
    GetWindowPlacement(g.hwnd, &g.windowed);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(g.hwnd, MONITOR_DEFAULTTONEAREST), &monitor);
    SetMenu(g.hwnd, nullptr);
    SetWindowLongW(g.hwnd, GWL_STYLE, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN);
    const RECT& r = monitor.rcMonitor;
    SetWindowPos(g.hwnd, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_FRAMECHANGED);
    if (g.shown) show_page(1);
  } else {
    SetWindowLongW(g.hwnd, GWL_STYLE, WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN);
    SetMenu(g.hwnd, g.menu);
    SetWindowPlacement(g.hwnd, &g.windowed);
    SetWindowPos(g.hwnd, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  }
  for (HWND bar : {g.tree, g.status}) ShowWindow(bar, on ? SW_HIDE : SW_SHOW);
  layout();
  reshow();  // the column's margins come and go with the view
  InvalidateRect(g.hwnd, nullptr, TRUE);
  SetFocus(g.content);
}

// Ctrl+F: the book searched from the caret on, chapter by chapter, round to
// where it began; the hit selected and in view. Letters match as typed.
void find(bool again) {
  finish_load();
  if (!again || g.finding.empty()) {
    const std::wstring shown(g.finding.begin(), g.finding.end());
    const std::optional<std::wstring> typed =
        ask_text(L"查找", L"在全书中查找：", false, g.hwnd, shown);
    if (!typed || typed->empty()) return;
    g.finding.assign(typed->begin(), typed->end());
  }
  const int count = chapter_count();
  if (count == 0) return;
  CHARRANGE selection{};
  SendMessageW(g.content, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
  const int first = std::max(g.shown, 1);
  size_t from = g.shown ? static_cast<size_t>(selection.cpMax) : 0;
  for (int step = 0; step <= count; ++step) {
    const int p = (first - 1 + step) % count + 1;
    const std::u16string text =
        chapter_text16(shown_text(g.book->chapters[static_cast<size_t>(p - 1)]));
    const size_t at = text.find(g.finding, step == 0 ? from : 0);
    if (at != std::u16string::npos && (step < count || at < from)) {
      go_to_chapter(p, false);
      CHARRANGE hit{static_cast<LONG>(at), static_cast<LONG>(at + g.finding.size())};
      SendMessageW(g.content, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&hit));
      SendMessageW(g.content, EM_SCROLLCARET, 0, 0);
      show_percent();
      return;
    }
  }
  const std::wstring what(g.finding.begin(), g.finding.end());
  MessageBoxW(g.hwnd, (L"找不到“" + what + L"”。").c_str(), L"查找", MB_OK | MB_ICONINFORMATION);
}

void save_place() {
  write_reading_place(g.image, {g.shown, g.shown ? first_shown_character() : 0, g.marks});
}

// Ctrl+D: a bookmark at the first line shown, kept at once.
void add_mark() {
  if (g.shown == 0) return;
  const ReadingMark mark{g.shown, first_shown_character()};
  for (const ReadingMark& m : g.marks) {
    if (m.chapter == mark.chapter && m.position == mark.position) return;
  }
  if (g.marks.size() >= kMaxMarks) g.marks.erase(g.marks.begin());
  g.marks.push_back(mark);
  save_place();
  set_status(1, L"已添加书签");
}

// The 书签 menu: each bookmark as its chapter and how far into it.
void fill_marks_menu() {
  while (GetMenuItemCount(g.marks_menu) > 0) DeleteMenu(g.marks_menu, 0, MF_BYPOSITION);
  if (g.marks.empty()) AppendMenuW(g.marks_menu, MF_GRAYED, 0, L"（没有书签）");
  for (size_t i = 0; i < g.marks.size(); ++i) {
    const ReadingMark& mark = g.marks[i];
    if (mark.chapter < 1 || mark.chapter > chapter_count()) continue;
    const std::wstring text =
        gbk_to_wide(g.book->chapters[static_cast<size_t>(mark.chapter - 1)].name) + L"  （第 " +
        number_text(mark.position) + L" 字）";
    AppendMenuW(g.marks_menu, MF_STRING, kMark0 + i, text.c_str());
  }
}

HMENU build_menu() {
  const HMENU spacing = CreatePopupMenu(), colours = CreatePopupMenu();
  AppendMenuW(spacing, MF_STRING, kSpacing10, L"单倍(&1)");
  AppendMenuW(spacing, MF_STRING, kSpacing15, L"1.5 倍(&5)");
  AppendMenuW(spacing, MF_STRING, kSpacing20, L"双倍(&2)");
  const wchar_t* names[] = {L"白色(&W)", L"护眼(&G)", L"羊皮纸(&S)", L"夜间(&N)"};
  for (UINT i = 0; i < 4; ++i) AppendMenuW(colours, MF_STRING, kColours0 + i, names[i]);
  g.marks_menu = CreatePopupMenu();
  const HMENU reading = CreatePopupMenu();
  AppendMenuW(reading, MF_STRING, kLarger, L"放大(&L)\tCtrl+=");
  AppendMenuW(reading, MF_STRING, kSmaller, L"缩小(&S)\tCtrl+-");
  AppendMenuW(reading, MF_STRING, kBookSize, L"书中的字体和字号(&O)");
  AppendMenuW(reading, MF_STRING, kFont, L"字体(&F)...");
  AppendMenuW(reading, MF_POPUP, reinterpret_cast<UINT_PTR>(spacing), L"行距(&H)");
  AppendMenuW(reading, MF_POPUP, reinterpret_cast<UINT_PTR>(colours), L"颜色(&C)");
  AppendMenuW(reading, MF_STRING, kFullScreen, L"全屏阅读(&U)\tF11");
  AppendMenuW(reading, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(reading, MF_STRING, kFind, L"查找(&D)...\tCtrl+F");
  AppendMenuW(reading, MF_STRING, kFindNext, L"查找下一个(&N)\tF3");
  AppendMenuW(reading, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(reading, MF_STRING, kAddMark, L"添加书签(&B)\tCtrl+D");
  AppendMenuW(reading, MF_POPUP, reinterpret_cast<UINT_PTR>(g.marks_menu), L"书签(&K)");
  const HMENU bar = CreateMenu();
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(reading), L"阅读(&R)");
  return bar;
}

void check_menu() {
  for (UINT i = 0; i < 3; ++i) {
    const int spacing[] = {10, 15, 20};
    CheckMenuItem(g.menu, kSpacing10 + i, g.look.spacing == spacing[i] ? MF_CHECKED : MF_UNCHECKED);
  }
  for (UINT i = 0; i < 4; ++i) {
    CheckMenuItem(g.menu, kColours0 + i,
                  g.look.colours == static_cast<int>(i) ? MF_CHECKED : MF_UNCHECKED);
  }
  CheckMenuItem(g.menu, kBookSize,
                g.look.points == 0 && g.look.face.empty() ? MF_CHECKED : MF_UNCHECKED);
  fill_marks_menu();
}

void run_command(UINT id) {
  switch (id) {
    case kLarger:
    case kSmaller:
      return set_size(shown_points() + (id == kLarger ? 2 : -2));
    case kBookSize:
      g.look.points = 0;
      g.look.face.clear();
      return reshow();
    case kFont:
      return choose_font();
    case kFullScreen:
      return set_full_screen(!g.look.full);
    case kFind:
    case kFindNext:
      return find(id == kFindNext);
    case kAddMark:
      return add_mark();
  }
  if (id >= kSpacing10 && id <= kSpacing20) {
    g.look.spacing = 10 + 5 * static_cast<int>(id - kSpacing10);
    reshow();
  } else if (id >= kColours0 && id < kColours0 + 4) {
    g.look.colours = static_cast<int>(id - kColours0);
    reshow();
  } else if (id >= kMark0 && id < kMark0 + g.marks.size()) {
    const ReadingMark& mark = g.marks[id - kMark0];
    go_on_at({mark.chapter, mark.position, {}});
  }
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
    case WM_COMMAND:
      if (HIWORD(wparam) == 0 || HIWORD(wparam) == 1) run_command(LOWORD(wparam));
      return 0;
    case WM_INITMENUPOPUP:
      check_menu();
      return 0;
    case WM_TIMER:
      if (wparam == kLoadTimer) {
        if (!g.load.step()) finish_load();
        return 0;
      }
      show_percent();
      return 0;
    case WM_DESTROY:
      save_place();
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
  g.look = read_reading_look();
  g.bytes_before.assign(1, 0);
  for (const Chapter& chapter : book.chapters) {
    g.bytes_before.push_back(g.bytes_before.back() + chapter.content.size());
  }
  g.menu = build_menu();
  HWND hwnd =
      CreateWindowExW(0, kClassName, title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                      CW_USEDEFAULT, CW_USEDEFAULT, 720, 520, nullptr, g.menu, instance, nullptr);
  if (!hwnd) return 1;
  // Created at 96-DPI size: grown to the monitor's DPI before it is shown.
  SetWindowPos(hwnd, nullptr, 0, 0, s(720), s(520), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  fill();
  ShowWindow(hwnd, SW_SHOW);
  if (const std::optional<ReadingPlace> place = read_reading_place(image)) {
    g.marks = place->marks;
    go_on_at(*place);
  }
  if (g.look.full) {
    g.look.full = false;
    set_full_screen(true);
  }
  SetTimer(hwnd, kPercentTimer, 400, nullptr);
  ACCEL keys[] = {{FCONTROL | FVIRTKEY, VK_OEM_PLUS, kLarger},
                  {FCONTROL | FVIRTKEY, VK_ADD, kLarger},
                  {FCONTROL | FVIRTKEY, VK_OEM_MINUS, kSmaller},
                  {FCONTROL | FVIRTKEY, VK_SUBTRACT, kSmaller},
                  {FVIRTKEY, VK_F11, kFullScreen},
                  {FCONTROL | FVIRTKEY, 'F', kFind},
                  {FVIRTKEY, VK_F3, kFindNext},
                  {FCONTROL | FVIRTKEY, 'D', kAddMark}};
  const HACCEL accelerators = CreateAcceleratorTableW(keys, static_cast<int>(std::size(keys)));
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.hwnd == g.content &&
        (msg.message == WM_KEYDOWN || msg.message == WM_MOUSEWHEEL ||
         msg.message == WM_LBUTTONDOWN || msg.message == WM_NCLBUTTONDOWN)) {
      finish_load();
    }
    if (msg.message == WM_KEYDOWN && msg.hwnd == g.content && step_key(msg.wParam)) continue;
    // Ctrl and the wheel make the text larger or smaller (not the control's zoom).
    if (msg.message == WM_MOUSEWHEEL && GetKeyState(VK_CONTROL) < 0 && g.shown) {
      run_command(GET_WHEEL_DELTA_WPARAM(msg.wParam) > 0 ? kLarger : kSmaller);
      continue;
    }
    if (TranslateAcceleratorW(g.hwnd, accelerators, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  DestroyAcceleratorTable(accelerators);
  return 0;
}

}  // namespace folivra
