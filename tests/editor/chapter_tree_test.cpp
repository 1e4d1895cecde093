// Selecting, adding, deleting and renaming chapters in the real tree.
#include "ui/menu_ids.h"
#include "app/window_driver.h"
#include "book/gbk_wide.h"
#include "book/test_books.h"

namespace folivra::test {
namespace {

class ChapterTree : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    window().show_book(abc_book());
  }
  std::wstring editor_text() const { return text_of(c().content); }
  void expect_invariant() {
    const Book& book = window().book();
    ASSERT_EQ(child_count(c().tree, TreeView_GetRoot(c().tree)), book.chapter_count);
    ASSERT_EQ(static_cast<size_t>(book.chapter_count), book.chapters.size());
    for (int i = 1; i <= book.chapter_count; ++i) {
      EXPECT_EQ(window().chapter_tree().position_of(window().chapter_tree().item_at(i)), i);
      EXPECT_EQ(tree_text(c().tree, window().chapter_tree().item_at(i)),
                gbk_to_wide(book.chapters[i - 1].name));
    }
  }
  // Edits the label of tree item `index` (F2) and ends the edit with `text`.
  void edit_label(int index, const std::wstring& text, bool cancel = false) {
    select(index);
    SetFocus(c().tree);
    post_key(c().tree, VK_F2);
    HWND edit = TreeView_GetEditControl(c().tree);
    ASSERT_NE(edit, nullptr);
    SetWindowTextW(edit, text.c_str());
    TreeView_EndEditLabelNow(c().tree, cancel);
    pump();
  }
};

TEST_F(ChapterTree, SelectingShowsTheChapterWithoutModifying) {
  select(2);
  EXPECT_EQ(TabCtrl_GetCurSel(c().tabs), 1);
  EXPECT_TRUE(IsWindowVisible(c().content));
  EXPECT_EQ(status_text(c().status, 3), L"B");
  EXPECT_EQ(editor_text(), L"text of B");
  EXPECT_FALSE(window().is_modified());
  EXPECT_EQ(GetFocus(), c().tree);
  select(0);
  EXPECT_EQ(TabCtrl_GetCurSel(c().tabs), 0);
  EXPECT_EQ(status_text(c().status, 3), L"B") << "the book item leaves the status bar";
}

TEST_F(ChapterTree, OtherKindsShowTheirOwnTextAndTakeNothing) {
  Book book = abc_book();
  book.chapters[1].kind = 4;
  window().show_book(book);
  select(1);
  select(2);
  EXPECT_EQ(status_text(c().status, 3), L"B");
  EXPECT_EQ(editor_text(), L"text of B") << "its own text, never the previous chapter's";
  EXPECT_TRUE(GetWindowLongPtrW(c().content, GWL_STYLE) & ES_READONLY);
  SetFocus(c().content);
  type(c().content, L"typed");
  select(3);
  select(1);
  SetFocus(c().content);
  type(c().content, L"A!");
  const Book& now = window().book();
  EXPECT_EQ(now.chapters[1].content, book.chapters[1].content) << "untouched, byte for byte";
  EXPECT_NE(now.chapters[0].content, book.chapters[0].content);
  EXPECT_FALSE(GetWindowLongPtrW(c().content, GWL_STYLE) & ES_READONLY);
}

TEST_F(ChapterTree, DeleteTheMiddleChapter) {
  select(2);
  command(kCmdTreeDeleteChapter);
  EXPECT_EQ(TreeView_GetSelection(c().tree), window().chapter_tree().item_at(2));
  EXPECT_EQ(status_text(c().status, 3), L"C");
  EXPECT_EQ(editor_text(), L"text of C");
  EXPECT_TRUE(window().is_modified());
  expect_invariant();
  EXPECT_EQ(window().book().chapters[1].name, "C");

  SetFocus(c().content);
  type(c().content, L"!");
  EXPECT_NE(window().book().chapters[1].content.find("!"), std::string::npos)
      << "typing after the delete changes the second chapter";
  EXPECT_EQ(window().book().chapters[0].content, abc_book().chapters[0].content);
}

