// Times what a user waits for in the real main window around a very large
// chapter and a book of 5,000 chapters, each beside the same with a small
// chapter or book, in the same run.
// Usage (under Wine): big_chapter_bench.exe [characters]   (default 1000000)
// (It starts itself again as "big_chapter_bench.exe --open BOOK" to time the
// opening of one book in a process of its own, with its peak memory.)
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <filesystem>
#include <functional>
#include <string>

#include "app/main_window.h"
#include "book/book_file.h"
#include "book/gbk.h"
#include "book/gbk_wide.h"
#include "book/file_io.h"
#include "book/reader_image.h"
#include "editor/import_dialog.h"
#include "text/novel_import.h"

using namespace folivra;

namespace {

// Characters a paragraph of the big chapter holds (the second argument).
size_t paragraph_length = 50;

// A chapter of `characters` Chinese characters in paragraphs of
// `paragraph_length`, as RTF: characters drawn from GB2312's common rows, so
// that it compresses about as real text does (one character repeated would
// compress past what a book file may decode to).
std::string chapter_of(size_t characters) {
  std::string rtf =
      "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 SimSun;}}\\f0 ";
  static const char kHex[] = "0123456789abcdef";
  uint32_t seed = static_cast<uint32_t>(characters);
  for (size_t i = 0; i < characters; ++i) {
    seed = seed * 1103515245u + 12345u;
    const unsigned lead = 0xB0 + (seed >> 16) % 0x28, trail = 0xA1 + (seed >> 8) % 0x5E;
    const char escape[] = {'\\', '\'', kHex[lead >> 4],  kHex[lead & 15],
                           '\\', '\'', kHex[trail >> 4], kHex[trail & 15]};
    rtf.append(escape, sizeof escape);
    if (i % paragraph_length == paragraph_length - 1) rtf += "\\par\r\n";
  }
  return rtf + "}";
}

Book book_with(size_t characters) {
  Book book;
  book.title = "Bench";
  for (int p = 1; p <= 3; ++p) {
    Chapter chapter;
    chapter.number = p;
    chapter.name = "Chapter " + std::to_string(p);
    chapter.content = p == 1 ? chapter_of(characters) : chapter_of(200);
    book.chapters.push_back(std::move(chapter));
  }
  book.chapter_count = 3;
  return book;
}

void pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// Until the window has painted and taken every message queued so far.
double ms_of(const std::function<void()>& work, HWND window) {
  const auto start = std::chrono::steady_clock::now();
  work();
  pump();
  UpdateWindow(window);
  SendMessageW(window, WM_NULL, 0, 0);
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

void type_keys(HWND edit, int keys) {
  for (int i = 0; i < keys; ++i) {
    SendMessageW(edit, WM_CHAR, L'a' + i % 26, 0);
    pump();
  }
}

// Until the other process has taken the message and every one before it.
double ms_in(HWND window, const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, 3600000, &ignored);
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

// 导入文本 of a 3,000-chapter novel: until the dialog answers, and until its
// preview is filled in, beside the preview worked out on its own.
void time_import_preview(HWND owner) {
  std::u16string novel;
  for (int c = 1; c <= 3000; ++c) {
    const std::string number = std::to_string(c);
    novel.append(u"第").append(number.begin(), number.end()).append(u"章 山河\r\n");
    for (int line = 0; line < 10; ++line) {
      novel += u"　　雨停了，天边透出一线光，他收起伞，走上了渡口的石阶，回头望了一眼。\r\n";
    }
  }
  TextImportRequest request;
  request.file_name = L"长篇.txt";
  request.encodings = {L"UTF-16LE"};
  const std::u16string rule = default_heading_rule();
  request.rule = std::wstring(rule.begin(), rule.end());
  request.preview = [&](int, const std::wstring& typed) {
    ImportPreview preview;
    const ChapterSplit found = split_chapters(novel, std::u16string(typed.begin(), typed.end()));
    for (const TextChapter& chapter : found.chapters) {
      const std::u16string first = chapter.lines.empty() ? u"" : chapter.lines.front();
      preview.rows.push_back({std::wstring(chapter.name.begin(), chapter.name.end()),
                              std::wstring(first.begin(), first.end()), first.size()});
    }
    return preview;
  };
  const auto start = std::chrono::steady_clock::now();
  const double alone = ms_of([&] { request.preview(0, request.rule); }, owner);
  ImportDialog dialog(request);
  const double answers =
      ms_of([&] { dialog.create(owner); }, dialog.hwnd() ? dialog.hwnd() : owner);
  while (!dialog.preview_ready()) pump();
  const double filled =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() -
      alone;
  std::printf(
      "import preview of 3,000 chapters: the dialog answers after %.1f ms, is filled in after "
      "%.1f ms; the preview alone takes %.1f ms\n",
      answers, filled, alone);
}

// The carried reader with the same book, a process of its own as a reader
// starts it, driven through its tree from here.
void time_reader(const std::filesystem::path& dir, size_t characters) {
  std::printf("the reader, a chapter of %zu characters beside one of 200:\n", characters);
  for (const size_t size : {size_t{200}, characters}) {
    Book book = book_with(size);
    const std::filesystem::path exe = dir / L"reader.exe";
    replace_file_contents(exe, reader_executable(carried_reader(), book));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring line = L"\"" + exe.wstring() + L"\"";
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
      return;
    }
    WaitForInputIdle(process.hProcess, 60000);
    HWND window = nullptr;
    for (int i = 0; i < 600 && !window; ++i, Sleep(50)) {
      window = FindWindowW(L"FolivraReader", nullptr);
    }
    HWND tree = window ? FindWindowExW(window, nullptr, WC_TREEVIEWW, nullptr) : nullptr;
    if (tree) {
      const auto item = [&](int index) {
        HTREEITEM at = TreeView_GetRoot(tree);
        at = TreeView_GetChild(tree, at);
        for (int i = 1; i < index && at; ++i) at = TreeView_GetNextSibling(tree, at);
        return at;
      };
      ms_in(window, [&] { TreeView_SelectItem(tree, item(2)); });
      // The first screen, then the rest going in behind it: until the
      // text's length has stood still for 100 ms.
      const auto start = std::chrono::steady_clock::now();
      const double enter = ms_in(window, [&] { TreeView_SelectItem(tree, item(1)); });
      HWND text = nullptr;  // the chapter's control, the largest text of the window
      EnumChildWindows(
          window,
          [](HWND child, LPARAM found) {
            wchar_t name[32] = {};
            GetClassNameW(child, name, 32);
            HWND& best = *reinterpret_cast<HWND*>(found);
            if (lstrcmpiW(name, L"RICHEDIT50W") == 0 &&
                (!best || SendMessageW(child, WM_GETTEXTLENGTH, 0, 0) >
                              SendMessageW(best, WM_GETTEXTLENGTH, 0, 0))) {
              best = child;
            }
            return TRUE;
          },
          reinterpret_cast<LPARAM>(&text));
      LRESULT length = -1;
      int still = 0;
      auto settled = start;
      while (still < 5) {
        const LRESULT now = SendMessageW(text, WM_GETTEXTLENGTH, 0, 0);
        if (now == length) {
          ++still;
        } else {
          still = 0;
          length = now;
          settled = std::chrono::steady_clock::now();
        }
        Sleep(20);
      }
      const double all_in = std::chrono::duration<double, std::milli>(settled - start).count();
      const double leave = ms_in(window, [&] { TreeView_SelectItem(tree, item(2)); });
      std::printf(
          "  %8zu chars: click into it: first screen %7.1f ms, all of it in %8.1f ms (%ld "
          "characters); leave it %9.1f ms\n",
          size, enter, std::max(enter, all_in), static_cast<long>(length), leave);
    }
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
}

}  // namespace

// Opening one book in a process that did nothing before: until the tree is
// shown, until every content is in, and the memory it took at most.
int open_alone(const std::filesystem::path& dir, const std::wstring& book_path) {
  MainWindow window(nullptr, (dir / L"config.ini").wstring(), dir / L"recovery");
  if (!window.create(GetModuleHandleW(nullptr))) return 1;
  ShowWindow(window.hwnd(), SW_SHOW);
  pump();
  PROCESS_MEMORY_COUNTERS before{};
  GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);
  const auto start = std::chrono::steady_clock::now();
  const double open =
      ms_of([&] { window.commands().open_book(wide_to_gbk_lossy(book_path)); }, window.hwnd());
  while (window.reading_contents() || window.counting_words()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    pump();
  }
  const double all_in =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  // The writing store records the book after that: its peak counts too.
  const auto settled = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  while (std::chrono::steady_clock::now() < settled) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    pump();
  }
  PROCESS_MEMORY_COUNTERS after{};
  GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after);
  size_t decoded = 0;
  for (const Chapter& c : window.book().chapters) decoded += c.name.size() + c.content.size();
  const double mb = 1024.0 * 1024.0;
  std::printf(
      "  %5zu chapters, in a process of its own: the tree shown after %7.1f ms, every content "
      "in and counted after %7.1f ms; peak memory within 3 s %6.1f MB (%5.1f MB before opening) "
      "beside "
      "%5.1f MB decoded and a file of %5.1f MB\n",
      window.book().chapters.size(), open, all_in, after.PeakWorkingSetSize / mb,
      before.PeakWorkingSetSize / mb, decoded / mb, std::filesystem::file_size(book_path) / mb);
  DestroyWindow(window.hwnd());
  return 0;
}

