// The keys the README lists, typed as a person types them: posted to the
// focused control and run through the editor's own message loop, where the
// shortcuts and the dialog manager see them first.
#include <richedit.h>

#include "app/window_driver.h"
#include "ui/menu_ids.h"
#include "book/gbk.h"
#include "book/gbk_wide.h"

namespace folivra::test {
namespace {

class Keyboard : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    window().show_book(abc_book());
  }
  int chapters() { return window().document().count(); }
  std::wstring name(int position) {
    return tree_text(c().tree, window().chapter_tree().item_at(position));
  }
  void close_label_edit() {
    ASSERT_NE(TreeView_GetEditControl(c().tree), nullptr) << "a name is open for editing";
    TreeView_EndEditLabelNow(c().tree, TRUE);
    loop_pump();
  }
};

TEST_F(Keyboard, TheTreesKeysReachItThroughTheLoop) {
  select(2);
  SetFocus(c().tree);
  post_key(c().tree, VK_RETURN);
  EXPECT_EQ(GetFocus(), c().content) << "Enter goes on to the text";
  EXPECT_EQ(text_of(c().content).substr(0, 9), L"text of B");

  SetFocus(c().tree);
  post_key(c().tree, VK_F2);
  close_label_edit();

  post_key(c().tree, VK_INSERT);
  close_label_edit();
  EXPECT_EQ(chapters(), 4) << "Ins inserts a chapter after the selected one";
  EXPECT_EQ(name(3), L"新的章节");

  SetFocus(c().tree);
  post_key(c().tree, VK_DELETE);
  EXPECT_EQ(chapters(), 3) << "Del deletes it";
  post_key(c().tree, 'Z', true);
  EXPECT_EQ(chapters(), 4) << "Ctrl+Z in the tree takes the delete back";
  post_key(c().tree, 'Y', true);
  EXPECT_EQ(chapters(), 3) << "Ctrl+Y does it again";

  select(1);
  SetFocus(c().tree);
  post_key(c().tree, VK_DOWN, false, false, true);
  EXPECT_EQ(name(2), L"A") << "Alt+Down moves the chapter down";

  post_key(c().tree, 'N', true, true);
  if (TreeView_GetEditControl(c().tree)) close_label_edit();
  EXPECT_EQ(chapters(), 4) << "Ctrl+Shift+N adds a chapter at the end";
}

TEST_F(Keyboard, CtrlShiftEnterInTheTextSplitsTheChapterThere) {
  select(1);
  SetFocus(c().content);
  SendMessageW(c().content, EM_SETSEL, 5, 5);  // "text |of A"
  post_key(c().content, VK_RETURN, true, true);
  close_label_edit();
  ASSERT_EQ(chapters(), 4);
  EXPECT_EQ(window().book().chapters[0].content.find("of A"), std::string::npos);
  EXPECT_NE(window().book().chapters[1].content.find("of A"), std::string::npos);
}

CHARRANGE selection(HWND edit) {
  CHARRANGE r{};
  SendMessageW(edit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
  return r;
}

TEST_F(Keyboard, ArrowsMoveTheCaretAndCtrlPageKeysStepThroughChapters) {
  Book book = abc_book();
  book.chapters[0].content = "{\\rtf1\\ansi one two three\\par second line\\par}";
  window().show_book(book);
  select(1);
  SetFocus(c().content);
  SendMessageW(c().content, EM_SETSEL, 0, 0);
  post_key(c().content, VK_DOWN);
  EXPECT_GT(selection(c().content).cpMin, 0) << "Down moves the caret to the next line";
  SendMessageW(c().content, EM_SETSEL, 0, 0);
  post_key(c().content, VK_RIGHT, true);
  EXPECT_EQ(selection(c().content).cpMin, 4) << "Ctrl+Right goes to the next word";
  EXPECT_EQ(window().selected_index(), 1) << "and stays in the chapter";
  post_key(c().content, VK_NEXT, true);
  EXPECT_EQ(window().selected_index(), 2) << "Ctrl+PgDn: the next chapter";
  post_key(c().content, VK_PRIOR, true);
  EXPECT_EQ(window().selected_index(), 1) << "Ctrl+PgUp: the previous one";

  // The classic keys, for those who want them.
  WritePrivateProfileStringW(L"Editor", L"classic_keys", L"true", settings_path().c_str());
  restart();
  window().show_book(book);
  select(1);
  SetFocus(c().content);
  SendMessageW(c().content, EM_SETSEL, 0, 0);
  post_key(c().content, VK_DOWN);
  EXPECT_EQ(selection(c().content).cpMin, 0) << "Down scrolls, the caret stays";
  post_key(c().content, VK_RIGHT, true);
  EXPECT_EQ(window().selected_index(), 2) << "Ctrl+Right: the next chapter";
}

TEST_F(Keyboard, TheFormatMenuBoldsItalicisesUnderlinesIndentsAndSetsTheFont) {
  select(1);
  SetFocus(c().content);
  SendMessageW(c().content, EM_SETSEL, 0, 4);  // "text"
  post_key(c().content, 'B', true);
  post_key(c().content, 'I', true);
  post_key(c().content, 'U', true);
  CHARFORMAT2W f{};
  f.cbSize = sizeof f;
  SendMessageW(c().content, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&f));
  EXPECT_EQ(f.dwEffects & (CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE),
            static_cast<DWORD>(CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE));
  EXPECT_TRUE(f.dwEffects & CFE_AUTOBACKCOLOR) << "on the window's background, not black";
  EXPECT_TRUE(window().is_modified()) << "a format change is a change";
  const std::string& saved = window().book().chapters[0].content;
  EXPECT_NE(saved.find("\\b"), std::string::npos);
  EXPECT_NE(saved.find("\\i"), std::string::npos);
  EXPECT_NE(saved.find("\\ul"), std::string::npos);
  post_key(c().content, 'B', true);
  SendMessageW(c().content, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&f));
  EXPECT_FALSE(f.dwEffects & CFE_BOLD) << "Ctrl+B again takes it off";

  command(kCmdFirstLineIndent);
  EXPECT_NE(window().book().chapters[0].content.find("\\fi"), std::string::npos);

  prompts_.font_confirms = true;
  prompts_.font_answer.name = gbk_of("黑体");
  prompts_.font_answer.size = 20;
  command(kCmdSelectionFont);
  SendMessageW(c().content, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&f));
  EXPECT_EQ(std::wstring(f.szFaceName), L"黑体");
  EXPECT_EQ(f.yHeight, 400);

  // Nothing of it reaches a chapter that takes no text.
  command(kCmdReadOnly);
  const std::string before = window().book().chapters[0].content;
  post_key(c().content, 'B', true);
  EXPECT_EQ(window().book().chapters[0].content, before);
}

}  // namespace
}  // namespace folivra::test
