// A save that takes a while: its progress bar in the status bar, the window
// painting meanwhile, and input kept for after the save.
#include <algorithm>

#include "app/window_driver.h"
#include "book/book_file.h"
#include "book/gbk_wide.h"
#include "text/plain_text.h"
#include "ui/menu_ids.h"

namespace folivra::test {
namespace {

// What the status bar's children and the tree were told during a save.
struct Watched {
  HWND bar = nullptr;
  bool bar_alive = false;
  std::wstring bar_class;
  RECT bar_rect{};
  std::vector<int> positions;
  int bar_paints = 0;
  int tree_paints_while_saving = 0;
};

LRESULT CALLBACK watch_bar(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                           DWORD_PTR data) {
  auto* watched = reinterpret_cast<Watched*>(data);
  if (message == PBM_SETPOS) watched->positions.push_back(static_cast<int>(wparam));
  if (message == WM_PAINT) ++watched->bar_paints;
  if (message == WM_DESTROY) watched->bar_alive = false;
  return DefSubclassProc(hwnd, message, wparam, lparam);
}

LRESULT CALLBACK watch_status(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                              DWORD_PTR data) {
  auto* watched = reinterpret_cast<Watched*>(data);
  if (message == WM_PARENTNOTIFY && LOWORD(wparam) == WM_CREATE) {
    watched->bar = reinterpret_cast<HWND>(lparam);
    watched->bar_alive = true;
    wchar_t name[64] = {};
    GetClassNameW(watched->bar, name, 64);
    watched->bar_class = name;
    GetWindowRect(watched->bar, &watched->bar_rect);
    MapWindowPoints(HWND_DESKTOP, hwnd, reinterpret_cast<POINT*>(&watched->bar_rect), 2);
    SetWindowSubclass(watched->bar, watch_bar, 1, data);
  }
  return DefSubclassProc(hwnd, message, wparam, lparam);
}

LRESULT CALLBACK watch_tree(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                            DWORD_PTR data) {
  auto* watched = reinterpret_cast<Watched*>(data);
  if (message == WM_PAINT && watched->bar_alive) ++watched->tree_paints_while_saving;
  return DefSubclassProc(hwnd, message, wparam, lparam);
}

class Saving : public WindowTest {
 protected:
  void watch() {
    SetWindowSubclass(c().status, watch_status, 1, reinterpret_cast<DWORD_PTR>(&watched_));
    SetWindowSubclass(c().tree, watch_tree, 1, reinterpret_cast<DWORD_PTR>(&watched_));
  }
  void TearDown() override {
    RemoveWindowSubclass(c().status, watch_status, 1);
    RemoveWindowSubclass(c().tree, watch_tree, 1);
    WindowTest::TearDown();
  }
  std::u16string chapter_text(const Book& book, int index) {
    return chapter_text16(book.chapters[static_cast<size_t>(index)].content);
  }
  Watched watched_;
};

TEST_F(Saving, ALongSaveShowsItsProgressPaintsAndKeepsInputForAfter) {
  // More chapters than one batch of the writer, so the save reports progress,
  // none of them stored yet, so that every one is encoded: a save long
  // enough to be seen.
  const std::filesystem::path file = dir_.path("long.zqb");
  {
    Book book = sample_book(1200);
    uint32_t seed = 1;
    for (size_t i = 0; i < book.chapters.size(); ++i) {
      std::string text(6000, ' ');
      for (char& c : text) c = static_cast<char>('a' + (seed = seed * 1103515245 + 12345) % 26);
      book.chapters[i].content =
          "{\\rtf1\\ansi\\ansicpg936 chapter " + std::to_string(i + 1) + " " + text + "}";
    }
    book.file_path = wide_to_gbk_lossy(file.wstring());
    window().show_book(std::move(book));
  }
  select(2);
  SetFocus(c().content);
  SendMessageW(c().content, EM_SETSEL, 0, 0);
  type(c().content, L"开头");
  window().set_save_progress_delay(0);
  watch();

  // A key that arrives while the book is being written waits for the save.
  PostMessageW(c().content, WM_CHAR, L'后', 1);
  InvalidateRect(c().tree, nullptr, TRUE);
  command(kCmdSave);

  ASSERT_NE(watched_.bar, nullptr) << "a save past the delay shows a bar";
  EXPECT_EQ(watched_.bar_class, L"msctls_progress32");
  RECT pane{};
  SendMessageW(c().status, SB_GETRECT, 1, reinterpret_cast<LPARAM>(&pane));
  EXPECT_TRUE(EqualRect(&pane, &watched_.bar_rect)) << "the bar covers the book's pane";
  ASSERT_FALSE(watched_.positions.empty());
  EXPECT_TRUE(std::is_sorted(watched_.positions.begin(), watched_.positions.end()));
  EXPECT_EQ(watched_.positions.back(), 1000) << "it ends full";
  EXPECT_GT(watched_.bar_paints, 0) << "the bar is drawn";
  EXPECT_GT(watched_.tree_paints_while_saving, 0) << "the window paints during the save";
  EXPECT_FALSE(IsWindow(watched_.bar)) << "and the bar is gone after it";
  EXPECT_EQ(status_text(c().status, 1).substr(0, 10), L"新的书籍  已保存 ");

  Book on_disk;
  ASSERT_EQ(read_book(file, "", on_disk), ReadStatus::ok);
  ASSERT_EQ(on_disk.chapters.size(), 1200u);
  EXPECT_EQ(chapter_text(on_disk, 1).substr(0, 11), u"开头chapter 2") << "the save held the edit";
  EXPECT_FALSE(window().is_modified());

  pump();
  EXPECT_TRUE(window().is_modified()) << "the key came after the save and is not lost";
  command(kCmdSave);
  on_disk = {};
  ASSERT_EQ(read_book(file, "", on_disk), ReadStatus::ok);
  EXPECT_EQ(chapter_text(on_disk, 1).substr(0, 12), u"开头后chapter 2");

  // A quick save under the real delay shows no bar.
  watched_ = {};
  window().set_save_progress_delay(500);
  type(c().content, L"尾");
  command(kCmdSave);
  EXPECT_EQ(watched_.bar, nullptr);
  EXPECT_FALSE(window().is_modified());
}

// A book is counted on a worker after it opens: the status bar says so, and
// a save made at once writes every chapter's text, not a stand-in.
TEST_F(Saving, ABookSavedTheMomentItOpensIsWhole) {
  Book book = sample_book(3);
  for (int i = 4; i <= 2000; ++i) {  // 10 MB of text
    Chapter chapter = book.chapters[2];
    chapter.content = "{\\rtf1\\ansi chapter " + std::to_string(i) + std::string(5000, 'x') + "}";
    book.chapters.push_back(chapter);
  }
  book.chapter_count = 2000;
  ASSERT_EQ(write_book(dir_.path("big.zqb"), book), 0);
  window().commands().open_book(wide_to_gbk_lossy(dir_.path("big.zqb").wstring()));
  EXPECT_TRUE(window().reading_contents()) << "shown from the names, the contents still coming";
  EXPECT_EQ(TreeView_GetCount(c().tree), 2001u);
  EXPECT_EQ(status_text(c().status, 4), L"字数：统计中…");
  prompts_.paths.push_back(wide_to_gbk_lossy(dir_.path("copy.zqb").wstring()));
  command(kCmdSaveAs);
  // Every chapter's stored item is written again byte for byte.
  const std::string original = read_bytes(dir_.path("big.zqb"));
  const std::string saved = read_bytes(dir_.path("copy.zqb"));
  const Layout before = layout_of(original), after = layout_of(saved);
  ASSERT_EQ(before.items.size(), after.items.size());
  for (size_t i = before.items.size() - 4000; i < before.items.size(); ++i) {
    ASSERT_EQ(stored_item(saved, after.items[i]), stored_item(original, before.items[i])) << i;
  }
  Book copy;
  ASSERT_EQ(read_book(dir_.path("copy.zqb"), "", copy), ReadStatus::ok);
  ASSERT_EQ(copy.chapters.size(), book.chapters.size());
  for (size_t i = 0; i < book.chapters.size(); ++i) {
    ASSERT_EQ(copy.chapters[i].content, book.chapters[i].content) << i;
    ASSERT_EQ(copy.chapters[i].name, book.chapters[i].name) << i;
  }
  wait_for_counts();
  EXPECT_EQ(status_text(c().status, 4).substr(0, 6), L"字数：全书 ");
}

TEST_F(Saving, AQuitPostedDuringASaveStaysAndAFailedSaveSaysSo) {
  window().show_book(sample_book(300));
  window().set_save_progress_delay(0);
  // A folder that is not there: the save cannot be made.
  prompts_.paths.push_back(wide_to_gbk_lossy((dir_.path("missing") / L"tale.zqb").wstring()));
  PostQuitMessage(7);
  command(kCmdSaveAs);

  ASSERT_EQ(prompts_.messages.size(), 1u);
  EXPECT_NE(prompts_.messages[0].text.find(L"保存失败"), std::wstring::npos);
  EXPECT_TRUE(window().is_modified()) << "a failed save leaves the book unsaved";
  MSG msg{};
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 7u) << "the quit seen while painting is posted again";

  prompts_.paths.push_back(wide_to_gbk_lossy(dir_.path("free.zqb").wstring()));
  command(kCmdSaveAs);
  Book on_disk;
  ASSERT_EQ(read_book(dir_.path("free.zqb"), "", on_disk), ReadStatus::ok);
  EXPECT_EQ(on_disk.chapters.size(), 300u);
}

}  // namespace
}  // namespace folivra::test
