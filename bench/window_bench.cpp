// Times chapter operations in the real main window on a book of 5,000
// chapters, beside refilling the whole tree, in the same run.
// Usage (under Wine): window_bench.exe
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <vector>

#include "app/main_window.h"
#include "app/scripted_prompts.h"

using namespace folivra;

namespace {

Book big_book(int chapters) {
  Book book;
  book.title = "Bench";
  for (int p = 1; p <= chapters; ++p) {
    Chapter chapter;
    chapter.number = p;
    chapter.name = "Chapter " + std::to_string(p);
    chapter.content = "{\\rtf1\\ansi text " + std::to_string(p) + "}";
    book.chapters.push_back(std::move(chapter));
  }
  book.chapter_count = chapters;
  return book;
}

void pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// The median of `runs` timings of `work`, in milliseconds, each followed by
// `reset` (not timed).
double median_ms(int runs, const std::function<void()>& work, const std::function<void()>& reset) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    work();
    UpdateWindow(GetActiveWindow());
    times.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count());
    reset();
    pump();
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int wmain() {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "folivra-bench";
  std::filesystem::create_directories(dir);
  // Questions (全书替换 asks before it replaces) are answered yes.
  test::ScriptedPrompts prompts;
  MainWindow window(&prompts, (dir / L"config.ini").wstring(), dir / L"recovery");
  if (!window.create(GetModuleHandleW(nullptr))) return 1;
  ShowWindow(window.hwnd(), SW_SHOW);
  const Book book = big_book(5000);
  window.show_book(book);
  pump();
  TreeView_SelectItem(window.controls().tree, window.chapter_tree().item_at(1));
  pump();

  const double refill = median_ms(
      5, [&] { window.show_book(book); }, [] {});
  TreeView_SelectItem(window.controls().tree, window.chapter_tree().item_at(1));
  pump();
  const double move_down = median_ms(
      21, [&] { window.move_chapter(1, 2); }, [&] { window.move_chapter(2, 1); });
  const double move_to_end = median_ms(
      11, [&] { window.move_chapter(1, 5000); }, [&] { window.move_chapter(5000, 1); });
  TreeView_SelectItem(window.controls().tree, window.chapter_tree().item_at(1));
  const double remove = median_ms(
      11, [&] { window.delete_chapter(); }, [&] { window.undo_chapters(false); });
  std::printf("book of 5000 chapters, medians:\n");
  std::printf("  refill the whole tree (show_book)   %8.2f ms\n", refill);
  std::printf("  move chapter 1 down one place        %8.2f ms\n", move_down);
  std::printf("  move chapter 1 to the end            %8.2f ms\n", move_to_end);
  std::printf("  delete chapter 1 (undo not timed)    %8.2f ms\n", remove);

  // Finding and replacing: 5,000 chapters of about 2 KB, a word in 500 of them.
  Book prose = big_book(5000);
  for (int p = 1; p <= 5000; ++p) {
    std::string text = "{\\rtf1\\ansi\\ansicpg936 ";
    for (int line = 0; line < 20; ++line) text += "\\'cc\\'ec\\'c1\\'c1 morning and evening\\par ";
    if (p % 10 == 0) text += "Linxi came back.\\par ";
    prose.chapters[static_cast<size_t>(p - 1)].content = text + "}";
  }
  window.show_book(prose);
  pump();
  window.open_find(false);
  const SearchWindow::Controls& f = window.search_window().controls();
  SetWindowTextW(f.pattern, L"Linxi");
  const auto search = [&] {
    SendMessageW(f.search_book, BM_CLICK, 0, 0);
    while (IsWindowEnabled(f.stop)) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
      pump();
    }
  };
  const double searched = median_ms(3, search, [] {});
  const int hits = ListView_GetItemCount(f.results);
  // The same book with regular expressions (PCRE2): a word at the start of
  // a paragraph, and digits before 章, which the book lacks.
  SendMessageW(f.regex, BM_SETCHECK, BST_CHECKED, 0);
  SetWindowTextW(f.pattern, L"^Lin\\w+ came");
  const double regex_word = median_ms(3, search, [] {});
  const int regex_word_hits = ListView_GetItemCount(f.results);
  SetWindowTextW(f.pattern, L"第[0-9]+章");
  const double regex_none = median_ms(3, search, [] {});
  SendMessageW(f.regex, BM_SETCHECK, BST_UNCHECKED, 0);
  SetWindowTextW(f.pattern, L"Linxi");
  SetWindowTextW(f.replacement, L"Linyuan");
  prompts.answers = {Answer::ok};
  const double replaced = median_ms(
      1, [&] { SendMessageW(f.replace_book, BM_CLICK, 0, 0); }, [] {});
  wchar_t note[128] = {};
  GetWindowTextW(f.note, note, 128);
  std::printf("book of 5000 chapters of about 2 KB:\n");
  std::printf("  search the whole book (%d hits)     %8.2f ms\n", hits, searched);
  std::printf("  expression ^Lin\\w+ came (%d hits)   %8.2f ms\n", regex_word_hits, regex_word);
  std::printf("  expression 第[0-9]+章 (no hits)     %8.2f ms\n", regex_none);
  std::printf("  replace in the whole book (500 ch.)  %8.2f ms  %ls\n", replaced, note);

  // A novel's worth: 3,188 chapters of about 3,000 characters, a name 17,627
  // times in them; a thread meanwhile asks the window for an answer every
  // 5 ms and notes the longest wait between two answers.
  Book novel;
  size_t placed = 0;
  for (int p = 1; p <= 3188; ++p) {
    std::string text = "{\\rtf1\\ansi\\ansicpg936 ";
    const int names = p <= 1687 ? 6 : 5;  // 1,687 x 6 + 1,501 x 5 = 17,627
    for (int line = 0; line < 30; ++line) {
      text +=
          "\\'cc\\'ec\\'c1\\'c1\\'a3\\'ac\\'d4\\'c6\\'b6\\'e4 morning and evening, rain on the "
          "river";
      if (line < names) {
        text += " Linxi";
        ++placed;
      }
      text += "\\par ";
    }
    Chapter chapter;
    chapter.name = "Chapter " + std::to_string(p);
    chapter.content = text + "}";
    novel.chapters.push_back(std::move(chapter));
  }
  novel.chapter_count = 3188;
  window.show_book(novel);
  pump();
  std::atomic<bool> replacing{true};
  std::atomic<long long> longest{0};
  std::thread asker([&] {
    auto last = std::chrono::steady_clock::now();
    while (replacing) {
      DWORD_PTR answer = 0;
      SendMessageTimeoutW(window.hwnd(), WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer);
      const auto now = std::chrono::steady_clock::now();
      longest = std::max<long long>(
          longest, std::chrono::duration_cast<std::chrono::milliseconds>(now - last).count());
      last = now;
      Sleep(5);
    }
  });
  prompts.answers = {Answer::ok};
  const double novel_replaced = median_ms(
      1, [&] { SendMessageW(f.replace_book, BM_CLICK, 0, 0); }, [] {});
  replacing = false;
  asker.join();
  GetWindowTextW(f.note, note, 128);
  size_t left = 0;
  for (const Chapter& chapter : window.book().chapters) {
    for (size_t at = chapter.content.find("Linxi"); at != std::string::npos;
         at = chapter.content.find("Linxi", at + 1)) {
      ++left;
    }
  }
  std::printf("book of 3188 chapters of about 3,000 characters, %zu places:\n", placed);
  std::printf(
      "  replace in the whole book            %8.2f ms  (%zu places left); longest wait for an "
      "answer %lld ms\n",
      novel_replaced, left, static_cast<long long>(longest));
  DestroyWindow(window.hwnd());
  return 0;
}
