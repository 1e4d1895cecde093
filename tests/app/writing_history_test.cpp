// A writing day in the real window: typing and saving records versions in
// the writing store; 历史版本 shows them, compares and restores (undoably);
// 删除的章节 brings a chapter back; today's words and the goal follow.
#include <richedit.h>

#include "app/window_driver.h"
#include "book/book_file.h"
#include "book/gbk.h"
#include "book/gbk_wide.h"
#include "text/plain_text.h"
#include "ui/menu_ids.h"
#include "ui/rtf_stream.h"

namespace folivra::test {
namespace {

class WritingHistory : public WindowTest {
 protected:
  void open_novel() {
    Book book;
    book.title = gbk_of("长河");
    for (const char* name : {"第一章", "第二章"}) {
      Chapter chapter;
      chapter.name = gbk_of(name);
      chapter.content = gbk_of(
          "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fcharset134 宋体;}}"
          "\\f0\\fs24 开篇。\\par}");
      book.chapters.push_back(chapter);
    }
    file_ = dir_.path("novel.zqb");
    ASSERT_EQ(write_book(file_, book), 0);
    window().commands().open_book(wide_to_gbk_lossy(file_.wstring()));
    select(1);
  }
  void type_at_end(const std::wstring& text) {
    SetFocus(c().content);
    post_key(c().content, VK_END, true);
    type(c().content, text);
  }
  std::u16string text_on_disk(int chapter) {
    Book book;
    EXPECT_EQ(read_book(file_, "", book), ReadStatus::ok);
    return chapter_text16(book.chapters[static_cast<size_t>(chapter - 1)].content);
  }
  std::wstring today() { return status_text(c().status, 5); }
  void click(HWND button) {
    PostMessageW(button, BM_CLICK, 0, 0);
    loop_pump();
  }

