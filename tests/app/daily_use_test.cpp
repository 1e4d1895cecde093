// What a day of real use asks of the window: a caption and status bar that
// follow the book, the tree's own keys, closing a book, naming a first save.
#include "app/window_driver.h"
#include "book/book_file.h"
#include "book/gbk.h"
#include "book/gbk_wide.h"
#include "ui/menu_ids.h"

namespace folivra::test {
namespace {

class DailyUse : public WindowTest {
 protected:
  std::wstring caption() { return text_of(hwnd_); }
};

TEST_F(DailyUse, TheCaptionAndStatusBarFollowTheBook) {
  EXPECT_EQ(caption(), L"Folivra");
  Book book = sample_book(2);
  book.title = gbk_of("山海");
  book.chapters[0].name = gbk_of("第一章");
  const std::filesystem::path file = dir_.path("tale.zqb");
  ASSERT_EQ(write_book(file, book), 0);
  window().commands().open_book(wide_to_gbk_lossy(file.wstring()));
  EXPECT_EQ(caption(), L"山海 - Folivra");

  SetFocus(c().title);
  SendMessageW(c().title, EM_SETSEL, 0, -1);
  type(c().title, L"江河");
  EXPECT_EQ(caption(), L"*江河 - Folivra");
  EXPECT_EQ(status_text(c().status, 1), L"江河");
  command(kCmdSave);
  EXPECT_EQ(caption(), L"江河 - Folivra");
  EXPECT_EQ(status_text(c().status, 1).substr(0, 8), L"江河  已保存 ") << "a save says so";

  select(1);
  EXPECT_EQ(status_text(c().status, 3), L"第一章");
  SetFocus(c().tree);
  post_key(c().tree, VK_F2);
  HWND edit = TreeView_GetEditControl(c().tree);
  ASSERT_NE(edit, nullptr);
  SetWindowTextW(edit, L"序章");
  TreeView_EndEditLabelNow(c().tree, FALSE);
  pump();
  EXPECT_EQ(status_text(c().status, 3), L"序章") << "the renamed chapter's new name";

  window().show_book(sample_book(1));
  EXPECT_EQ(status_text(c().status, 3), L"未载入") << "no chapter of the old book";
}

TEST_F(DailyUse, TheTreeAnswersItsKeys) {
  window().show_book(sample_book(3));
  select(2);
  SetFocus(c().tree);
  loop_key(c().tree, VK_F2);
  EXPECT_NE(TreeView_GetEditControl(c().tree), nullptr) << "F2 renames";
  TreeView_EndEditLabelNow(c().tree, TRUE);
  pump();

  SetFocus(c().tree);
  loop_key(c().tree, VK_DELETE);
  EXPECT_EQ(window().book().chapter_count, 2) << "Del in the tree deletes the chapter";
  {
    HeldKeys ctrl(true);
    loop_key(c().tree, 'Z');
    EXPECT_EQ(window().book().chapter_count, 3);
    loop_key(c().tree, VK_END);
    EXPECT_EQ(window().selected_index(), 3);
    loop_key(c().tree, VK_HOME);
    EXPECT_EQ(window().selected_index(), 1);
  }
  loop_key(c().tree, VK_RETURN);
  EXPECT_EQ(GetFocus(), c().content) << "Enter goes on to the text";
  {
    HeldKeys ctrl(true, true);
    MSG msg{};
    msg.hwnd = c().content;
    msg.message = WM_KEYDOWN;
    msg.wParam = 'N';
    msg.lParam = 1;
    EXPECT_TRUE(window().translate_accelerator(msg)) << "Ctrl+Shift+N adds a chapter";
  }
  pump();
  EXPECT_EQ(window().book().chapter_count, 4);
  TreeView_EndEditLabelNow(c().tree, TRUE);
  pump();

  // Shift+F10 and the menu key open the context menu at the selected item.
  static bool menu_seen;
  menu_seen = false;
  SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    menu_seen = FindWindowW(L"#32768", nullptr) != nullptr;
    EndMenu();
  });
  select(1);
  SendMessageW(c().tree, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(c().tree), -1);
  EXPECT_TRUE(menu_seen);
}

