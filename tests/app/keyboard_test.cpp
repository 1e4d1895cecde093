// The keys the README lists, typed as a person types them: posted to the
// focused control and run through the editor's own message loop, where the
// shortcuts and the dialog manager see them first.
#include "app/window_driver.h"
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
  std::wstring name(int position) { return tree_text(c().tree, window().item_at(position)); }
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

}  // namespace
}  // namespace folivra::test
