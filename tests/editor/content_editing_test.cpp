// Typing into the content editor and the information fields, the Edit and
// Insert menus, read-only mode and the editor's keys.
#include <richedit.h>

#include "ui/menu_ids.h"
#include "app/window_driver.h"
#include "book/book_file.h"
#include "book/test_books.h"

namespace folivra::test {
namespace {

Book long_book(int chapters, int lines) {
  Book book;
  book.title = "Long";
  book.intro = "intro";
  for (int i = 1; i <= chapters; ++i) {
    Chapter chapter;
    chapter.number = i;
    chapter.name = "chapter " + std::to_string(i);
    chapter.content = "{\\rtf1\\ansi ";
    for (int line = 0; line < lines; ++line) {
      chapter.content +=
          "chapter " + std::to_string(i) + " line " + std::to_string(line) + "\\par ";
    }
    chapter.content += "}";
    book.chapters.push_back(chapter);
  }
  book.chapter_count = chapters;
  return book;
}

class Editing : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    window().show_book(long_book(3, 200));
  }
  CHARRANGE selection() const {
    CHARRANGE range{};
    SendMessageW(c().content, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    return range;
  }
  LRESULT first_line() const { return SendMessageW(c().content, EM_GETFIRSTVISIBLELINE, 0, 0); }
  // The keys of earlier versions, which a setting keeps for those who want them.
  void use_classic_keys() {
    WritePrivateProfileStringW(L"Editor", L"classic_keys", L"true", settings_path().c_str());
    restart();
    window().show_book(long_book(3, 200));
  }
};

TEST_F(Editing, TypingStoresTheEditorsRtfAndMarksModified) {
  select(2);
  EXPECT_FALSE(window().is_modified());
  SetFocus(c().content);
  type(c().content, L"新");
  EXPECT_TRUE(window().is_modified());
  EXPECT_TRUE(enabled(kCmdSave));
  const std::string stored = window().book().chapters[1].content;
  EXPECT_EQ(stored.rfind("{\\rtf", 0), 0u) << "the chapter holds RTF";
  EXPECT_NE(stored.find("\\'d0\\'c2"), std::string::npos) << "新 as GBK in the RTF";
  EXPECT_EQ(window().book().chapters[0].content, long_book(3, 200).chapters[0].content);
}

TEST_F(Editing, EditsSurviveSwitchingChapters) {
  select(1);
  SetFocus(c().content);
  type(c().content, L"XYZ");
  select(3);
  select(1);
  EXPECT_NE(text_of(c().content).find(L"XYZ"), std::wstring::npos);
}

TEST_F(Editing, ChangeWithoutAChapterIsIgnored) {
  select(0);
  window().select_page(1);
  SetFocus(c().content);
  type(c().content, L"stray");
  EXPECT_FALSE(window().is_modified());
  EXPECT_EQ(window().book().chapters[0].content, long_book(3, 200).chapters[0].content);
}

TEST_F(Editing, TitleReachesTheBookAsItIsTyped) {
  SetFocus(c().title);
  SetWindowTextW(c().title, L"新书");
  EXPECT_EQ(tree_text(c().tree, TreeView_GetRoot(c().tree)), L"新书") << "the book item follows";
  EXPECT_EQ(window().book().title, "\xD0\xC2\xCA\xE9") << "stored while the field has the focus";
  EXPECT_TRUE(window().is_modified());
  SetFocus(c().author);
  EXPECT_EQ(window().book().title, "\xD0\xC2\xCA\xE9");
}

TEST_F(Editing, EmptyTitleIsRestored) {
  SetFocus(c().title);
  SetWindowTextW(c().title, L"");
  SetFocus(c().tree);
  EXPECT_EQ(text_of(c().title), L"Long");
  EXPECT_EQ(window().book().title, "Long");
  EXPECT_FALSE(window().is_modified());
}

TEST_F(Editing, PassingThroughAFieldMarksModified) {
  SetFocus(c().title);
  SetFocus(c().author);
  EXPECT_TRUE(window().is_modified());
}

TEST_F(Editing, FocusedFieldShowsABorder) {
  EXPECT_FALSE(GetWindowLongPtrW(c().author, GWL_STYLE) & WS_BORDER);
  SetFocus(c().author);
  EXPECT_TRUE(GetWindowLongPtrW(c().author, GWL_STYLE) & WS_BORDER);
  SetFocus(c().tree);
  EXPECT_FALSE(GetWindowLongPtrW(c().author, GWL_STYLE) & WS_BORDER);
}

TEST_F(Editing, IntroductionEditsMarkTheBookModified) {
  SetFocus(c().intro);
  SendMessageW(c().intro, EM_SETSEL, 0, 1);
  SendMessageW(c().intro, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L""));
  EXPECT_EQ(window().book().intro, "   intro") << "one space removed leaves three";
  SendMessageW(c().intro, EM_SETSEL, 0, 0);
  SendMessageW(c().intro, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L" "));
  EXPECT_EQ(window().book().intro, "intro");
  SetFocus(c().tree);
  EXPECT_TRUE(window().is_modified());
  EXPECT_TRUE(enabled(kCmdSave));
}

