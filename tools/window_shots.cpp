// Shows a sample book in the real main window and saves what the screen
// shows: the information page and a chapter on the content page.
// Usage: window_shots.exe OUTPUT_FOLDER   (BMP files; scripts/screenshots.sh makes PNGs)
#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/main_window.h"
#include "book/gbk.h"
#include "book/book_time.h"
#include "book/gbk_wide.h"
#include "editor/file_dialogs.h"
#include "editor/file_filter.h"
#include "editor/font_dialog.h"
#include "editor/import_dialog.h"
#include "editor/password_dialog.h"
#include "text/text_import.h"
#include "app/windows_prompts.h"
#include "ui/dpi.h"

using namespace folivra;

namespace {

void pump() {
  MSG msg;
  for (int round = 0; round < 20; ++round) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(20);
  }
}

// A 120 x 136 cover: a dark blue gradient with a light band, as BMP bytes.
std::string cover_bmp() {
  const int w = 96, h = 128, row = w * 3;
  std::string bytes(54 + row * h, '\0');
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(v >> (8 * i));
  };
  bytes[0] = 'B';
  bytes[1] = 'M';
  put32(2, static_cast<uint32_t>(bytes.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, w);
  put32(22, h);
  bytes[26] = 1;
  bytes[28] = 24;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const size_t at = 54 + static_cast<size_t>(y) * row + x * 3;
      const bool band = y > 70 && y < 90;
      bytes[at] = static_cast<char>(band ? 0xE0 : 0x80 + y / 2);      // blue
      bytes[at + 1] = static_cast<char>(band ? 0xF0 : 0x30 + y / 4);  // green
      bytes[at + 2] = static_cast<char>(band ? 0xF8 : 0x20);          // red
    }
  }
  return bytes;
}

Book sample() {
  Book book;
  book.title = "\xC9\xBD\xBA\xA3\xD0\xD0\xBC\xC7";      // 山海行记
  book.author = "\xC1\xD6\xCF\xAA";                     // 林溪
  book.book_type = "\xC1\xAC\xD4\xD8\xD0\xA1\xCB\xB5";  // 连载小说
  book.time = date_time_from_calendar({2026, 12, 8, 9, 30, 0});
  // 一部关于远行、友谊与山川的长篇连载。
  book.intro =
      "\xD2\xBB\xB2\xBF\xB9\xD8\xD3\xDA\xD4\xB6\xD0\xD0\xA1\xA2\xD3\xD1\xD2\xEA\xD3\xEB\xC9\xBD\xB4"
      "\xA8\xB5\xC4\xB3\xA4\xC6\xAA\xC1\xAC\xD4\xD8\xA1\xA3";
  book.cover = cover_bmp();
  const char* names[] = {"\xB5\xDA\xD2\xBB\xD5\xC2 \xB3\xF6\xB7\xA2",   // 第一章 出发
                         "\xB5\xDA\xB6\xFE\xD5\xC2 \xB6\xC9\xBA\xD3",   // 第二章 渡河
                         "\xB5\xDA\xC8\xFD\xD5\xC2 \xC9\xBD\xB9\xC8",   // 第三章 山谷
                         "\xB5\xDA\xCB\xC4\xD5\xC2 \xD2\xB9\xD3\xEA"};  // 第四章 夜雨
  for (int i = 0; i < 4; ++i) {
    Chapter chapter;
    chapter.number = i + 1;
    chapter.name = names[i];
    chapter.content =
        "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}"
        "{\\colortbl ;\\red160\\green30\\blue30;}"
        "\\pard\\qc\\b\\fs32 " +
        std::string(names[i]) +
        "\\b0\\par\\pard\\fs21\\par "
        // 清晨，雾气从河面升起。我们收拾好行囊，沿着石阶走下山去。
        "\\'c7\\'e5\\'b3\\'bf\\'a3\\'ac\\'ce\\'ed\\'c6\\'f8\\'b4\\'d3\\'ba\\'d3\\'c3\\'e6\\'c9\\'fd"
        "\\'c6\\'f0\\'a1\\'a3\\'ce\\'d2\\'c3\\'c7\\'ca\\'d5\\'ca\\'b0\\'ba\\'c3\\'d0\\'d0\\'c4\\'d2"
        "\\'a3\\'ac\\'d1\\'d8\\'d7\\'c5\\'ca\\'af\\'bd\\'d7\\'d7\\'df\\'cf\\'c2\\'c9\\'bd\\'c8\\'a5"
        "\\'a1\\'a3\\par\\par "
        "\\cf1\\i \\'a1\\'b0\\'c2\\'b7\\'bb\\'b9\\'ba\\'dc\\'b3\\'a4\\'a1\\'a3\\'a1\\'b1\\cf0\\i0 "
        "\\'cb\\'fb\\'cb\\'b5\\'a1\\'a3\\par }";
    book.chapters.push_back(chapter);
  }
  book.chapter_count = 4;
  return book;
}

