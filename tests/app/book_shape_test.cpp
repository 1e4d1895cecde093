// Shaping a book in the real window: 一键排版 of a chapter and of the book,
// said first, undone as one step, and the bytes it leaves on disk.
#include "app/window_driver.h"
#include "book/book_file.h"
#include "book/gbk.h"
#include "book/gbk_wide.h"
#include "text/volumes.h"
#include "text/plain_text.h"
#include "ui/menu_ids.h"
#include "ui/rtf_stream.h"

namespace folivra::test {
namespace {

class BookShape : public WindowTest {};

TEST_F(BookShape, LayoutSaysHowManyParagraphsChangesThemAndUndoesAsOne) {
  Book book;
  for (const char* text : {"{\\rtf1\\ansi\\ansicpg936 {\\b 他说},走吧.  \\par\\par\\par 好!\\par}",
                           "{\\rtf1\\ansi\\ansicpg936   第二章,开始.\\par}"}) {
    Chapter chapter;
    chapter.name = gbk_of("章");
    chapter.content = gbk_of(text);
    book.chapters.push_back(chapter);
  }
  const std::filesystem::path file = dir_.path("shape.zqb");
  ASSERT_EQ(write_book(file, book), 0);
  window().commands().open_book(wide_to_gbk_lossy(file.wstring()));
  select(1);
  const std::wstring before = control_text(c().content);

  prompts_.answers = {Answer::ok};
  command(kCmdLayoutChapter);
  ASSERT_FALSE(prompts_.messages.empty());
  EXPECT_EQ(prompts_.messages.back().text, L"将调整 4 段。\r\n排版可以撤销。要继续吗？");
  EXPECT_EQ(control_text(c().content), L"\u3000\u3000他说，走吧。\r\u3000\u3000好！");
  EXPECT_EQ(window().document().undo_name(), gbk_of("排版"));
  window().undo_chapters(false);
  EXPECT_EQ(control_text(c().content), before);

  // The whole book, then saved: the bold and both chapters' new text on disk.
  prompts_.answers = {Answer::ok};
  command(kCmdLayoutBook);
  EXPECT_EQ(prompts_.messages.back().text, L"将调整 5 段（2 章）。\r\n排版可以撤销。要继续吗？");
  command(kCmdSave);
  Book saved;
  ASSERT_EQ(read_book(file, "", saved), ReadStatus::ok);
  EXPECT_EQ(chapter_text16(saved.chapters[0].content),
            u"\u3000\u3000他说，走吧。\r\u3000\u3000好！");
  EXPECT_NE(saved.chapters[0].content.find("{\\b "), std::string::npos);
  EXPECT_EQ(chapter_text16(saved.chapters[1].content), u"\u3000\u3000第二章，开始。");
  // Cancelled, or nothing left to do: nothing changes.
  prompts_.answers = {Answer::cancel};
  command(kCmdLayoutBook);
  EXPECT_EQ(prompts_.messages.back().text, L"没有需要调整的段落。");
}

TEST_F(BookShape, RenumberingRenamesTheChaptersOutOfOrderAsOneStep) {
  Book book;
  for (const char* name : {"序章", "第一章 出发", "第三章 渡河", "第5章 山谷"}) {
    Chapter chapter;
    chapter.name = gbk_of(name);
    chapter.content = "{\\rtf1 x}";
    book.chapters.push_back(chapter);
  }
  window().show_book(book);
  select(1);
  command(kCmdRenumber);
  EXPECT_EQ(tree_text(c().tree, window().chapter_tree().item_at(3)), L"第二章 渡河");
  EXPECT_EQ(tree_text(c().tree, window().chapter_tree().item_at(4)), L"第3章 山谷");
  EXPECT_EQ(window().document().undo_name(), gbk_of("重排章节编号"));
  window().undo_chapters(false);
  EXPECT_EQ(tree_text(c().tree, window().chapter_tree().item_at(3)), L"第三章 渡河");
  EXPECT_EQ(gbk_to_wide(window().book().chapters[3].name), L"第5章 山谷");
}

// A volume typed into holds text: once left, it is a chapter like any other.
TEST_F(BookShape, AVolumeThatComesToHoldTextIsAChapter) {
  Book book;
  for (const char* name : {"第一章", "第二卷", "第二章"}) {
    Chapter chapter;
    chapter.name = gbk_of(name);
    chapter.content = std::string(name) == "第二卷" ? "" : "{\\rtf1 text}";
    book.chapters.push_back(chapter);
  }
  window().show_book(book);
  const ChapterTree& tree = window().chapter_tree();
  EXPECT_EQ(child_count(c().tree, tree.item_at(0)), 2) << "第一章 and the volume";
  select(2);
  SetFocus(c().content);
  type(c().content, L"卷首语");
  select(3);
  loop_pump();
  EXPECT_EQ(child_count(c().tree, tree.item_at(0)), 3);
  EXPECT_EQ(tree_image(c().tree, tree.item_at(2)), 2);
  EXPECT_EQ(window().selected_index(), 3);
}

TEST_F(BookShape, WithAutomaticRenumberingAMoveKeepsTheNumbersInOrderAsOneStep) {
  Book book;
  for (const char* name : {"第一卷", "第一章 出发", "第二章 渡河", "第二卷", "第一章 山谷"}) {
    Chapter chapter;
    chapter.name = gbk_of(name);
    book.chapters.push_back(chapter);
  }
  window().show_book(book);
  command(kCmdAutoRenumber);
  command(kCmdRenumberPerVolume);
  EXPECT_TRUE(menu_checked(window().menus().settings->handle(), kCmdAutoRenumber));
  window().move_chapter(3, 2);  // 渡河 before 出发
  EXPECT_EQ(tree_text(c().tree, window().chapter_tree().item_at(2)), L"第一章 渡河");
  EXPECT_EQ(tree_text(c().tree, window().chapter_tree().item_at(3)), L"第二章 出发");
  EXPECT_EQ(tree_text(c().tree, window().chapter_tree().item_at(5)), L"第一章 山谷");
  window().undo_chapters(false);
  EXPECT_EQ(tree_text(c().tree, window().chapter_tree().item_at(2)), L"第一章 出发");
  EXPECT_EQ(tree_text(c().tree, window().chapter_tree().item_at(3)), L"第二章 渡河");
  // Numbered through the book instead: 山谷 follows on as 第三章.
  command(kCmdRenumberPerVolume);
  window().move_chapter(5, 4);
  EXPECT_EQ(tree_text(c().tree, window().chapter_tree().item_at(4)), L"第三章 山谷");
}

TEST_F(BookShape, ABookOpensWhereItsAuthorStopped) {
  Book book;
  for (int i = 0; i < 3; ++i) {
    Chapter chapter;
    chapter.name = gbk_of("章");
    std::string text = "{\\rtf1\\ansi ";
    for (int line = 0; line < 200; ++line) text += "line " + std::to_string(line) + "\\par ";
    chapter.content = text + "}";
    book.chapters.push_back(chapter);
  }
  const std::filesystem::path file = dir_.path("long.zqb");
  ASSERT_EQ(write_book(file, book), 0);
  window().commands().open_book(wide_to_gbk_lossy(file.wstring()));
  EXPECT_LT(window().selected_index(), 1) << "a first opening: no chapter chosen";
  select(2);
  SendMessageW(c().content, EM_LINESCROLL, 0, 120);
  const LRESULT top = SendMessageW(c().content, EM_GETFIRSTVISIBLELINE, 0, 0);
  ASSERT_GT(top, 100);
  CHARRANGE caret{800, 800};
  SendMessageW(c().content, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&caret));
  SendMessageW(c().content, EM_LINESCROLL, 0,
               top - SendMessageW(c().content, EM_GETFIRSTVISIBLELINE, 0, 0));
  restart();

