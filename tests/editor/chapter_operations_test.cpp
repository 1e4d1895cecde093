// Inserting, moving (by keys and by dragging), splitting and merging
// chapters in the real tree, and taking each back with undo.
#include <richedit.h>

#include "ui/menu_ids.h"
#include "app/window_driver.h"
#include "book/book_file.h"
#include "book/gbk.h"
#include "book/gbk_wide.h"
#include "text/plain_text.h"
#include "ui/rtf_stream.h"

namespace folivra::test {
namespace {

class ChapterOperations : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    window().show_book(abc_book());
  }
  std::vector<std::string> names() {
    std::vector<std::string> out;
    const Book& book = window().book();
    EXPECT_EQ(child_count(c().tree, TreeView_GetRoot(c().tree)), book.chapter_count);
    for (int i = 1; i <= book.chapter_count; ++i) {
      const Chapter& chapter = book.chapters[static_cast<size_t>(i - 1)];
      EXPECT_EQ(chapter.number, i);
      EXPECT_EQ(window().chapter_tree().position_of(window().chapter_tree().item_at(i)), i);
      EXPECT_EQ(tree_text(c().tree, window().chapter_tree().item_at(i)), gbk_to_wide(chapter.name));
      out.push_back(chapter.name);
    }
    return out;
  }
  std::wstring plain(int position) {
    select(position);
    return text_of(c().content);
  }
};

TEST_F(ChapterOperations, InsertAndMoveByKeysThenUndoAndRedo) {
  select(1);
  SetFocus(c().tree);
  loop_key(c().tree, VK_INSERT);
  ASSERT_NE(TreeView_GetEditControl(c().tree), nullptr) << "the new chapter's name is open";
  TreeView_EndEditLabelNow(c().tree, TRUE);
  pump();
  const std::string fresh = gbk_of("新的章节");
  EXPECT_EQ(names(), (std::vector<std::string>{"A", fresh, "B", "C"}));
  EXPECT_EQ(window().selected_index(), 2);
  EXPECT_TRUE(window().is_modified());

  select(1);
  SetFocus(c().tree);
  {
    HeldKeys alt(false, false, true);
    loop_key(c().tree, VK_DOWN, true);
  }
  EXPECT_EQ(names(), (std::vector<std::string>{fresh, "A", "B", "C"}));
  EXPECT_EQ(window().selected_index(), 2) << "the moved chapter stays selected";
  EXPECT_EQ(text_of(c().content).substr(0, 9), L"text of A");

  // Typing goes to the chapter shown, wherever it now stands.
  SetFocus(c().content);
  SendMessageW(c().content, EM_SETSEL, 0, 0);
  type(c().content, L"!");
  SetFocus(c().tree);
  {
    HeldKeys ctrl(true);
    loop_key(c().tree, 'Z');
  }
  EXPECT_EQ(names(), (std::vector<std::string>{"A", fresh, "B", "C"}));
  EXPECT_EQ(window().selected_index(), 1);
  EXPECT_EQ(text_of(c().content).substr(0, 10), L"!text of A");
  EXPECT_EQ(window().book().chapters[1].content, "");
  {
    HeldKeys ctrl(true);
    loop_key(c().tree, 'Z');
    EXPECT_EQ(names(), (std::vector<std::string>{"A", "B", "C"}));
    loop_key(c().tree, 'Y');
  }
  EXPECT_EQ(names(), (std::vector<std::string>{"A", fresh, "B", "C"}));
}

TEST_F(ChapterOperations, AnUndoneDeleteBringsTheChapterBackByteForByte) {
  Book book = abc_book();
  book.chapters[1].name = gbk_of("第12章");
  book.chapters[1].content =
      "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0 SimSun;}}\\f0 \\b \xD5\xE6\\b0 }";
  window().show_book(book);
  select(2);
  command(kCmdTreeDeleteChapter);
  EXPECT_EQ(names(), (std::vector<std::string>{"A", "C"}));
  EXPECT_EQ(window().selected_index(), 2) << "the next chapter is shown";
  window().refresh_tree_menu();
  EXPECT_EQ(menu_caption(window().menus().tree->handle(), kCmdTreeUndo),
            L"撤销删除章节 第12章\tCtrl+Z");
  EXPECT_TRUE(window().menus().tree->is_enabled(kCmdTreeUndo));
  EXPECT_FALSE(window().menus().tree->is_enabled(kCmdTreeRedo));

  command(kCmdTreeUndo);
  EXPECT_EQ(names(), (std::vector<std::string>{"A", gbk_of("第12章"), "C"}));
  EXPECT_EQ(window().selected_index(), 2);
  const std::filesystem::path file = dir_.path("tale.zqb");
  prompts_.paths = {wide_to_gbk_lossy(file.wstring())};
  command(kCmdSave);
  Book back;
  ASSERT_EQ(read_book(file, "", back), ReadStatus::ok);
  ASSERT_EQ(back.chapters.size(), 3u);
  EXPECT_EQ(back.chapters[1].content, book.chapters[1].content) << "not re-streamed by the editor";
  window().refresh_tree_menu();
  EXPECT_EQ(menu_caption(window().menus().tree->handle(), kCmdTreeRedo),
            L"重做删除章节 第12章\tCtrl+Y");
}