// This program again with "--open BOOK", its output in ours.
void open_in_own_process(const std::string& book) {
  wchar_t module[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, module, MAX_PATH);
  std::wstring line = L"\"" + std::wstring(module) + L"\" --open \"" + gbk_to_wide(book) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION child{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                      &child)) {
    return;
  }
  WaitForSingleObject(child.hProcess, 120000);
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
}

int wmain(int argc, wchar_t** argv) {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  if (argc > 2 && std::wstring(argv[1]) == L"--open") {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "folivra-bench-open";
    std::filesystem::create_directories(dir);
    return open_alone(dir, argv[2]);
  }
  const size_t characters = argc > 1 ? std::wcstoul(argv[1], nullptr, 10) : 1000000;
  if (argc > 2) paragraph_length = std::max<size_t>(1, std::wcstoul(argv[2], nullptr, 10));
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "folivra-bench";
  std::filesystem::create_directories(dir);
  MainWindow window(nullptr, (dir / L"config.ini").wstring(), dir / L"recovery");
  if (!window.create(GetModuleHandleW(nullptr))) return 1;
  ShowWindow(window.hwnd(), SW_SHOW);
  HWND tree = window.controls().tree;
  HWND edit = window.controls().content;

  std::printf("chapter of %zu characters beside one of 200:\n", characters);
  for (const size_t size : {size_t{200}, characters}) {
    window.show_book(book_with(size));
    pump();
    TreeView_SelectItem(tree, window.chapter_tree().item_at(2));
    pump();
    // The first screen: the click's work and the paint that follows; then
    // the rest of a large chapter going in behind it, the window answering.
    const auto start = std::chrono::steady_clock::now();
    TreeView_SelectItem(tree, window.chapter_tree().item_at(1));
    edit = window.controls().content;
    UpdateWindow(window.hwnd());
    UpdateWindow(edit);
    const double first_screen =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    while (window.content_loading()) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
      pump();
    }
    const double enter =
        ms_of([] {}, window.hwnd()) +
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    SetFocus(edit);
    const double typed = ms_of([&] { type_keys(edit, 50); }, window.hwnd()) / 50;
    const double leave =
        ms_of([&] { TreeView_SelectItem(tree, window.chapter_tree().item_at(2)); }, window.hwnd());
    std::printf(
        "  %8zu chars: click into it: first screen %7.1f ms, all of it in %8.1f ms; one key "
        "%6.2f ms, leave it %9.1f ms\n",
        size, first_screen, enter, typed, leave);
  }

  // Opening until the tree is shown, and Ctrl+S after one chapter was edited.
  const auto book_file = [&](int chapters) {
    Book book;
    book.title = "Bench";
    for (int p = 1; p <= chapters; ++p) {
      Chapter chapter;
      chapter.number = p;
      chapter.name = "Chapter " + std::to_string(p);
      chapter.content = chapter_of(1250);  // about 10 KB of RTF, 50 MB in all
      book.chapters.push_back(std::move(chapter));
    }
    const std::filesystem::path path = dir / (std::to_wstring(chapters) + L".zqb");
    write_book(path, book);
    return wide_to_gbk_lossy(path.wstring());
  };
  std::printf("books of 1 and of 5000 chapters of 1,250 characters:\n");
  for (const int chapters : {1, 5000}) {
    const std::string path = book_file(chapters);
    Book read;
    const double reading = ms_of([&] { read_book(path_from_gbk(path), "", read); }, window.hwnd());
    const double showing = ms_of([&] { window.show_book(read); }, window.hwnd());
    const double open = ms_of([&] { window.commands().open_book(path); }, window.hwnd());
    TreeView_SelectItem(tree, window.chapter_tree().item_at(1));
    pump();
    SetFocus(window.controls().content);
    type_keys(window.controls().content, 1);
    const double save = ms_of([&] { window.commands().save_book(); }, window.hwnd());
    std::printf(
        "  %4d chapters: open until the tree is shown %8.1f ms (reading the file %.1f ms, showing "
        "the book read %.1f ms), Ctrl+S after one edit %8.1f ms\n",
        chapters, open, reading, showing, save);
  }
  for (const int chapters : {1, 5000, 1, 5000}) open_in_own_process(book_file(chapters));
  time_import_preview(window.hwnd());
  DestroyWindow(window.hwnd());
  time_reader(dir, characters);
  return 0;
}