  window().commands().open_book(wide_to_gbk_lossy(file.wstring()));
  EXPECT_EQ(window().selected_index(), 2);
  SendMessageW(c().content, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&caret));
  EXPECT_EQ(caret.cpMax, 800);
  EXPECT_EQ(SendMessageW(c().content, EM_GETFIRSTVISIBLELINE, 0, 0), top);
}

// Pixels drawn right of a chapter's name in the tree, as the screen shows it.
int marks_after_name(HWND tree, HTREEITEM item) {
  RedrawWindow(tree, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  RECT label{};
  TreeView_GetItemRect(tree, item, &label, TRUE);
  const HDC dc = GetDC(tree);
  const COLORREF page = GetPixel(dc, label.right + 80, label.top + 1);
  int marks = 0;
  for (int x = label.right + 2; x < label.right + 70; ++x) {
    for (int y = label.top; y < label.bottom; ++y) marks += GetPixel(dc, x, y) != page;
  }
  ReleaseDC(tree, dc);
  return marks;
}

TEST_F(BookShape, TheTreeShowsEachChaptersWordsWhenAsked) {
  Book book;
  Chapter chapter;
  chapter.name = gbk_of("一");
  chapter.content = gbk_of("{\\rtf1\\ansi\\ansicpg936 山高水长。}");
  book.chapters = {chapter, chapter};
  window().show_book(book);
  wait_for_counts();
  select(2);
  const HTREEITEM first = window().chapter_tree().item_at(1);
  EXPECT_EQ(marks_after_name(c().tree, first), 0) << "names only at first";
  command(kCmdTreeCounts);
  EXPECT_GT(marks_after_name(c().tree, first), 20) << "（4） after the name";
  EXPECT_TRUE(menu_checked(window().menus().settings->handle(), kCmdTreeCounts));
  restart();
  window().show_book(book);
  wait_for_counts();
  EXPECT_GT(marks_after_name(c().tree, window().chapter_tree().item_at(1)), 20) << "kept";
  command(kCmdTreeCounts);
  EXPECT_EQ(marks_after_name(c().tree, window().chapter_tree().item_at(1)), 0);
}

// A drag in the tree as the control starts one, then the mouse through the
// message loop to `onto`'s point (`high` in its top quarter, else its middle).
void drag_in_tree(HWND main, HWND tree, HTREEITEM from, HTREEITEM onto, bool high) {
  NMTREEVIEWW begin{};
  begin.hdr.hwndFrom = tree;
  begin.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(tree));
  begin.hdr.code = TVN_BEGINDRAGW;
  begin.itemNew.hItem = from;
  SendMessageW(main, WM_NOTIFY, begin.hdr.idFrom, reinterpret_cast<LPARAM>(&begin));
  RECT r{};
  TreeView_GetItemRect(tree, onto, &r, FALSE);
  const LPARAM at = MAKELPARAM(r.left + 30, high ? r.top + 1 : (r.top + r.bottom) / 2);
  PostMessageW(tree, WM_MOUSEMOVE, MK_LBUTTON, at);
  PostMessageW(tree, WM_LBUTTONUP, 0, at);
  pump();
}