TEST_F(ChapterTree, DeleteTheLastChapter) {
  select(3);
  command(kCmdTreeDeleteChapter);
  EXPECT_EQ(window().selected_index(), 2);
  EXPECT_EQ(editor_text(), L"text of B");
  expect_invariant();
}

TEST_F(ChapterTree, DeleteTheOnlyChapter) {
  Book book = abc_book();
  book.chapters.resize(1);
  book.chapter_count = 1;
  window().show_book(book);
  select(1);
  command(kCmdTreeDeleteChapter);
  EXPECT_EQ(window().selected_index(), 0);
  EXPECT_EQ(TabCtrl_GetCurSel(c().tabs), 0);
  EXPECT_EQ(window().book().chapter_count, 0);
  expect_invariant();
}

TEST_F(ChapterTree, DeleteOnTheBookItemDoesNothing) {
  select(0);
  command(kCmdTreeDeleteChapter);
  EXPECT_EQ(window().book().chapter_count, 3);
  EXPECT_FALSE(window().is_modified());
}

TEST_F(ChapterTree, AddExpandsAndOpensTheLabel) {
  const HTREEITEM root = TreeView_GetRoot(c().tree);
  TreeView_Expand(c().tree, root, TVE_COLLAPSE);
  select(1);
  command(kCmdAddChapter);
  EXPECT_TRUE(TreeView_GetItemState(c().tree, root, TVIS_EXPANDED) & TVIS_EXPANDED);
  EXPECT_EQ(tree_text(c().tree, window().chapter_tree().item_at(4)), L"新的章节");
  EXPECT_NE(TreeView_GetEditControl(c().tree), nullptr) << "the new label is open for editing";
  EXPECT_EQ(window().selected_index(), 1) << "the selection stays";
  EXPECT_TRUE(window().is_modified());
  TreeView_EndEditLabelNow(c().tree, TRUE);  // Escape keeps the default name
  pump();
  EXPECT_EQ(window().book().chapters[3].name, "\xD0\xC2\xB5\xC4\xD5\xC2\xBD\xDA");
  EXPECT_EQ(window().book().chapters[3].kind, 1);
  EXPECT_EQ(window().book().chapters[3].number, 4) << "numbers follow positions, as moves need";
  expect_invariant();
}

TEST_F(ChapterTree, RenameStoresTheNewName) {
  select(2);
  edit_label(2, L"第二章");
  EXPECT_EQ(window().book().chapters[1].name, "\xB5\xDA\xB6\xFE\xD5\xC2");
  EXPECT_EQ(tree_text(c().tree, window().chapter_tree().item_at(2)), L"第二章");
  EXPECT_TRUE(window().is_modified());
}

TEST_F(ChapterTree, RenameToEmptyOrTheSameIsRefused) {
  edit_label(2, L"");
  EXPECT_EQ(tree_text(c().tree, window().chapter_tree().item_at(2)), L"B");
  edit_label(2, L"B");
  edit_label(2, L"changed", /*cancel=*/true);
  EXPECT_EQ(tree_text(c().tree, window().chapter_tree().item_at(2)), L"B");
  EXPECT_EQ(window().book().chapters[1].name, "B");
  EXPECT_FALSE(window().is_modified());
}

TEST_F(ChapterTree, TheBookItemLabelCannotBeEdited) {
  SetFocus(c().tree);
  EXPECT_EQ(TreeView_EditLabel(c().tree, TreeView_GetRoot(c().tree)), nullptr);
  select(0);
  command(kCmdTreeRenameChapter);
  EXPECT_EQ(TreeView_GetEditControl(c().tree), nullptr);
}

