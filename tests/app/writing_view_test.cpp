// The writing view and the page's look in the real window: F11 and Esc
// through the message loop, the column, and a chapter written on a dark
// page at 1.5 lines that reaches the file exactly as on a white one.
#include "app/window_driver.h"
#include "book/book_file.h"
#include "book/gbk.h"
#include "book/gbk_wide.h"
#include "text/plain_text.h"
#include "ui/menu_ids.h"

namespace folivra::test {
namespace {

class WritingView : public WindowTest {};

Book two_chapters() {
  Book book;
  for (const char* text : {"{\\rtf1\\ansi\\ansicpg936{\\colortbl ;\\red200\\green0\\blue0;}"
                           "{\\b 山}\\cf1 红\\cf0 水\\par 长\\par}",
                           "{\\rtf1\\ansi 2\\par}"}) {
    Chapter chapter;
    chapter.name = gbk_of("章");
    chapter.content = gbk_of(text);
    book.chapters.push_back(chapter);
  }
  return book;
}

TEST_F(WritingView, ADarkPageAtOneAndAHalfLinesLeavesNoTraceInTheBook) {
  command(kCmdPageDark);
  command(kCmdSpacing10 + 5);
  const std::filesystem::path file = dir_.path("look.zqb");
  Book book = two_chapters();
  book.chapters[1].content = gbk_of("{\\rtf1\\ansi\\ansicpg936 夜\\par 深\\par}");
  ASSERT_EQ(write_book(file, book), 0);
  window().commands().open_book(wide_to_gbk_lossy(file.wstring()));
  select(2);
  const HWND text = c().content;
  PARAFORMAT2 paragraph{};
  paragraph.cbSize = sizeof paragraph;
  SendMessageW(text, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&paragraph));
  EXPECT_EQ(paragraph.bLineSpacingRule, 5);
  EXPECT_EQ(paragraph.dyLineSpacing, 31) << "1.5 lines and a twentieth";
  CHARFORMAT2W shown{};
  shown.cbSize = sizeof shown;
  SendMessageW(text, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&shown));
  EXPECT_EQ(shown.crTextColor, RGB(0xDC, 0xDD, 0xD8)) << "light text";
  EXPECT_FALSE(shown.dwEffects & CFE_BOLD);
  EXPECT_FALSE(window().is_modified()) << "a look is no change";
  EXPECT_EQ(SendMessageW(text, EM_CANUNDO, 0, 0), 0);
  // Chapter 1 has red text: at night it is the opposite colour.
  select(1);
  SendMessageW(text, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&paragraph));
  EXPECT_EQ(paragraph.dyLineSpacing, 31);
  CHARRANGE red{1, 2};
  SendMessageW(text, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&red));
  SendMessageW(text, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&shown));
  EXPECT_EQ(shown.crTextColor, RGB(55, 255, 255));
  SendMessageW(text, EM_SETSEL, 0, 0);
  type(text, L"高");

  // Typed at the end of chapter 2 through the loop, then saved.
  select(2);
  SetFocus(text);
  const LONG end = GetWindowTextLengthW(text);
  SendMessageW(text, EM_SETSEL, end, end);
  press(text, VK_RETURN);
  type(text, L"灯");
  command(kCmdSave);
  Book saved;
  ASSERT_EQ(read_book(file, "", saved), ReadStatus::ok);
  const std::string& rtf = saved.chapters[1].content;
  EXPECT_EQ(chapter_text16(rtf), u"夜\r深\r灯");
  EXPECT_EQ(rtf.find("\\sl"), std::string::npos) << rtf;
  EXPECT_EQ(rtf.find("\\red220"), std::string::npos) << rtf;
  const std::string& first = saved.chapters[0].content;
  EXPECT_EQ(chapter_text16(first), u"高山红水\r长");
  EXPECT_NE(first.find("\\red200\\green0\\blue0;"), std::string::npos) << first;
  EXPECT_EQ(first.find("\\red220"), std::string::npos) << first;
  EXPECT_EQ(first.find("\\red55"), std::string::npos) << first;

  // Back on a white page at single spacing the text is the book's own.
  command(kCmdPageWhite);
  command(kCmdSpacing10);
  SendMessageW(text, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&paragraph));
  EXPECT_EQ(paragraph.bLineSpacingRule, 0);
  EXPECT_EQ(control_text(text), L"夜\r深\r灯");
}

TEST_F(WritingView, F11FillsTheScreenWithAColumnOfTextAndEscLeaves) {
  window().show_book(two_chapters());
  select(1);
  RECT before{};
  GetWindowRect(hwnd_, &before);
  SetFocus(c().content);
  post_key(c().content, VK_F11);
  ASSERT_TRUE(window().in_writing_view());
  EXPECT_EQ(GetMenu(hwnd_), nullptr);
  EXPECT_FALSE(GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_CAPTION);
  EXPECT_FALSE(IsWindowVisible(c().tree));
  EXPECT_TRUE(IsWindowVisible(c().status)) << "the 字数 stays in sight";
  RECT screen{};
  GetWindowRect(hwnd_, &screen);
  EXPECT_EQ(screen.right - screen.left, GetSystemMetrics(SM_CXSCREEN));
  RECT text{}, page{};
  GetWindowRect(c().content, &text);
  EXPECT_EQ(text.right - text.left, GetSystemMetrics(SM_CXSCREEN)) << "no tree beside it";
  SendMessageW(c().content, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&page));
  const int column = page.right - page.left;
  EXPECT_NEAR(column, 720, 24) << "the middle column";
  EXPECT_NEAR(page.left, (text.right - text.left - column) / 2, 24) << "centred";
  command(kCmdColumnWide);
  SendMessageW(c().content, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&page));
  EXPECT_NEAR(page.right - page.left, 960, 24);

  post_key(c().content, VK_ESCAPE);
  EXPECT_FALSE(window().in_writing_view());
  EXPECT_EQ(GetMenu(hwnd_), window().menus().bar);
  EXPECT_TRUE(IsWindowVisible(c().tree));
  RECT after{};
  GetWindowRect(hwnd_, &after);
  EXPECT_EQ(after.right - after.left, before.right - before.left);
  SendMessageW(c().content, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&page));
  GetClientRect(c().content, &text);
  EXPECT_GT(page.right - page.left, text.right - 24) << "the whole width again";
}

}  // namespace
}  // namespace folivra::test
