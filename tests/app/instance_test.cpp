// A book beyond the first on the command line opens in a new instance of the
// program. This test program is that program: started with one ".probe"
// argument it records the command line it was given and stops.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>

#include "app/main_window.h"
#include "app/scripted_prompts.h"
#include "app/settings.h"
#include "book/book_file.h"
#include "book/gbk_wide.h"
#include "book/test_books.h"

namespace folivra::test {
namespace {

TEST(FurtherInstances, EachFurtherBookStartsTheProgramAgain) {
  TempDir dir;
  Book book = sample_book(1);
  ASSERT_EQ(write_book(dir.path("first.zqb"), book), 0);
  const std::wstring probe = (dir.dir() / L"second book.probe").wstring();

  ScriptedPrompts prompts;
  MainWindow window(&prompts, (dir.dir() / L"config.ini").wstring());
  ASSERT_NE(window.create(GetModuleHandleW(nullptr)), nullptr);
  window.open_command_line(
      {wide_to_gbk_lossy(dir.path("first.zqb").wstring()), wide_to_gbk_lossy(probe)});
  EXPECT_EQ(window.book().title, book.title) << "the first book opens here";

  const std::wstring seen_file = probe + L".seen";
  for (int i = 0; i < 200 && GetFileAttributesW(seen_file.c_str()) == INVALID_FILE_ATTRIBUTES;
       ++i) {
    Sleep(50);
  }
  std::ifstream in(std::filesystem::path(seen_file), std::ios::binary);
  ASSERT_TRUE(in) << "the second instance did not start";
  const std::string seen((std::istreambuf_iterator<char>(in)), {});

  wchar_t module[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, module, MAX_PATH);
  const std::wstring expected = L"\"" + std::wstring(module) + L"\" \"" + probe + L"\"";
  EXPECT_EQ(gbk_to_wide(seen), expected);
}

// The settings file is GBK even when the program runs under another code
// page: the test command runs this once more with a Western locale.
TEST(SettingsElsewhere, AWesternCodePageStillWritesGbk) {
  if (GetACP() == 936) GTEST_SKIP() << "needs a code page other than 936";
  TempDir dir;
  const std::wstring path = (dir.dir() / L"config.ini").wstring();
  Settings settings(path);
  settings.write_text("Font", "name", "\xBA\xDA\xCC\xE5");  // 黑体
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), {});
  EXPECT_NE(bytes.find("name=\xBA\xDA\xCC\xE5"), std::string::npos)
      << "written under code page " << GetACP();
  EXPECT_EQ(settings.read_text("Font", "name", ""), "\xBA\xDA\xCC\xE5");
}

}  // namespace
}  // namespace folivra::test

int wmain(int argc, wchar_t** argv) {
  const std::wstring last = argc > 1 ? argv[argc - 1] : L"";
  if (argc == 2 && last.size() > 6 && last.substr(last.size() - 6) == L".probe") {
    std::ofstream out(std::filesystem::path(last + L".seen"), std::ios::binary);
    out << folivra::wide_to_gbk_lossy(GetCommandLineW());
    return 0;
  }
  if (argc == 4 && std::wstring(argv[1]) == L"--editor") {
    // The real editor on settings of a test's own, for tests that kill it.
    folivra::MainWindow window(nullptr, argv[2]);
    if (!window.create(GetModuleHandleW(nullptr))) return 1;
    return folivra::run_editor(window, SW_SHOWNORMAL, {folivra::wide_to_gbk_lossy(argv[3])});
  }
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