TEST_F(ChapterTree, ReadOnlyModeKeepsTheChaptersAsTheyAre) {
  command(kCmdReadOnly);
  ASSERT_TRUE(window().read_only());
  command(kCmdAddChapter);
  select(1);
  command(kCmdTreeDeleteChapter);
  command(kCmdTreeInsertChapter);
  command(kCmdTreeMoveDown);
  SetFocus(c().tree);
  EXPECT_EQ(TreeView_EditLabel(c().tree, window().chapter_tree().item_at(1)), nullptr)
      << "no renaming";
  EXPECT_EQ(window().book().chapter_count, 3);
  EXPECT_EQ(window().book().chapters[0].name, "A");
  EXPECT_FALSE(window().is_modified());
  window().refresh_tree_menu();
  EXPECT_FALSE(window().menus().tree->is_enabled(kCmdTreeDeleteChapter));
  command(kCmdReadOnly);
  command(kCmdTreeDeleteChapter);
  EXPECT_EQ(window().book().chapter_count, 2) << "and can change them again afterwards";
  expect_invariant();
}

// Closes the context menu as soon as it is up, remembering that it was.
bool g_menu_shown = false;
void CALLBACK close_menu(HWND, UINT, UINT_PTR id, DWORD) {
  g_menu_shown = true;
  KillTimer(nullptr, id);
  EndMenu();
}

TEST_F(ChapterTree, ContextMenuOnItemsOnly) {
  RECT root_rect;
  TreeView_GetItemRect(c().tree, TreeView_GetRoot(c().tree), &root_rect, TRUE);
  POINT on_root{root_rect.left + 2, root_rect.top + 2};
  ClientToScreen(c().tree, &on_root);
  SetCursorPos(on_root.x, on_root.y);
  g_menu_shown = false;
  SetTimer(nullptr, 0, 50, close_menu);
  NMHDR click{c().tree, 0, static_cast<UINT>(NM_RCLICK)};
  SendMessageW(hwnd_, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&click));
  EXPECT_TRUE(g_menu_shown);
  EXPECT_FALSE(item_enabled(window().menus().tree->handle(), kCmdTreeRenameChapter));
  EXPECT_EQ(window().selected_index(), 0);

  RECT tree;
  GetClientRect(c().tree, &tree);
  POINT empty{tree.right - 5, tree.bottom - 5};
  ClientToScreen(c().tree, &empty);
  SetCursorPos(empty.x, empty.y);
  g_menu_shown = false;
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, close_menu);
  SendMessageW(hwnd_, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&click));
  KillTimer(nullptr, timer);
  EXPECT_FALSE(g_menu_shown) << "no menu over empty space";
}

}  // namespace
}  // namespace folivra::test

namespace folivra::test {
namespace {

TEST_F(ChapterTree, TheMouseTakesTheFocusBetweenTreeAndEditor) {
  select(1);
  SetFocus(c().content);
  SendMessageW(c().tree, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(GetFocus(), c().tree) << "from the editor to the tree";
  SendMessageW(c().content, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(GetFocus(), c().content) << "and back";
  SetFocus(c().title);
  SendMessageW(c().tree, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(GetFocus(), c().title) << "only the editor gives the focus up this way";
}

TEST_F(ChapterTree, AClickOnTheSelectedChapterDoesNotRenameItASlowSecondClickDoes) {
  window().show_book(sample_book(3));
  select(2);
  RECT r{};
  TreeView_GetItemRect(c().tree, window().chapter_tree().item_at(2), &r, TRUE);
  const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  const auto click_and_wait = [&] {
    PostMessageW(c().tree, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(c().tree, WM_LBUTTONUP, 0, at);
    const ULONGLONG until = GetTickCount64() + GetDoubleClickTime() + 400;
    while (GetTickCount64() < until) {
      loop_pump();
      Sleep(20);
    }
  };
  // Back from the text to the chapter it was writing: no rename.
  SetFocus(c().content);
  click_and_wait();
  EXPECT_EQ(TreeView_GetEditControl(c().tree), nullptr) << "a first click only selects";
  click_and_wait();
  ASSERT_NE(TreeView_GetEditControl(c().tree), nullptr) << "a slow second click renames";
  TreeView_EndEditLabelNow(c().tree, TRUE);
  loop_pump();
}

}  // namespace
}  // namespace folivra::test