bool save_screen(HWND hwnd, const std::wstring& path) {
  RECT r;
  GetWindowRect(hwnd, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(dc, bitmap);
  BitBlt(dc, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  SelectObject(dc, old);

  BITMAPINFOHEADER info{sizeof info, w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  const int row = (w * 3 + 3) & ~3;
  std::string pixels(static_cast<size_t>(row) * h, '\0');
  GetDIBits(dc, bitmap, 0, h, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);

  BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(54 + pixels.size()), 0, 0, 54};
  std::ofstream out(std::filesystem::path(path), std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info), sizeof info);
  out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
  return static_cast<bool>(out);
}

// Saves the first dialog box of this thread once it is up, then cancels it.
std::wstring g_dialog_shot;
void CALLBACK shoot_dialog(HWND, UINT, UINT_PTR id, DWORD) {
  HWND dialog = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM found) {
        wchar_t cls[16] = {};
        GetClassNameW(hwnd, cls, 16);
        if (lstrcmpW(cls, L"#32770") != 0 || !IsWindowVisible(hwnd)) return TRUE;
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&dialog));
  if (!dialog) return;
  KillTimer(nullptr, id);
  RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  save_screen(dialog, g_dialog_shot);
  PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
}

// Saves the main window with the tree's context menu open, then closes it.
HWND g_menu_owner = nullptr;
std::wstring g_menu_shot;
void CALLBACK shoot_menu(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  save_screen(g_menu_owner, g_menu_shot);
  EndMenu();
}

// Saves the main window once a save's progress bar is a third of the way.
HWND g_save_owner = nullptr;
std::wstring g_save_shot;
LRESULT CALLBACK shoot_bar(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                           DWORD_PTR) {
  const LRESULT result = DefSubclassProc(hwnd, message, wparam, lparam);
  if (message == PBM_SETPOS && wparam >= 300 && !g_save_shot.empty()) {
    UpdateWindow(hwnd);
    save_screen(g_save_owner, g_save_shot);
    g_save_shot.clear();
  }
  return result;
}
LRESULT CALLBACK watch_status(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                              DWORD_PTR) {
  if (message == WM_PARENTNOTIFY && LOWORD(wparam) == WM_CREATE) {
    SetWindowSubclass(reinterpret_cast<HWND>(lparam), shoot_bar, 1, 0);
  }
  return DefSubclassProc(hwnd, message, wparam, lparam);
}

// A writing store of the shots' own, with a month of writing in it: the
// book's 字数 at the end of each of the last 30 days (a day off among them).
std::filesystem::path seeded_store(const std::filesystem::path& book) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::filesystem::path folder = std::filesystem::path(temp) / L"folivra-shots";
  std::filesystem::remove_all(folder);
  SetEnvironmentVariableW(L"LOCALAPPDATA", folder.wstring().c_str());
  StoreClock clock = system_store_clock();
  const int64_t today = clock.now();
  int64_t at = today;
  clock.now = [&at] { return at; };
  WritingStore::Opened opened = WritingStore::open(folder / L"Folivra" / L"folivra.db", {}, clock);
  if (!opened.store) return folder;
  const int64_t session = opened.store->begin_session();
  int64_t words = 120000;
  for (int day = 30; day >= 1; --day) {
    at = today - day * int64_t{86400};
    const int64_t written = day == 9 ? 0 : 1800 + (day * 7919) % 2600;
    words += written;
    opened.store->record_words(WritingLog::key_of(book.parent_path() / L"旧作.zqb"), words,
                               session);
  }
  return folder;
}