TEST_F(DailyUse, ClosingABookAsksAndLeavesAnEmptyWindow) {
  window().show_book(sample_book(2));
  SetFocus(c().author);
  type(c().author, L"x");
  prompts_.answers = {Answer::cancel};
  command(kCmdCloseBook);
  EXPECT_EQ(window().book().chapter_count, 2) << "cancelled: the book stays";
  prompts_.answers = {Answer::no};
  command(kCmdCloseBook);
  EXPECT_EQ(window().book().chapter_count, 0);
  EXPECT_EQ(TreeView_GetCount(c().tree), 0u);
  EXPECT_EQ(caption(), L"Folivra");
  EXPECT_FALSE(window().is_modified());
  EXPECT_FALSE(enabled(kCmdSaveAs));
  EXPECT_FALSE(enabled(kCmdCloseBook));
}

TEST_F(DailyUse, TheFirstSaveProposesTheTitle) {
  Book book = sample_book(1);
  book.title = gbk_of("新书");
  window().show_book(book);
  window().set_modified(true);
  command(kCmdSave);
  ASSERT_EQ(prompts_.saves.size(), 1u);
  EXPECT_EQ(prompts_.saves[0].default_name, gbk_of("新书"));
}

// The version the About box shows is the one the executable carries.
TEST_F(DailyUse, AboutShowsTheVersionTheProgramCarries) {
  command(kCmdAbout);
  ASSERT_EQ(prompts_.messages.size(), 1u);
  EXPECT_EQ(prompts_.messages[0].caption, L"关于 Folivra");
  const std::wstring text = prompts_.messages[0].text;
  EXPECT_EQ(text.substr(0, 8 + std::string(FOLIVRA_VERSION).size()),
            L"Folivra " + gbk_to_wide(FOLIVRA_VERSION));
  EXPECT_NE(text.find(L"构建日期："), std::wstring::npos);

  wchar_t module[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, module, MAX_PATH);
  std::string info(GetFileVersionInfoSizeW(module, nullptr), '\0');
  ASSERT_FALSE(info.empty()) << "the executable has a version resource";
  ASSERT_TRUE(GetFileVersionInfoW(module, 0, static_cast<DWORD>(info.size()), info.data()));
  wchar_t* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\StringFileInfo\\080404b0\\ProductVersion",
                             reinterpret_cast<void**>(&value), &length));
  EXPECT_EQ(std::wstring(value), gbk_to_wide(FOLIVRA_VERSION));
  VS_FIXEDFILEINFO* fixed = nullptr;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
}

TEST_F(DailyUse, ExportingPlainTextWritesTheReadableBook) {
  Book book = sample_book(1);
  book.title = gbk_of("山海");
  book.author.clear();
  book.intro.clear();
  book.chapters[0].name = gbk_of("第一章");
  book.chapters[0].content = "{\\rtf1\\ansi\\ansicpg936 \\b \\'cc\\'ec\\b0\\par}";
  window().show_book(book);
  const std::filesystem::path file = dir_.path("plain.txt");
  prompts_.paths = {wide_to_gbk_lossy(file.wstring())};
  command(kCmdExportPlain);
  ASSERT_EQ(prompts_.saves.size(), 1u);
  EXPECT_EQ(prompts_.saves[0].default_name, gbk_of("山海"));
  EXPECT_EQ(read_bytes(file), "\xEF\xBB\xBF山海\r\n\r\n第一章\r\n\r\n天\r\n");
  ASSERT_EQ(prompts_.messages.size(), 1u);
  EXPECT_EQ(prompts_.messages[0].caption, L"导出成功");
}

}  // namespace
}  // namespace folivra::test