  std::filesystem::path file_;
};

TEST_F(WritingHistory, TypeSaveTypeSaveThenCompareRestoreAndUndo) {
  open_novel();
  wait_for_counts();
  EXPECT_EQ(today(), L"今日 +0");
  type_at_end(L"甲乙丙");
  command(kCmdSave);
  type_at_end(L"丁戊");
  EXPECT_TRUE(wait_until([&] { return today() == L"今日 +5"; })) << today();
  command(kCmdSave);

  command(kCmdHistory);
  const VersionsWindow& history = window().versions_window();
  ASSERT_TRUE(IsWindowVisible(history.hwnd()));
  EXPECT_EQ(text_of(history.hwnd()), L"历史版本 - 第一章");
  // As opened, and as each save left it; newest first, with the change in 字数.
  ASSERT_EQ(history.rows().size(), 3u);
  EXPECT_EQ(history.rows()[0].words, 7);
  EXPECT_EQ(history.rows()[0].change, 2);
  EXPECT_EQ(history.rows()[1].change, 3);
  EXPECT_FALSE(history.rows()[2].change);
  EXPECT_EQ(ListView_GetItemCount(history.list()), 3);

  // The first version, previewed, then compared with the text now.
  ListView_SetItemState(history.list(), 2, LVIS_SELECTED | LVIS_FOCUSED,
                        LVIS_SELECTED | LVIS_FOCUSED);
  pump();
  EXPECT_EQ(history.selected(), 2);
  EXPECT_EQ(control_text(history.preview()), L"开篇。");
  click(history.compare_button());
  EXPECT_TRUE(history.comparing());
  EXPECT_EQ(text_of(history.summary()), L"与当前文本相比：新增 0 段，删除 0 段，修改 1 段");
  EXPECT_EQ(control_text(history.preview()), L"开篇。甲乙丙丁戊");
  CHARFORMAT2W format{};
  format.cbSize = sizeof format;
  SendMessageW(history.preview(), EM_SETSEL, 3, 4);
  SendMessageW(history.preview(), EM_GETCHARFORMAT, SCF_SELECTION,
               reinterpret_cast<LPARAM>(&format));
  EXPECT_TRUE(format.dwEffects & CFE_UNDERLINE) << "what was added is marked";
  EXPECT_FALSE(format.dwEffects & CFE_BOLD);

  // 恢复此版本: one undoable step; the save after it records it.
  click(history.restore_button());
  EXPECT_EQ(control_text(c().content), L"开篇。");
  EXPECT_EQ(window().document().undo_name(), gbk_of("恢复版本 第一章"));
  window().undo_chapters(false);
  EXPECT_EQ(control_text(c().content), L"开篇。甲乙丙丁戊");
  window().undo_chapters(true);
  command(kCmdSave);
  EXPECT_EQ(text_on_disk(1), u"开篇。");
  command(kCmdHistory);
  EXPECT_EQ(history.rows().size(), 4u);
  EXPECT_EQ(history.rows()[0].change, -5);
}

TEST_F(WritingHistory, ADeletedChapterComesBackFromTheStore) {
  open_novel();
  select(2);
  type_at_end(L"只在第二章");
  command(kCmdSave);
  select(2);
  window().delete_chapter();
  command(kCmdSave);
  ASSERT_EQ(window().document().count(), 1);

  command(kCmdDeletedChapters);
  const VersionsWindow& deleted = window().versions_window();
  ASSERT_TRUE(IsWindowVisible(deleted.hwnd()));
  ASSERT_EQ(deleted.rows().size(), 1u);
  EXPECT_EQ(deleted.rows()[0].name, L"第二章");
  EXPECT_EQ(control_text(deleted.preview()), L"开篇。只在第二章");
  click(deleted.restore_button());
  EXPECT_TRUE(deleted.rows().empty());
  ASSERT_EQ(window().document().count(), 2);
  EXPECT_EQ(window().document().undo_name(), gbk_of("恢复章节 第二章"));
  command(kCmdSave);
  EXPECT_EQ(text_on_disk(2), u"开篇。只在第二章");
}

TEST_F(WritingHistory, TodaysWordsMeetAGoalSetInTheChartWindow) {
  open_novel();
  command(kCmdWritingStats);
  const WritingStatsWindow& stats = window().writing_stats_window();
  ASSERT_TRUE(IsWindowVisible(stats.hwnd()));
  EXPECT_EQ(stats.data().days.size(), 30u);
  SetWindowTextW(stats.goal_edit(), L"4");
  PostMessageW(stats.hwnd(), WM_COMMAND, WritingStatsWindow::kApply, 0);
  loop_pump();
  EXPECT_EQ(today(), L"今日 +0 / 目标 4");
  EXPECT_TRUE(IsWindowVisible(window().today_words().bar()));
  EXPECT_EQ(SendMessageW(window().today_words().bar(), PBM_GETPOS, 0, 0), 0);

  type_at_end(L"一二三四五");
  EXPECT_TRUE(wait_until([&] { return today() == L"今日 +5 / 目标 4"; })) << today();
  EXPECT_EQ(status_text(c().status, 1), L"已完成今日目标 4 字") << "said once, quietly";
  EXPECT_EQ(SendMessageW(window().today_words().bar(), PBM_GETPOS, 0, 0), 4);
  command(kCmdSave);
  window().writing_log().flush();
  command(kCmdWritingStats);
  EXPECT_EQ(stats.data().days.back().words, 5);
  EXPECT_EQ(stats.data().streak, 1);
  ASSERT_EQ(stats.data().books.size(), 1u);
  EXPECT_EQ(stats.data().books[0].name, L"novel.zqb");

  // Another session the same day starts from where the day began.
  restart();
  window().commands().open_book(wide_to_gbk_lossy(file_.wstring()));
  wait_for_counts();
  EXPECT_EQ(today(), L"今日 +5 / 目标 4");
}

TEST_F(WritingHistory, ADamagedStoreIsSetAsideAndTheBookSavesAsEver) {
  const std::filesystem::path store = dir_.dir() / L"Folivra" / L"folivra.db";
  window_.reset();
  std::filesystem::create_directories(store.parent_path());
  write_bytes(store, std::string(4096, 'z'));
  prompts_.messages.clear();
  SetUp();
  loop_pump();
  ASSERT_EQ(prompts_.messages.size(), 1u);
  EXPECT_NE(prompts_.messages[0].text.find(L"写作记录已损坏"), std::wstring::npos);
  int aside = 0;
  for (const auto& entry : std::filesystem::directory_iterator(store.parent_path())) {
    if (entry.path().filename().wstring().starts_with(L"folivra.db.damaged-")) {
      ++aside;
      EXPECT_EQ(read_bytes(entry.path()), std::string(4096, 'z'));
    }
  }
  EXPECT_EQ(aside, 1);

  open_novel();
  type_at_end(L"照常");
  command(kCmdSave);
  EXPECT_EQ(text_on_disk(1), u"开篇。照常");
  command(kCmdHistory);
  EXPECT_EQ(window().versions_window().rows().size(), 2u) << "a new store took over";
}

}  // namespace
}  // namespace folivra::test