TEST_F(ChapterOperations, ADragMovesTheChapterWhereItIsDropped) {
  RECT target;
  TreeView_GetItemRect(c().tree, window().chapter_tree().item_at(3), &target, TRUE);
  NMTREEVIEWW drag{};
  drag.hdr = {c().tree, static_cast<UINT_PTR>(GetDlgCtrlID(c().tree)), TVN_BEGINDRAGW};
  drag.itemNew.hItem = window().chapter_tree().item_at(1);
  drag.itemNew.lParam = 1;
  SendMessageW(hwnd_, WM_NOTIFY, drag.hdr.idFrom, reinterpret_cast<LPARAM>(&drag));
  EXPECT_EQ(GetCapture(), c().tree);
  const LPARAM below_c = MAKELPARAM(target.left + 2, target.bottom - 2);
  SendMessageW(c().tree, WM_MOUSEMOVE, MK_LBUTTON, below_c);
  SendMessageW(c().tree, WM_LBUTTONUP, 0, below_c);
  EXPECT_NE(GetCapture(), c().tree);
  EXPECT_EQ(names(), (std::vector<std::string>{"B", "C", "A"}));
  EXPECT_EQ(window().selected_index(), 3);
  EXPECT_EQ(text_of(c().content).substr(0, 9), L"text of A");
}

TEST_F(ChapterOperations, SplitAndMergeKeepBoldText) {
  Book book = abc_book();
  const std::string original =
      "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 plain \\b bold\\b0  end\\par}";
  book.chapters[0].content = original;
  window().show_book(book);
  select(1);
  SetFocus(c().content);
  SendMessageW(c().content, EM_SETSEL, 8, 8);  // "plain bo|ld end"
  post_key(c().content, VK_RETURN, true, true);
  ASSERT_NE(TreeView_GetEditControl(c().tree), nullptr) << "the new half's name is open";
  TreeView_EndEditLabelNow(c().tree, TRUE);
  pump();
  EXPECT_EQ(names(), (std::vector<std::string>{"A", gbk_of("A（续）"), "B", "C"}));
  EXPECT_EQ(window().selected_index(), 2);
  const Book& split = window().book();
  EXPECT_NE(split.chapters[0].content.find("\\b"), std::string::npos);
  EXPECT_NE(split.chapters[1].content.find("\\b"), std::string::npos) << "the bold half stays bold";
  EXPECT_EQ(plain(1).substr(0, 8), L"plain bo");
  EXPECT_EQ(plain(2).substr(0, 6), L"ld end");

  select(1);
  command(kCmdTreeMergeChapter);
  EXPECT_EQ(names(), (std::vector<std::string>{"A", "B", "C"}));
  const std::wstring merged = plain(1);
  EXPECT_EQ(merged.substr(0, 9), L"plain bo\r");
  EXPECT_NE(merged.find(L"ld end"), std::wstring::npos);
  EXPECT_NE(window().book().chapters[0].content.find("\\b"), std::string::npos);

  command(kCmdTreeUndo);
  EXPECT_EQ(names().size(), 4u);
  command(kCmdTreeUndo);
  EXPECT_EQ(names(), (std::vector<std::string>{"A", "B", "C"}));
  EXPECT_EQ(window().book().chapters[0].content, original) << "the cut is taken back whole";
}

// How the control shows one character: what an author would see change.
struct Look {
  DWORD effects = 0;
  COLORREF color = 0;
  LONG height = 0;
  std::wstring face;
  bool operator==(const Look&) const = default;
};

void PrintTo(const Look& l, std::ostream* out) {
  *out << "{" << l.effects << " " << l.color << " " << l.height << " "
       << wide_to_gbk_lossy(l.face).size() << "}";
}

// The look of every character of the chapter shown, its final paragraph
// mark left out.
std::vector<Look> looks(HWND edit) {
  std::wstring text = control_text(edit);
  if (!text.empty() && text.back() == L'\r') text.pop_back();
  std::vector<Look> out;
  for (LONG i = 0; i < static_cast<LONG>(text.size()); ++i) {
    CHARRANGE range{i, i + 1};
    SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    CHARFORMAT2W f{};
    f.cbSize = sizeof f;
    SendMessageW(edit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&f));
    out.push_back({f.dwEffects & (CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE), f.crTextColor, f.yHeight,
                   f.szFaceName});
  }
  return out;
}

std::vector<Look> part(const std::vector<Look>& all, size_t from, size_t to) {
  return {all.begin() + static_cast<long>(from), all.begin() + static_cast<long>(to)};
}

bool any_bold(const std::vector<Look>& all) {
  for (const Look& l : all) {
    if (l.effects & CFE_BOLD) return true;
  }
  return false;
}