TEST_F(Editing, TimeFieldTakesOnlyCtrlC) {
  const std::wstring before = text_of(c().time);
  SetFocus(c().time);
  press(c().time, 'A');
  press(c().time, VK_BACK);
  EXPECT_EQ(text_of(c().time), before);
  SendMessageW(c().time, EM_SETSEL, 0, 4);
  OpenClipboard(hwnd_);
  EmptyClipboard();
  CloseClipboard();
  {
    HeldKeys ctrl(true);
    press(c().time, 'C');
  }
  ASSERT_TRUE(OpenClipboard(hwnd_));
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(GlobalLock(data))), before.substr(0, 4));
  GlobalUnlock(data);
  CloseClipboard();
}

TEST_F(Editing, NoContextMenuOnFields) {
  EXPECT_EQ(SendMessageW(c().author, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(c().author),
                         MAKELPARAM(10, 10)),
            0);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(Editing, ReadOnlyModeLocksTyping) {
  select(1);
  command(kCmdReadOnly);
  EXPECT_TRUE(window().read_only());
  window().refresh_insert_menu();
  EXPECT_FALSE(enabled(kCmdInsertBook));
  SetFocus(c().content);
  type(c().content, L"refused");
  EXPECT_EQ(text_of(c().content).find(L"refused"), std::wstring::npos);
  EXPECT_FALSE(window().is_modified());

  window().select_page(0);
  SetFocus(c().author);
  EXPECT_FALSE(GetWindowLongPtrW(c().author, GWL_STYLE) & WS_BORDER);
  press(c().author, 'Q');
  EXPECT_EQ(text_of(c().author), L"");
  SetFocus(c().tree);
  EXPECT_FALSE(window().is_modified()) << "nothing is committed in read-only mode";

  command(kCmdReadOnly);
  window().refresh_insert_menu();
  EXPECT_TRUE(enabled(kCmdInsertBook));
}

TEST_F(Editing, ClassicCtrlArrowsStepThroughChapters) {
  use_classic_keys();
  select(1);
  SetFocus(c().content);
  HeldKeys ctrl(true);
  press(c().content, VK_RIGHT);
  EXPECT_EQ(window().selected_index(), 2);
  EXPECT_EQ(status_text(c().status, 3), L"chapter 2");
  EXPECT_EQ(GetFocus(), c().content);
  press(c().content, VK_RIGHT);
  press(c().content, VK_RIGHT);  // the last chapter: a plain Ctrl+Right
  EXPECT_EQ(window().selected_index(), 3);
  press(c().content, VK_LEFT);
  press(c().content, VK_LEFT);
  press(c().content, VK_LEFT);  // the first chapter: a plain Ctrl+Left
  EXPECT_EQ(window().selected_index(), 1);
  EXPECT_FALSE(window().is_modified());
}

TEST_F(Editing, ClassicUpAndDownScrollTwoLines) {
  use_classic_keys();
  select(1);
  SetFocus(c().content);
  const CHARRANGE caret = selection();
  press(c().content, VK_DOWN);
  press(c().content, VK_DOWN);
  EXPECT_EQ(first_line(), 4);
  press(c().content, VK_UP);
  EXPECT_EQ(first_line(), 2);
  EXPECT_EQ(selection().cpMin, caret.cpMin) << "the caret stays";
}

TEST_F(Editing, SelectAllKeepsTheView) {
  select(1);
  SendMessageW(c().content, EM_LINESCROLL, 0, 50);
  const LRESULT view = first_line();
  ASSERT_GT(view, 0);
  command(kCmdSelectAll);
  EXPECT_EQ(first_line(), view);
  EXPECT_EQ(selection().cpMin, 0);
  window().refresh_edit_menu(false);
  EXPECT_FALSE(enabled(kCmdSelectAll)) << "everything is selected already";
  EXPECT_TRUE(enabled(kCmdCopy));
}

TEST_F(Editing, EditMenuFollowsThePage) {
  select(1);
  SendMessageW(c().content, EM_SETSEL, 0, 5);
  window().refresh_edit_menu(false);
  EXPECT_TRUE(enabled(kCmdCopy));
  EXPECT_TRUE(enabled(kCmdCut));
  select(0);
  window().refresh_edit_menu(false);
  for (UINT id : {kCmdUndo, kCmdCut, kCmdCopy, kCmdPaste, kCmdDelete, kCmdSelectAll}) {
    EXPECT_FALSE(enabled(id)) << id;
  }
  window().refresh_edit_menu(true);
  EXPECT_FALSE(menu_shows(window().menus().edit->handle(), kCmdReadOnly));
  EXPECT_FALSE(menu_shows(window().menus().edit->handle(), kCmdAddChapter));
  window().refresh_edit_menu(false);
  EXPECT_TRUE(menu_shows(window().menus().edit->handle(), kCmdReadOnly));
  EXPECT_TRUE(enabled(kCmdReadOnly)) << "a hidden item comes back with its state";
}

TEST_F(Editing, DateGoesOnlyIntoAFocusedEditor) {
  select(1);
  SetFocus(c().tree);
  const std::wstring before = text_of(c().content);
  command(kCmdInsertDate);
  EXPECT_EQ(text_of(c().content), before);
  SetFocus(c().content);
  SendMessageW(c().content, EM_SETSEL, 0, 0);
  command(kCmdInsertDate);
  const std::wstring after = text_of(c().content);
  ASSERT_GT(after.size(), 19u);
  EXPECT_EQ(after[4], L'-');
  EXPECT_EQ(after[13], L':');
  EXPECT_EQ(after.substr(19), before);
  EXPECT_TRUE(window().is_modified());
}

TEST_F(Editing, HugeChapterSurvivesTheRoundTrip) {
  // 300,000 Chinese characters: far past the editor's default limit.
  Book book;
  book.title = "Huge";
  Chapter chapter;
  chapter.number = 1;
  chapter.name = "big";
  chapter.content =
      "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 SimSun;}}\\f0 ";
  for (int i = 0; i < 300000; ++i)
    chapter.content += (i % 50 == 49) ? "\\'d7\\'d6\\par " : "\\'d7\\'d6";
  chapter.content += "}";
  book.chapters.push_back(chapter);
  book.chapter_count = 1;

  TempDir dir;
  ASSERT_EQ(write_book(dir.path("huge.zqb"), book), 0);
  Book read;
  ASSERT_EQ(read_book(dir.path("huge.zqb"), "", read), ReadStatus::ok);
  window().show_book(read);
  select(1);
  GETTEXTLENGTHEX how{GTL_NUMCHARS, 1200};
  const LRESULT shown =
      SendMessageW(c().content, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0);
  EXPECT_GE(shown, 300000);

  SendMessageW(c().content, EM_SETSEL, -1, -1);
  SetFocus(c().content);
  type(c().content, L"尾");
  Book edited = window().book();
  ASSERT_EQ(write_book(dir.path("again.zqb"), edited), 0);
  Book again;
  ASSERT_EQ(read_book(dir.path("again.zqb"), "", again), ReadStatus::ok);
  window().show_book(again);
  select(1);
  const std::wstring text = text_of(c().content);
  size_t count = 0;
  for (wchar_t ch : text) count += ch == L'字';
  EXPECT_EQ(count, 300000u);
  EXPECT_NE(text.find(L"尾"), std::wstring::npos);
}

}  // namespace
}  // namespace folivra::test

namespace folivra::test {
namespace {

TEST_F(Editing, TabMovesThroughTheFieldsAndCommits) {
  SetFocus(c().title);
  MSG tab{c().title, WM_KEYDOWN, VK_TAB, 0, 0, {}};
  EXPECT_FALSE(window().translate_accelerator(tab));
  EXPECT_TRUE(IsDialogMessageW(hwnd_, &tab)) << "the main loop hands Tab to the dialog manager";
  EXPECT_EQ(GetFocus(), c().author);
  EXPECT_TRUE(window().is_modified()) << "leaving the title commits it";
}

}  // namespace
}  // namespace folivra::test
