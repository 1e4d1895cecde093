// The document commands in the real window: closing, guarding, sharing.
#include "ui/menu_ids.h"
#include "app/window_driver.h"
#include "book/book_file.h"
#include "book/gbk_wide.h"

namespace folivra::test {
namespace {

using DocumentWindow = WindowTest;

TEST_F(DocumentWindow, CancelAtCloseKeepsTheProgramRunning) {
  window().show_book(sample_book(2));
  window().set_modified(true);
  prompts_.answers = {Answer::cancel};
  SendMessageW(hwnd_, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(hwnd_));
  ASSERT_EQ(prompts_.messages.size(), 1u);
  EXPECT_TRUE(window().is_modified());
  MSG msg;
  EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));

  prompts_.answers = {Answer::no};
  command(kCmdExit);
  EXPECT_FALSE(IsWindow(hwnd_));
}

TEST_F(DocumentWindow, UnchangedBookClosesWithoutAsking) {
  command(kCmdNew);
  EXPECT_EQ(text_of(c().title), L"新的书籍");
  EXPECT_EQ(text_of(c().intro), L"    点击编辑");
  SendMessageW(hwnd_, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(hwnd_));
  EXPECT_TRUE(prompts_.messages.empty());
}

TEST_F(DocumentWindow, BookHeldOpenForWritingCannotBeOpened) {
  Book book = sample_book(1);
  ASSERT_EQ(write_book(dir_.path("held.zqb"), book), 0);
  HANDLE writer =
      CreateFileW(dir_.path("held.zqb").c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  window().commands().open_book(wide_to_gbk_lossy(dir_.path("held.zqb").wstring()));
  CloseHandle(writer);
  ASSERT_EQ(prompts_.messages.size(), 1u);
  EXPECT_EQ(prompts_.messages[0].text, L"文件打开失败，请确定文件是否被占用");
  EXPECT_EQ(status_text(c().status, 1), L"未载入");
}

TEST_F(DocumentWindow, EndToEnd) {
  command(kCmdNew);
  command(kCmdAddChapter);
  TreeView_EndEditLabelNow(c().tree, TRUE);
  select(1);
  SetFocus(c().content);
  type(c().content, L"第一章的文字");
  prompts_.new_passwords = {{true, "\xC3\xDC", "\xCC\xE1"}};
  command(kCmdSetPassword);
  const std::string path = wide_to_gbk_lossy(dir_.path("end").wstring());
  prompts_.paths = {path};
  command(kCmdSave);
  EXPECT_FALSE(window().is_modified());
  EXPECT_EQ(window().book().file_path, path + ".zqb");

  command(kCmdNew);
  prompts_.paths = {path + ".zqb"};
  prompts_.passwords = {"\xC3\xDC"};
  command(kCmdOpen);
  ASSERT_EQ(prompts_.open_asks.size(), 1u);
  EXPECT_EQ(prompts_.open_asks[0].hint, "\xCC\xE1");
  EXPECT_EQ(window().book().chapter_count, 1);
  select(1);
  EXPECT_NE(text_of(c().content).find(L"第一章的文字"), std::wstring::npos);
  EXPECT_EQ(window().recent_files().front(), path + ".zqb");
  EXPECT_TRUE(menu_shows(window().menus().file->handle(), kCmdRecent1));
}

}  // namespace
}  // namespace folivra::test
