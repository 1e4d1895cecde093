// The main window as a person first sees it, its layout and showing a book.
#include <richedit.h>

#include "ui/menu_ids.h"
#include "app/window_driver.h"
#include "app/window_layout.h"
#include "book/book_time.h"
#include "book/test_books.h"

namespace folivra::test {
namespace {

using MainWindowStart = WindowTest;

TEST_F(MainWindowStart, TemplateContentAndMenuStates) {
  EXPECT_EQ(text_of(hwnd_), L"Folivra");
  EXPECT_EQ(status_text(c().status, 0), L"书籍：");
  EXPECT_EQ(status_text(c().status, 1), L"未载入");
  EXPECT_EQ(status_text(c().status, 2), L"章节：");
  EXPECT_EQ(status_text(c().status, 3), L"未载入");
  EXPECT_EQ(text_of(c().title), L"Folivra");
  EXPECT_EQ(text_of(c().author_label), L"作者：");
  EXPECT_TRUE(window().read_only()) << "nothing to edit before a book is shown";
  EXPECT_FALSE(window().is_modified());
  for (UINT id :
       {kCmdSave, kCmdSaveAs, kCmdConvertText, kCmdUndo, kCmdCut, kCmdCopy, kCmdPaste, kCmdDelete,
        kCmdSelectAll, kCmdReadOnly, kCmdAddChapter, kCmdSetPassword, kCmdCompile}) {
    EXPECT_FALSE(enabled(id)) << id;
  }
  for (UINT id : {kCmdNew, kCmdOpen, kCmdAssociate, kCmdExit, kCmdInsertBook, kCmdChooseFont}) {
    EXPECT_TRUE(enabled(id)) << id;
  }
  EXPECT_FALSE(menu_shows(window().menus().edit->handle(), kCmdProcess));
  EXPECT_FALSE(menu_shows(window().menus().file->handle(), kCmdClearRecent));
  EXPECT_EQ(GetMenuItemCount(window().menus().bar), 7) << "文件 编辑 插入 格式 视图 设置 帮助";
  wchar_t caption[64] = {};
  GetMenuStringW(window().menus().bar, kCmdSave, caption, 64, MF_BYCOMMAND);
  EXPECT_STREQ(caption, L"保存(&S)\tCtrl+S");
  GetMenuStringW(window().menus().bar, kCmdUndo, caption, 64, MF_BYCOMMAND);
  EXPECT_STREQ(caption, L"撤销(&U)\tCtrl+Z") << "one word, as the tree's menu says it";
}

// A first start: 70% of the work area, centred; the tree a quarter wide.
TEST_F(MainWindowStart, InitialLayout) {
  RECT work, outer;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  GetWindowRect(hwnd_, &outer);
  EXPECT_EQ(outer.right - outer.left, std::max(480L, (work.right - work.left) * 7 / 10));
  EXPECT_EQ(outer.bottom - outer.top, std::max(442L, (work.bottom - work.top) * 7 / 10));
  EXPECT_NEAR((outer.left + outer.right) / 2, (work.left + work.right) / 2, 1) << "centred";
  RECT client;
  GetClientRect(hwnd_, &client);
  const RECT tree = rect_in_parent(c().tree);
  EXPECT_EQ(tree.right - tree.left, std::max(156L, client.right / 4));
  EXPECT_EQ(tree.bottom, client.bottom - 20);
  const RECT tabs = rect_in_parent(c().tabs);
  EXPECT_EQ(tabs.left, tree.right + 4);
  EXPECT_EQ(tabs.right, client.right);
}

TEST_F(MainWindowStart, SplitterDragMovesTreeAndTabs) {
  SendMessageW(hwnd_, WM_APP + 1, 156, 200);  // the splitter reports a drag to x = 200
  RECT client;
  GetClientRect(hwnd_, &client);
  const RECT tree = rect_in_parent(c().tree);
  const RECT tabs = rect_in_parent(c().tabs);
  EXPECT_EQ(tree.right - tree.left, 200);
  EXPECT_EQ(tabs.left, 204);
  EXPECT_EQ(tabs.right, client.right);
}

TEST_F(MainWindowStart, SplitterFollowsTheMouse) {
  const RECT before = rect_in_parent(c().splitter);
  SendMessageW(c().splitter, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 10));
  SendMessageW(c().splitter, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(41, 10));
  SendMessageW(c().splitter, WM_LBUTTONUP, 0, MAKELPARAM(41, 10));
  EXPECT_EQ(rect_in_parent(c().splitter).left, before.left + 40);
  EXPECT_EQ(rect_in_parent(c().tree).right, before.left + 40);
}

TEST_F(MainWindowStart, NeverSmallerThanTheMinimum) {
  SetWindowPos(hwnd_, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
  RECT outer;
  GetWindowRect(hwnd_, &outer);
  EXPECT_EQ(outer.right - outer.left, 480);
  EXPECT_EQ(outer.bottom - outer.top, 442);
  MINMAXINFO info{};
  SendMessageW(hwnd_, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 480);
  EXPECT_EQ(info.ptMinTrackSize.y, 442);
}

TEST_F(MainWindowStart, ResizeLaysOutPagesAndStatusPanes) {
  SetWindowPos(hwnd_, nullptr, 0, 0, 900, 700, SWP_NOMOVE | SWP_NOZORDER);
  RECT page;
  GetClientRect(c().info_page, &page);
  EXPECT_EQ(rect_in_parent(c().title).right - rect_in_parent(c().title).left, page.right - 144);
  EXPECT_EQ(rect_in_parent(c().author).right - rect_in_parent(c().author).left, page.right - 184);
  EXPECT_EQ(rect_in_parent(c().intro).bottom - rect_in_parent(c().intro).top, page.bottom - 168);
  const RECT content = rect_in_parent(c().content);
  EXPECT_EQ(content.right - content.left, page.right - 1);

  RECT status;
  GetClientRect(c().status, &status);
  int rights[6] = {};
  ASSERT_EQ(SendMessageW(c().status, SB_GETPARTS, 6, reinterpret_cast<LPARAM>(rights)), 6);
  // 字数 and today's words take the right end.
  const int shared = (status.right - kCountPaneWidth - kTodayPaneWidth) / 2;
  EXPECT_EQ(rights[0], kFixedPaneWidth);
  EXPECT_EQ(rights[1] - rights[0], shared - kFixedPaneWidth);
  EXPECT_EQ(rights[2] - rights[1], kFixedPaneWidth);
  EXPECT_EQ(rights[3] - rights[2], shared - kFixedPaneWidth);
  EXPECT_EQ(rights[4] - rights[3], kCountPaneWidth);
  EXPECT_EQ(rights[5], -1);
}

using ShowBook = WindowTest;

TEST_F(ShowBook, FillsPageStatusAndTree) {
  Book book = sample_book(3);
  book.time = date_time_from_calendar({2018, 9, 16, 8, 5, 3});
  window().show_book(book);
  EXPECT_EQ(text_of(c().title), L"新的书籍");
  EXPECT_EQ(status_text(c().status, 1), L"新的书籍");
  EXPECT_EQ(text_of(c().book_type), L"小说");
  EXPECT_EQ(text_of(c().time), L"2018-09-16 08:05:03");
  EXPECT_EQ(text_of(c().intro), L"    An introduction\r\nof two lines");
  EXPECT_EQ(TabCtrl_GetCurSel(c().tabs), 0);

  const HTREEITEM root = TreeView_GetRoot(c().tree);
  EXPECT_EQ(tree_text(c().tree, root), L"新的书籍");
  EXPECT_EQ(tree_image(c().tree, root), 0);
  EXPECT_EQ(window().chapter_tree().position_of(root), 0);
  EXPECT_TRUE(TreeView_GetItemState(c().tree, root, TVIS_EXPANDED) & TVIS_EXPANDED);
  ASSERT_EQ(child_count(c().tree, root), 3);
  for (int i = 1; i <= 3; ++i) {
    const HTREEITEM item = window().chapter_tree().item_at(i);
    EXPECT_EQ(tree_text(c().tree, item), L"章节 " + std::to_wstring(i));
    EXPECT_EQ(tree_image(c().tree, item), 2);
    EXPECT_EQ(window().chapter_tree().position_of(item), i);
  }
  EXPECT_FALSE(window().read_only());
  EXPECT_FALSE(window().is_modified());
  EXPECT_FALSE(enabled(kCmdSave));
  for (UINT id :
       {kCmdSaveAs, kCmdConvertText, kCmdSetPassword, kCmdAddChapter, kCmdReadOnly, kCmdCompile}) {
    EXPECT_TRUE(enabled(id)) << id;
  }
}

TEST_F(ShowBook, EmptyIntroductionHasNoIndent) {
  Book book = sample_book(0);
  book.intro.clear();
  window().show_book(book);
  EXPECT_EQ(text_of(c().intro), L"");
  EXPECT_EQ(child_count(c().tree, TreeView_GetRoot(c().tree)), 0);
}

TEST_F(ShowBook, ClearsReadOnlyModeButNotTheEditorsOwnLock) {
  window().show_book(sample_book(1));
  command(kCmdReadOnly);
  EXPECT_TRUE(window().read_only());
  EXPECT_TRUE(menu_checked(window().menus().edit->handle(), kCmdReadOnly));
  window().show_book(sample_book(2));
  EXPECT_FALSE(window().read_only());
  EXPECT_FALSE(menu_checked(window().menus().edit->handle(), kCmdReadOnly));
  EXPECT_TRUE(GetWindowLongPtrW(c().content, GWL_STYLE) & ES_READONLY)
      << "the editor keeps its state until the next toggle";
}

TEST_F(ShowBook, ManyChaptersInOneBatch) {
  window().show_book(sample_book(2000));
  EXPECT_EQ(child_count(c().tree, TreeView_GetRoot(c().tree)), 2000);
  EXPECT_EQ(window().chapter_tree().position_of(window().chapter_tree().item_at(2000)), 2000);
}

TEST_F(ShowBook, SetModifiedDrivesSave) {
  window().show_book(sample_book(1));
  window().set_modified(true);
  window().set_modified(true);
  EXPECT_TRUE(enabled(kCmdSave));
  window().set_modified(false);
  window().set_modified(false);
  EXPECT_FALSE(enabled(kCmdSave));
}

}  // namespace
}  // namespace folivra::test
