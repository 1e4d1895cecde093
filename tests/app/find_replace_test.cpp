// Finding and replacing as an author does it, in the real window: Ctrl+F and
// F3 in the chapter, the whole book searched on a worker, 全书替换 as one
// operation that keeps the formatting and is taken back whole, and 字数 in
// the status bar and the 字数统计 window.
#include <richedit.h>

#include "app/window_driver.h"
#include "book/book_file.h"
#include "book/gbk.h"
#include "book/gbk_wide.h"
#include "text/plain_text.h"
#include "text/word_count.h"
#include "ui/menu_ids.h"
#include "ui/rtf_stream.h"

namespace folivra::test {
namespace {

// 林溪 in GBK, as RTF escapes.
constexpr const char* kLinXi = "\\'c1\\'d6\\'cf\\'aa";

std::string chapter_rtf(const std::string& body) {
  std::string rtf = "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fnil\\fcharset134 SimSun;}}\\f0 ";
  return rtf.append(body).append("}");
}

class FindReplace : public WindowTest {
 protected:
  Book novel() {
    Book book = sample_book(4);
    book.title = gbk_of("林溪记");
    std::string first = "\\b ";
    first.append(kLinXi).append("\\b0  walked. ").append(kLinXi).append(" again\\par end");
    book.chapters[0].content = chapter_rtf(first);
    book.chapters[1].content = chapter_rtf("nothing here");
    book.chapters[2].content = chapter_rtf(std::string("x ").append(kLinXi));
    book.chapters[3].name = gbk_of("林溪之章");
    book.chapters[3].content = chapter_rtf("plain");
    return book;
  }
  const SearchWindow::Controls& f() { return window().search_window().controls(); }
  void click(HWND button) {
    SendMessageW(button, BM_CLICK, 0, 0);
    pump();
  }
  CHARRANGE selection() {
    CHARRANGE r{};
    SendMessageW(c().content, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
    return r;
  }
  // Runs the loop until the worker's last message has come.
  void wait_for_search() {
    ASSERT_TRUE(wait_until([&] { return !IsWindowEnabled(f().stop); }));
  }
};

TEST_F(FindReplace, FindInTheChapterThenSearchAndReplaceTheWholeBook) {
  const std::filesystem::path file = dir_.path("novel.zqb");
  Book book = novel();
  ASSERT_EQ(write_book(file, book), 0);
  window().commands().open_book(wide_to_gbk_lossy(file.wstring()));
  select(1);
  SetFocus(c().content);
  {
    HeldKeys ctrl(true);
    loop_key(c().content, 'F');
  }
  ASSERT_TRUE(window().search_window().visible()) << "Ctrl+F";
  SetWindowTextW(f().pattern, L"林溪");
  SetFocus(c().content);
  loop_key(c().content, VK_F3);
  EXPECT_EQ(selection().cpMin, 0);
  EXPECT_EQ(selection().cpMax, 2);
  loop_key(c().content, VK_F3);
  EXPECT_EQ(selection().cpMin, 11) << "林溪 walked. |林溪";
  loop_key(c().content, VK_F3);
  EXPECT_EQ(selection().cpMin, 0) << "round again from the start";
  {
    HeldKeys shift(false, true);
    loop_key(c().content, VK_F3);
  }
  EXPECT_EQ(selection().cpMin, 11) << "Shift+F3 goes back, round to the end";

  // The book: the title, chapter 1 twice, chapter 3, and chapter 4's name.
  SendMessageW(f().names, BM_SETCHECK, BST_CHECKED, 0);
  click(f().search_book);
  wait_for_search();
  EXPECT_EQ(ListView_GetItemCount(f().results), 5);
  EXPECT_EQ(text_of(f().note), L"全书共找到 5 处。");
  ListView_SetItemState(f().results, 3, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  pump();
  EXPECT_EQ(window().selected_index(), 3) << "the chosen hit's chapter is open";
  EXPECT_EQ(selection().cpMin, 2);
  EXPECT_EQ(selection().cpMax, 4);

  SetWindowTextW(f().replacement, L"林渊");
  click(f().replace_book);
  ASSERT_EQ(prompts_.messages.size(), 1u) << "the places are said and asked about first";
  EXPECT_EQ(prompts_.messages[0].text, L"将替换 4 处，涉及 3 章。\r\n要替换吗？");
  EXPECT_EQ(window().book().chapters[0].content, novel().chapters[0].content) << "cancelled";
  prompts_.answers = {Answer::ok};
  click(f().replace_book);
  EXPECT_EQ(text_of(f().note), L"已替换 4 处，涉及 3 章") << "three texts and one name";
  const Book& replaced = window().book();
  const std::u16string first = chapter_text16(replaced.chapters[0].content);
  EXPECT_EQ(first, u"林渊 walked. 林渊 again\rend") << "nothing but the replaced text changes";
  EXPECT_NE(replaced.chapters[0].content.find("\\b"), std::string::npos) << "still bold";
  EXPECT_EQ(replaced.chapters[1].content, novel().chapters[1].content) << "untouched";
  EXPECT_EQ(replaced.chapters[3].name, gbk_of("林渊之章"));
  EXPECT_EQ(control_text(c().content), L"x 林渊") << "the open chapter shows the new text";
  EXPECT_EQ(window().document().undo_name(), gbk_of("全部替换"));

  command(kCmdTreeUndo);
  const Book& back = window().book();
  for (int i : {0, 2}) {
    EXPECT_EQ(back.chapters[i].content, novel().chapters[i].content) << "one undo takes all back";
  }
  EXPECT_EQ(back.chapters[3].name, novel().chapters[3].name);
  command(kCmdTreeRedo);
  command(kCmdSave);
  Book saved;
  ASSERT_EQ(read_book(file, "", saved), ReadStatus::ok);
  EXPECT_EQ(chapter_text16(saved.chapters[2].content), u"x 林渊");
  EXPECT_EQ(saved.chapters[3].name, gbk_of("林渊之章"));
}

TEST_F(FindReplace, ReplaceInTheChapterAndWordCounts) {
  window().show_book(novel());
  wait_for_counts();
  select(1);
  // 林 溪 walked 林 溪 again end = 7
  EXPECT_EQ(status_text(c().status, 4).substr(0, 8), L"字数：本章 7　")
      << status_text(c().status, 4);
  const size_t book_words = [this] {
    size_t sum = 0;
    for (const Chapter& ch : novel().chapters) sum += count_words(ch.content).words;
    return sum;
  }();
  EXPECT_NE(status_text(c().status, 4).find(L"全书 " + std::to_wstring(book_words)),
            std::wstring::npos);

  window().open_find(false);
  SetWindowTextW(f().pattern, L"(\\w+)ed");
  SetWindowTextW(f().replacement, L"[$1]");
  SendMessageW(f().regex, BM_SETCHECK, BST_CHECKED, 0);
  click(f().replace_all);
  EXPECT_EQ(text_of(f().note), L"已替换 1 处。");
  EXPECT_EQ(control_text(c().content), L"林溪 [walk]. 林溪 again\rend");
  EXPECT_TRUE(window().is_modified());

  // Typing is counted once it pauses.
  SendMessageW(c().content, EM_SETSEL, 0, 0);
  SetFocus(c().content);
  type(c().content, L"天亮");
  wait_until([&] { return status_text(c().status, 4).find(L"本章 9") != std::wstring::npos; });
  EXPECT_EQ(status_text(c().status, 4).substr(0, 8), L"字数：本章 9　");

  SendMessageW(c().content, EM_SETSEL, 0, 4);  // 天亮林溪
  command(kCmdWordCount);
  const WordCountWindow& counts = window().word_count_window();
  ASSERT_TRUE(IsWindowVisible(counts.hwnd()));
  RECT inside;
  GetClientRect(counts.list(), &inside);
  int widths = 0;
  for (int i = 0; i < 5; ++i) widths += ListView_GetColumnWidth(counts.list(), i);
  EXPECT_LE(widths, inside.right) << "the last column is shown whole";
  ASSERT_EQ(counts.rows().size(), 4u);
  EXPECT_EQ(ListView_GetItemCount(counts.list()), 4);
  EXPECT_EQ(counts.rows()[0].count.words, 9u);
  EXPECT_NE(text_of(counts.summary()).find(L"选中的文本：字数 4"), std::wstring::npos)
      << text_of(counts.summary());
  NMLISTVIEW click{};
  click.hdr = {counts.list(), 0, static_cast<UINT>(LVN_COLUMNCLICK)};
  click.iSubItem = 2;
  SendMessageW(counts.hwnd(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&click));
  for (size_t i = 1; i < counts.rows().size(); ++i) {
    EXPECT_GE(counts.rows()[i - 1].count.words, counts.rows()[i].count.words) << "most first";
  }
}

TEST_F(FindReplace, AChosenHitIsBroughtToTheMiddleAndAnotherBookForgetsTheSearch) {
  Book book = novel();
  std::string lines;
  for (int i = 0; i < 300; ++i) lines += i == 250 ? std::string(kLinXi) + "\\par " : "line\\par ";
  book.chapters[1].content = chapter_rtf(lines);
  window().show_book(book);
  select(2);
  window().open_find(false);
  SetWindowTextW(f().pattern, L"林溪");
  SendMessageW(c().content, EM_SETSEL, 0, 0);
  SetFocus(c().content);
  loop_key(c().content, VK_F3);
  ASSERT_EQ(selection().cpMin, 250 * 5);
  POINTL at{};
  SendMessageW(c().content, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), selection().cpMin);
  RECT client{};
  GetClientRect(c().content, &client);
  EXPECT_GT(at.y, client.bottom / 4) << "not at the top edge";
  EXPECT_LT(at.y, client.bottom * 3 / 4) << "not at the bottom, under the find window";

  click(f().search_book);
  wait_for_search();
  ASSERT_GT(ListView_GetItemCount(f().results), 0);
  window().show_book(sample_book(2));
  EXPECT_EQ(ListView_GetItemCount(f().results), 0);
  EXPECT_EQ(text_of(f().note), L"") << "the count was the other book's";
}

// Expressions that backtrack without end: the chapter's find says so, the
// book search lists the chapter as too complex and goes on, and 停止 ends a
// search that would run for minutes at once, as does closing the window.
TEST_F(FindReplace, EndlessExpressionsAreSaidTooComplexAndStopAtOnce) {
  Book book = sample_book(3);
  book.chapters[0].content = chapter_rtf("ab");
  book.chapters[1].content = chapter_rtf(std::string(60, 'a') + "c b");
  book.chapters[2].content = chapter_rtf("x\\par ab");
  window().show_book(book);
  select(2);
  window().open_find(false);
  SendMessageW(f().regex, BM_SETCHECK, BST_CHECKED, 0);
  SetWindowTextW(f().pattern, L"(a|aa)+b");
  SetFocus(c().content);
  const DWORD started = GetTickCount();
  loop_key(c().content, VK_F3);
  EXPECT_EQ(text_of(f().note), L"表达式过于复杂");
  EXPECT_LT(GetTickCount() - started, 1000u) << "the window answers at once";

  click(f().search_book);
  wait_for_search();
  ASSERT_EQ(ListView_GetItemCount(f().results), 3);
  wchar_t line[64] = {};
  ListView_GetItemText(f().results, 1, 1, line, 64);
  EXPECT_EQ(std::wstring(line), L"表达式过于复杂");
  ListView_GetItemText(f().results, 2, 1, line, 64);
  EXPECT_EQ(std::wstring(line), L"ab") << "the search went on after it";
  EXPECT_EQ(text_of(f().note), L"全书共找到 2 处。1 处表达式过于复杂，未查完。");

  // Backtracking over every position of long paragraphs: minutes of work.
  Book slow = sample_book(40);
  for (Chapter& chapter : slow.chapters) chapter.content = std::string(300000, 'a') + "xy";
  window().show_book(slow);
  SetWindowTextW(f().pattern, L"(?:a|b)*y");
  click(f().search_book);
  Sleep(300);
  pump();
  ASSERT_TRUE(IsWindowEnabled(f().stop)) << "still searching";
  const DWORD stopping = GetTickCount();
  click(f().stop);
  EXPECT_LT(GetTickCount() - stopping, 100u) << "停止 answers at once";
  EXPECT_FALSE(IsWindowEnabled(f().stop));
  wait_until([&] { return text_of(f().note).find(L"已停止") != std::wstring::npos; });
  EXPECT_EQ(text_of(f().note), L"已停止，找到 0 处。") << "the worker saw the stop";

  click(f().search_book);
  Sleep(100);
  const DWORD closing = GetTickCount();
  DestroyWindow(window().hwnd());
  EXPECT_LT(GetTickCount() - closing, 1000u) << "closing does not wait for the search";
}

}  // namespace
}  // namespace folivra::test