std::vector<std::wstring> children(HWND tree, HTREEITEM parent) {
  std::vector<std::wstring> out;
  for (HTREEITEM i = TreeView_GetChild(tree, parent); i; i = TreeView_GetNextSibling(tree, i)) {
    out.push_back(tree_text(tree, i));
  }
  return out;
}

TEST_F(BookShape, VolumesHoldTheirChaptersInTheTreeAndGoWithThem) {
  Book book;
  for (const char* name : {"序章", "第一卷 风起", "第1章", "第2章", "第二卷", "第3章"}) {
    Chapter chapter;
    chapter.name = gbk_of(name);
    chapter.content = std::string(name).find("卷") != std::string::npos ? "" : "{\\rtf1 text}";
    book.chapters.push_back(chapter);
  }
  const std::filesystem::path file = dir_.path("volumes.zqb");
  ASSERT_EQ(write_book(file, book), 0);
  window().commands().open_book(wide_to_gbk_lossy(file.wstring()));
  const ChapterTree& tree = window().chapter_tree();
  const HTREEITEM root = tree.item_at(0);
  EXPECT_EQ(children(c().tree, root),
            (std::vector<std::wstring>{L"序章", L"第一卷 风起", L"第二卷"}));
  EXPECT_EQ(children(c().tree, tree.item_at(2)), (std::vector<std::wstring>{L"第1章", L"第2章"}));
  EXPECT_EQ(tree_image(c().tree, tree.item_at(2)), 3);

  // 第3章 dropped onto 第一卷 goes to its end.
  drag_in_tree(hwnd_, c().tree, tree.item_at(6), tree.item_at(2), false);
  EXPECT_EQ(children(c().tree, tree.item_at(2)),
            (std::vector<std::wstring>{L"第1章", L"第2章", L"第3章"}));
  EXPECT_EQ(window().document().undo_name(), gbk_of("移动章节 第3章"));
  // ← on a volume folds it, through the message loop; it stays folded while
  // the tree changes around it.
  select(2);
  SetFocus(c().tree);
  post_key(c().tree, VK_LEFT);
  EXPECT_FALSE(tree.expanded(2));
  // 第二卷 dragged above 第一卷: before it, never in among its chapters.
  drag_in_tree(hwnd_, c().tree, tree.item_at(6), tree.item_at(2), true);
  EXPECT_EQ(children(c().tree, root),
            (std::vector<std::wstring>{L"序章", L"第二卷", L"第一卷 风起"}));
  EXPECT_FALSE(tree.expanded(3));
  EXPECT_EQ(child_count(c().tree, tree.item_at(3)), 3);
  // 第一卷 (now third) with its three chapters moved up past 第二卷 by Alt+↑.
  select(3);
  SetFocus(c().tree);
  post_key(c().tree, VK_UP, false, false, true);
  EXPECT_EQ(children(c().tree, root),
            (std::vector<std::wstring>{L"序章", L"第一卷 风起", L"第二卷"}));
  EXPECT_EQ(window().document().undo_name(), gbk_of("移动分卷 第一卷 风起"));
  EXPECT_EQ(gbk_to_wide(window().book().chapters[4].name), L"第3章");

  // Del on the volume asks, then takes it with its chapters as one step.
  select(2);
  SetFocus(c().tree);
  prompts_.answers = {Answer::ok};
  post_key(c().tree, VK_DELETE);
  ASSERT_FALSE(prompts_.messages.empty());
  EXPECT_EQ(prompts_.messages.back().text,
            L"要删除分卷“第一卷 风起”及其中的 3 章吗？\r\n删除可以撤销。");
  EXPECT_EQ(window().document().count(), 2);
  post_key(c().tree, 'Z', true);
  EXPECT_EQ(window().document().count(), 6);
  EXPECT_EQ(children(c().tree, tree.item_at(2)),
            (std::vector<std::wstring>{L"第1章", L"第2章", L"第3章"}));

  // 新建分卷 after the selected chapter's volume, named for its place, and
  // 设为分卷 on an empty chapter; the marks are in the file.
  select(3);
  command(kCmdNewVolume);
  TreeView_EndEditLabelNow(c().tree, TRUE);
  EXPECT_EQ(gbk_to_wide(window().book().chapters[5].name), L"第二卷");
  EXPECT_EQ(children(c().tree, root),
            (std::vector<std::wstring>{L"序章", L"第一卷 风起", L"第二卷", L"第二卷"}));
  select(1);
  command(kCmdTreeInsertChapter);
  TreeView_EndEditLabelNow(c().tree, TRUE);
  EXPECT_EQ(window().selected_index(), 2);
  command(kCmdTreeSetVolume);
  EXPECT_EQ(tree_image(c().tree, tree.item_at(2)), 3);
  EXPECT_EQ(window().document().undo_name(), gbk_of("设为分卷 新的章节"));
  command(kCmdSave);
  Book saved;
  ASSERT_EQ(read_book(file, "", saved), ReadStatus::ok);
  EXPECT_EQ(volume_positions(saved), (std::vector<int>{2, 3, 7, 8}));
  EXPECT_TRUE(has_volume_mark(saved.chapters[1]));
  EXPECT_EQ(chapter_text16(saved.chapters[1].content), u"");
}

}  // namespace
}  // namespace folivra::test