// Chapters another program wrote (fonts, a colour, bold, italic, underline,
// \uN), one as the editor writes a plain chapter, and one of plain text.
Book formatted_book() {
  Book book = abc_book();
  book.chapters[0].content =
      "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}"
      "{\\f1\\fswiss Arial;}}{\\colortbl ;\\red255\\green0\\blue0;}\r\n\\pard\\f0\\fs24 "
      "\\'b5\\'da\\'d2\\'bb plain {\\b bold \\'d5\\'c2} {\\i\\cf1 red italic\\u8226?} "
      "{\\f1\\fs32 Arial \\ul under\\ulnone  done} end\\par\r\n}";
  std::string words;
  for (int i = 0; i < 20; ++i) words += "\\'ce\\'c4\\'d7\\'d6 word ";
  book.chapters[1].content =
      "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}"
      "\r\n\\viewkind4\\uc1\\pard\\f0\\fs24 " +
      words + "\\par\r\n}";
  book.chapters[2].content = std::string(150, 'x') + "\r\n" + gbk_of("第二段");
  // Tables of its own: its \\f0 and \\cf1 are not the first chapter's.
  Chapter other;
  other.name = "D";
  other.content =
      "{\\rtf1\\ansi\\ansicpg936\\deff1{\\fonttbl{\\f0\\fswiss Courier "
      "New;}{\\f1\\fnil\\fcharset134 "
      "\\'ba\\'da\\'cc\\'e5;}}{\\colortbl ;\\red0\\green0\\blue255;}\r\n\\pard\\fs28 dark \\f0 "
      "courier "
      "\\cf1 blue\\cf0  \\f1\\'ba\\'da\\par\r\n}";
  book.chapters.push_back(other);
  book.chapter_count = 4;
  return book;
}

TEST_F(ChapterOperations, SplitMergeAndBookReplaceChangeNoCharactersLook) {
  window().show_book(formatted_book());
  select(1);
  const std::vector<Look> before = looks(c().content);
  ASSERT_GT(before.size(), 40u);
  ASSERT_TRUE(any_bold(before));
  ASSERT_NE(before[0].face, before[before.size() - 8].face) << "two faces to keep apart";

  // Split in the middle of the bold run, through the keys.
  const size_t at = chapter_text16(window().book().chapters[0].content).find(u"ld");
  SetFocus(c().content);
  SendMessageW(c().content, EM_SETSEL, at, at);
  post_key(c().content, VK_RETURN, true, true);
  TreeView_EndEditLabelNow(c().tree, TRUE);
  loop_pump();
  ASSERT_EQ(window().document().count(), 5);
  select(1);
  EXPECT_EQ(looks(c().content), part(before, 0, at));
  select(2);
  EXPECT_EQ(looks(c().content), part(before, at, before.size()));

  // Merge them again: the same looks, a paragraph break between.
  select(1);
  command(kCmdTreeMergeChapter);
  select(1);
  std::vector<Look> merged = looks(c().content);
  ASSERT_EQ(merged.size(), before.size() + 1);
  merged.erase(merged.begin() + static_cast<long>(at));
  EXPECT_EQ(merged, before);

  // A plain chapter, RTF or text, split anywhere: nothing turns bold.
  for (int p : {2, 3}) {
    select(p);
    SendMessageW(c().content, EM_SETSEL, 100, 100);
    command(kCmdTreeSplitChapter);
    TreeView_EndEditLabelNow(c().tree, TRUE);
    loop_pump();
    for (int half : {p, p + 1}) {
      select(half);
      EXPECT_FALSE(any_bold(looks(c().content))) << half;
      EXPECT_EQ(window().book().chapters[static_cast<size_t>(half - 1)].content.find("\\b"),
                std::string::npos)
          << half;
    }
    command(kCmdTreeUndo);
  }
  ASSERT_EQ(window().document().count(), 4);

  // 全书替换 of a word in every chapter: only the replaced characters change.
  select(1);
  const std::vector<Look> first_before = looks(c().content);
  select(2);
  const std::vector<Look> plain_before = looks(c().content);
  window().open_find(false);
  const SearchWindow::Controls& f = window().search_window().controls();
  SetWindowTextW(f.pattern, L"i");
  SetWindowTextW(f.replacement, L"I");
  prompts_.answers = {Answer::ok};
  SendMessageW(f.replace_book, BM_CLICK, 0, 0);
  pump();
  select(1);
  EXPECT_EQ(looks(c().content), first_before) << "one letter for one, the looks stay";
  EXPECT_EQ(text_of(c().content).find(L'i'), std::wstring::npos);
  select(2);
  EXPECT_EQ(looks(c().content), plain_before);

  // Two chapters of different fonts and colours merged: each keeps its looks.
  select(3);
  const std::vector<Look> third = looks(c().content);
  select(4);
  const std::vector<Look> fourth = looks(c().content);
  select(3);
  command(kCmdTreeMergeChapter);
  select(3);
  std::vector<Look> together = looks(c().content);
  ASSERT_EQ(together.size(), third.size() + 1 + fourth.size());
  EXPECT_EQ(part(together, 0, third.size()), third);
  EXPECT_EQ(part(together, third.size() + 1, together.size()), fourth);
}

}  // namespace
}  // namespace folivra::test
