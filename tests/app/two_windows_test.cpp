// Two editor windows and one book: the book is edited in one window only,
// and a save never goes silently over words another window or program wrote.
#include "app/window_driver.h"
#include "book/book_file.h"
#include "book/gbk.h"
#include "book/gbk_wide.h"
#include "ui/menu_ids.h"

namespace folivra::test {
namespace {

class TwoWindows : public WindowTest {
 protected:
  std::string book_path() { return wide_to_gbk_lossy(dir_.path("tale.zqb").wstring()); }
};

TEST_F(TwoWindows, TheSecondOpenBringsTheFirstWindowForward) {
  Book book = sample_book(3);
  ASSERT_EQ(write_book(dir_.path("tale.zqb"), book), 0);
  window().commands().open_book(book_path());
  ASSERT_EQ(window().book().file_path, book_path());

  ScriptedPrompts other_prompts;
  MainWindow other(&other_prompts, (dir_.dir() / L"other.ini").wstring(), dir_.dir() / L"rec2");
  ASSERT_NE(other.create(GetModuleHandleW(nullptr)), nullptr);
  ShowWindow(other.hwnd(), SW_SHOWNORMAL);
  SetForegroundWindow(other.hwnd());
  pump();
  // The recent list's way in, and the command line's.
  other.commands().open_book(book_path());
  EXPECT_TRUE(other.book().file_path.empty()) << "not opened a second time";
  EXPECT_EQ(GetForegroundWindow(), hwnd_) << "the window that holds it comes forward";
  other.open_command_line({book_path()});
  pump();
  EXPECT_FALSE(IsWindow(other.hwnd())) << "a window started for it goes";
  EXPECT_TRUE(other_prompts.messages.empty());
}

TEST_F(TwoWindows, WordsSavedElsewhereAreNeverOverwrittenSilently) {
  Book mine = sample_book(3);
  ASSERT_EQ(write_book(dir_.path("tale.zqb"), mine), 0);
  window().commands().open_book(book_path());
  select(1);
  SetFocus(c().content);
  type(c().content, L"MINE ");
  // Another editor (here: a program writing the file) saves its own words.
  Book theirs = sample_book(3);
  theirs.chapters[1].content = "{\\rtf1\\ansi THEIRS}";
  ASSERT_EQ(write_book(dir_.path("tale.zqb"), theirs), 0);
  const std::string their_bytes = read_bytes(dir_.path("tale.zqb"));

  // Coming back to the window says so at once, and keeps the typed words.
  SendMessageW(hwnd_, WM_ACTIVATEAPP, TRUE, 0);
  loop_pump();
  ASSERT_EQ(prompts_.messages.size(), 1u);
  EXPECT_NE(prompts_.messages[0].text.find(L"已被其他程序修改"), std::wstring::npos);
  EXPECT_NE(window().book().chapters[0].content.find("MINE"), std::string::npos);

  prompts_.answers = {Answer::cancel};
  post_key(c().content, 'S', true);
  ASSERT_EQ(prompts_.messages.size(), 2u) << "Ctrl+S asks before going over their words";
  EXPECT_EQ(prompts_.messages[1].buttons, Buttons::yes_no_cancel);
  EXPECT_EQ(read_bytes(dir_.path("tale.zqb")), their_bytes);
  EXPECT_TRUE(window().is_modified());

  prompts_.answers = {Answer::yes};
  post_key(c().content, 'S', true);
  EXPECT_FALSE(window().is_modified());
  Book saved;
  ASSERT_EQ(read_book(dir_.path("tale.zqb"), "", saved), ReadStatus::ok);
  EXPECT_NE(saved.chapters[0].content.find("MINE"), std::string::npos);
  post_key(c().content, 'S', true);
  EXPECT_EQ(prompts_.messages.size(), 3u) << "its own save is no change by another program";
}

}  // namespace
}  // namespace folivra::test