// A book large enough that saving it takes a moment: chapters of text that
// does not compress away.
Book long_book() {
  Book book = sample();
  uint32_t seed = 1;
  for (int i = 0; i < 1500; ++i) {
    Chapter chapter = book.chapters[static_cast<size_t>(i % 4)];
    std::string text = "{\\rtf1\\ansi\\ansicpg936 ";
    for (int k = 0; k < 20000; ++k) {
      seed = seed * 1103515245u + 12345u;
      text += static_cast<char>(0xB0 + (seed >> 16) % 0x28);
      text += static_cast<char>(0xA1 + (seed >> 8) % 0x5E);
    }
    chapter.content = text + "}";
    book.chapters.push_back(chapter);
  }
  book.chapters.erase(book.chapters.begin(), book.chapters.begin() + 4);
  book.chapter_count = static_cast<int32_t>(book.chapters.size());
  return book;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring folder = argc > 1 ? argv[1] : L".";
  wchar_t temp_folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp_folder);
  const std::filesystem::path novel_file = std::filesystem::path(temp_folder) / L"长河.zqb";
  const std::filesystem::path store_folder = seeded_store(novel_file);
  MainWindow window;
  HWND hwnd = window.create(GetModuleHandleW(nullptr));
  if (!hwnd) return 1;
  const UINT dpi = window_dpi(hwnd);
  SetWindowPos(hwnd, nullptr, 20, 20, scale(720, dpi), scale(520, dpi), SWP_NOZORDER);
  ShowWindow(hwnd, SW_SHOW);
  pump();
  if (!save_screen(hwnd, folder + L"\\start.bmp")) return 2;

  window.show_book(sample());
  pump();
  save_screen(hwnd, folder + L"\\information.bmp");

  TreeView_SelectItem(window.controls().tree, window.chapter_tree().item_at(1));
  SetFocus(window.controls().content);  // writing: the chapter stays marked in the tree
  pump();
  save_screen(hwnd, folder + L"\\chapter.bmp");
  // 目录显示字数: each chapter's 字数 after its name.
  window.settings().write_bool("Editor", "tree_counts", true);
  window.apply_tree_counts();
  pump();
  save_screen(hwnd, folder + L"\\tree-counts.bmp");
  window.settings().write_bool("Editor", "tree_counts", false);
  window.apply_tree_counts();

  // The tree's context menu after a chapter was moved up: undo names it.
  window.move_chapter(3, 2);
  pump();
  window.refresh_tree_menu();
  RECT item;
  TreeView_GetItemRect(window.controls().tree, window.chapter_tree().item_at(2), &item, TRUE);
  POINT at{item.right, item.top};
  ClientToScreen(window.controls().tree, &at);
  g_menu_owner = hwnd;
  g_menu_shot = folder + L"\\chapter-menu.bmp";
  SetTimer(nullptr, 0, 700, shoot_menu);
  TrackPopupMenu(window.menus().tree->handle(), TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd, nullptr);
  pump();

  // 查找和替换 after searching the whole book.
  window.open_find(false);
  SetWindowTextW(window.search_window().controls().pattern, L"山");
  SendMessageW(window.search_window().controls().search_book, BM_CLICK, 0, 0);
  pump();
  pump();
  save_screen(window.search_window().hwnd(), folder + L"\\search.bmp");
  ShowWindow(window.search_window().hwnd(), SW_HIDE);
  window.show_word_counts();
  pump();
  save_screen(window.word_count_window().hwnd(), folder + L"\\word-count.bmp");
  ShowWindow(window.word_count_window().hwnd(), SW_HIDE);

  // 历史版本: a chapter typed in and saved twice, its first version compared
  // with the text now; then 码字统计 with a goal.
  {
    window.settings().write_int("Store", "daily_goal", 3000);
    Book book = sample();
    write_book(novel_file, book);
    window.commands().open_book(wide_to_gbk_lossy(novel_file.wstring()));
    TreeView_SelectItem(window.controls().tree, window.chapter_tree().item_at(1));
    pump();
    const HWND content = window.controls().content;
    for (const wchar_t* typed :
         {L"\r雨停了，天边透出一线光。", L"\r他收起伞，走上了渡口的石阶。"}) {
      SendMessageW(content, EM_SETSEL, -1, -1);
      SendMessageW(content, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(typed));
      pump();
      window.commands().save_book();
    }
    SendMessageW(content, EM_SETSEL, 0, 1);
    SendMessageW(content, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"秋"));
    pump();
    window.show_history();
    window.versions_window().select(2);
    window.versions_window().set_comparing(true);
    SetWindowPos(window.versions_window().hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE);
    pump();
    pump();
    save_screen(window.versions_window().hwnd(), folder + L"\\history.bmp");
    window.versions_window().close();
    window.show_writing_stats();
    pump();
    save_screen(window.writing_stats_window().hwnd(), folder + L"\\writing-stats.bmp");
    ShowWindow(window.writing_stats_window().hwnd(), SW_HIDE);
    pump();
    save_screen(hwnd, folder + L"\\today.bmp");
    window.settings().write_int("Store", "daily_goal", 0);
    window.set_modified(false);
  }

  // 分卷 in the tree; then the writing view on a 护眼 page at 1.5 lines, and
  // at night.
  {
    Book book = sample();
    Chapter volume;
    volume.name = "\xB5\xDA\xD2\xBB\xBE\xED \xC9\xBD\xC2\xB7";  // 第一卷 山路
    book.chapters.insert(book.chapters.begin(), volume);
    volume.name = "\xB5\xDA\xB6\xFE\xBE\xED \xCB\xAE\xC2\xB7";  // 第二卷 水路
    book.chapters.insert(book.chapters.begin() + 3, volume);
    book.chapter_count = static_cast<int32_t>(book.chapters.size());
    window.show_book(book);
    TreeView_SelectItem(window.controls().tree, window.chapter_tree().item_at(5));
    pump();
    save_screen(hwnd, folder + L"\\volumes.bmp");
    window.settings().write_int("View", "page", 1);
    window.settings().write_int("View", "spacing", 15);
    window.set_writing_view(true);
    pump();
    save_screen(hwnd, folder + L"\\writing-view.bmp");
    window.settings().write_int("View", "page", 3);
    window.apply_page_look();
    pump();
    save_screen(hwnd, folder + L"\\writing-night.bmp");
    window.set_writing_view(false);
    window.settings().write_int("View", "page", 0);
    window.settings().write_int("View", "spacing", 10);
    window.apply_page_look();
    window.set_modified(false);
  }

  // A long save with its progress bar over the book's pane.
  Book saved = long_book();
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::filesystem::path saved_path = std::filesystem::path(temp) / L"folivra-shot.zqb";
  saved.file_path = wide_to_gbk_lossy(saved_path.wstring());
  window.show_book(saved);
  pump();
  window.set_modified(true);
  window.set_save_progress_delay(0);
  g_save_owner = hwnd;
  g_save_shot = folder + L"\\saving.bmp";
  SetWindowSubclass(window.controls().status, watch_status, 1, 0);
  window.commands().save_book();
  RemoveWindowSubclass(window.controls().status, watch_status, 1);
  std::filesystem::remove(saved_path);
  std::filesystem::remove(saved_path.wstring() + L".bak");

  g_dialog_shot = folder + L"\\save-dialog.bmp";
  SetTimer(nullptr, 0, 700, shoot_dialog);
  SaveFileRequest save;
  save.initial_directory = "C:\\";
  save.filter = std::wstring(kBookFilter);
  save.default_name = "\xC9\xBD\xBA\xA3\xD0\xD0\xBC\xC7";
  save_file_dialog(hwnd, save);
  g_dialog_shot = folder + L"\\font-dialog.bmp";
  SetTimer(nullptr, 0, 700, shoot_dialog);
  FontChoice font;
  show_font_dialog(hwnd, font);

  WindowsPrompts prompts;
  const auto tell = [&](const Message& m) { return prompts.show_message(m); };
  PasswordDialog password(
      PasswordRequest{PasswordMode::open, "tale.zqb", "0123456789ABCDEF", gbk_of("无"), ""}, tell);
  password.create(hwnd);
  ShowWindow(password.hwnd(), SW_SHOW);
  SetWindowTextW(password.controls().password, L"secret");
  pump();
  save_screen(password.hwnd(), folder + L"\\password-dialog.bmp");
  DestroyWindow(password.hwnd());

  PasswordDialog set_password(
      PasswordRequest{PasswordMode::set, "tale.zqb", "", gbk_of("无"), "secret"}, tell);
  set_password.create(hwnd);
  ShowWindow(set_password.hwnd(), SW_SHOW);
  pump();
  save_screen(set_password.hwnd(), folder + L"\\password-set.bmp");
  DestroyWindow(set_password.hwnd());

  // 导入文本 with the preview of a small novel.
  const std::u16string novel =
      u"远行\r\n\r\n楔子\r\n　　那一年，雪下得很大。\r\n第一章 出门\r\n　　他说第一章写得好。\r\n"
      u"第二章 渡河\r\n　　河水很急，船很小。\r\n第三章 "
      u"山中\r\n　　山中无人。\r\n尾声\r\n　　完。\r\n";
  TextImportRequest request;
  request.file_name = L"远行.txt";
  request.encodings = {L"GB18030", L"UTF-8", L"UTF-8 BOM", L"UTF-16LE", L"UTF-16BE"};
  const std::u16string rule = default_heading_rule();
  request.rule = std::wstring(rule.begin(), rule.end());
  request.can_append = true;
  request.preview = [&](int, const std::wstring& rule) {
    ImportPreview preview;
    const ChapterSplit found = split_chapters(novel, std::u16string(rule.begin(), rule.end()));
    if (found.outcome != RuleOutcome::split) return preview.rule_problem = L"规则有误", preview;
    preview.title = L"远行";
    preview.author = L"林溪";
    for (const TextChapter& chapter : found.chapters) {
      const std::u16string first = chapter.lines.empty() ? u"" : chapter.lines.front();
      preview.rows.push_back({std::wstring(chapter.name.begin(), chapter.name.end()),
                              std::wstring(first.begin(), first.end()), first.size()});
    }
    return preview;
  };
  ImportDialog import(request);
  import.create(hwnd);
  ShowWindow(import.hwnd(), SW_SHOW);
  pump();
  save_screen(import.hwnd(), folder + L"\\import-dialog.bmp");
  DestroyWindow(hwnd);
  return 0;
}
