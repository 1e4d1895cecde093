// An editor killed with unsaved changes leaves a recovery copy that the next
// start offers back. The editor here is this test program, started again
// with "--editor SETTINGS BOOK" (see wmain), then killed.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include "app/main_window.h"
#include "app/scripted_prompts.h"
#include "book/book_file.h"
#include "book/gbk_wide.h"
#include "book/test_books.h"
#include "text/plain_text.h"

namespace folivra::test {
namespace {

HWND window_of(DWORD process, const wchar_t* cls, HWND parent = nullptr) {
  struct Search {
    DWORD process;
    const wchar_t* cls;
    HWND found = nullptr;
  } search{process, cls};
  auto visit = [](HWND hwnd, LPARAM arg) -> BOOL {
    auto* s = reinterpret_cast<Search*>(arg);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    if (owner != s->process || lstrcmpiW(name, s->cls) != 0) return TRUE;
    s->found = hwnd;
    return FALSE;
  };
  if (parent) {
    EnumChildWindows(parent, visit, reinterpret_cast<LPARAM>(&search));
  } else {
    EnumWindows(visit, reinterpret_cast<LPARAM>(&search));
  }
  return search.found;
}

template <typename Condition>
bool wait_for(Condition condition, int seconds) {
  for (int i = 0; i < seconds * 20; ++i) {
    if (condition()) return true;
    Sleep(50);
  }
  return condition();
}

bool has_copy(const std::filesystem::path& folder) {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (entry.path().extension() == L".zqb") return true;
  }
  return false;
}

// This test program started again as an editor of `book` (see wmain).
bool start_editor(const std::filesystem::path& settings, const std::filesystem::path& book,
                  PROCESS_INFORMATION& child) {
  wchar_t module[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, module, MAX_PATH);
  std::wstring line = L"\"" + std::wstring(module) + L"\" --editor \"" + settings.wstring() +
                      L"\" \"" + book.wstring() + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  return CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &child) != 0;
}

TEST(RecoveryCopy, AKilledEditorsTextComesBackAtTheNextStart) {
  TempDir dir;
  const std::filesystem::path settings = dir.path("config.ini");
  const std::filesystem::path recovery = dir.path("recovery");
  // The minute's copy is not what brings the words back: the one a few
  // seconds after typing pauses is.
  WritePrivateProfileStringW(L"Editor", L"autosave_seconds", L"60", settings.c_str());
  WritePrivateProfileStringW(L"Editor", L"recovery_folder", recovery.c_str(), settings.c_str());
  Book book = sample_book(2);
  ASSERT_EQ(write_book(dir.path("tale.zqb"), book), 0);

  PROCESS_INFORMATION child{};
  ASSERT_TRUE(start_editor(settings, dir.path("tale.zqb"), child));
  HWND main = nullptr, tree = nullptr, content = nullptr;
  ASSERT_TRUE(wait_for(
      [&] {
        main = window_of(child.dwProcessId, MainWindow::kClassName);
        tree = main ? window_of(child.dwProcessId, WC_TREEVIEWW, main) : nullptr;
        return tree && TreeView_GetCount(tree) == 3;
      },
      20))
      << "the editor did not show the book";
  content = window_of(child.dwProcessId, L"RICHEDIT50W", main);
  ASSERT_NE(content, nullptr);

  // Type into the first chapter, then wait past the autosave interval.
  TreeView_SelectItem(tree, TreeView_GetChild(tree, TreeView_GetRoot(tree)));
  for (wchar_t ch : std::wstring(L"RECOVERED ")) PostMessageW(content, WM_CHAR, ch, 1);
  EXPECT_TRUE(wait_for([&] { return has_copy(recovery); }, 10))
      << "no recovery copy within ten seconds of the last key";
  TerminateProcess(child.hProcess, 9);
  WaitForSingleObject(child.hProcess, 10000);
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);

  ScriptedPrompts prompts;
  prompts.answers = {Answer::yes};
  MainWindow window(&prompts, settings.wstring());
  ASSERT_NE(window.create(GetModuleHandleW(nullptr)), nullptr);
  window.open_command_line({});
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_NE(prompts.messages[0].text.find(L"tale.zqb"), std::wstring::npos);
  EXPECT_EQ(window.book().file_path, wide_to_gbk_lossy(dir.path("tale.zqb").wstring()))
      << "Save writes it where it belongs";
  EXPECT_TRUE(window.is_modified());
  EXPECT_NE(window.book().chapters[0].content.find("RECOVERED"), std::string::npos);
  EXPECT_EQ(window.book().chapters[1].content, book.chapters[1].content);

  // The copy now belongs to this editor; saving takes it away.
  window.commands().save_book();
  EXPECT_FALSE(has_copy(recovery));
  Book saved;
  ASSERT_EQ(read_book(dir.path("tale.zqb"), "", saved), ReadStatus::ok);
  EXPECT_NE(saved.chapters[0].content.find("RECOVERED"), std::string::npos);
}

// Killed while a book's contents and a large chapter are still going in
// behind what is shown: the file is untouched, and the recovery copy holds
// the whole chapter with what was typed where it was typed.
TEST(RecoveryCopy, AnEditorKilledWhileALargeChapterLoadsLeavesNothingPartial) {
  TempDir dir;
  const std::filesystem::path settings = dir.path("config.ini");
  const std::filesystem::path recovery = dir.path("recovery");
  WritePrivateProfileStringW(L"Editor", L"autosave_seconds", L"60", settings.c_str());
  WritePrivateProfileStringW(L"Editor", L"recovery_folder", recovery.c_str(), settings.c_str());
  WritePrivateProfileStringW(L"Editor", L"recovery_pause_ms", L"300", settings.c_str());
  Book book = sample_book(3);
  std::string big = "{\\rtf1\\ansi\\ansicpg936 ";
  for (int i = 0; i < 150000; ++i) big += i % 50 == 49 ? "\\'b0\\'a1\\par " : "\\'b0\\'a1";
  book.chapters[0].content = big + "}";
  for (int i = 4; i <= 300; ++i) {
    Chapter chapter = book.chapters[2];
    chapter.content = "{\\rtf1\\ansi chapter " + std::to_string(i) + std::string(6000, 'x') + "}";
    book.chapters.push_back(chapter);
  }
  ASSERT_EQ(write_book(dir.path("long.zqb"), book), 0);
  const std::string before = read_bytes(dir.path("long.zqb"));

  PROCESS_INFORMATION child{};
  ASSERT_TRUE(start_editor(settings, dir.path("long.zqb"), child));
  HWND main = nullptr, tree = nullptr;
  ASSERT_TRUE(wait_for(
      [&] {
        main = window_of(child.dwProcessId, MainWindow::kClassName);
        tree = main ? window_of(child.dwProcessId, WC_TREEVIEWW, main) : nullptr;
        return tree && TreeView_GetCount(tree) == 301;
      },
      20))
      << "the editor did not show the book";
  // Into the large chapter, and keys at once, while it goes in.
  TreeView_SelectItem(tree, TreeView_GetChild(tree, TreeView_GetRoot(tree)));
  const HWND content = window_of(child.dwProcessId, L"RICHEDIT50W", main);
  ASSERT_NE(content, nullptr);
  for (wchar_t ch : std::wstring(L"KEPT")) PostMessageW(content, WM_CHAR, ch, 1);
  EXPECT_TRUE(wait_for([&] { return has_copy(recovery); }, 10)) << "no recovery copy";
  TerminateProcess(child.hProcess, 9);
  WaitForSingleObject(child.hProcess, 10000);
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);

  EXPECT_EQ(read_bytes(dir.path("long.zqb")), before) << "the book's file is never written";
  std::filesystem::path copy;
  for (const auto& entry : std::filesystem::directory_iterator(recovery)) {
    if (entry.path().extension() == L".zqb") copy = entry.path();
  }
  Book kept;
  ASSERT_EQ(read_book(copy, "", kept), ReadStatus::ok);
  ASSERT_EQ(kept.chapters.size(), 300u);
  EXPECT_EQ(chapter_text16(kept.chapters[0].content),
            std::u16string(u"KEPT").append(chapter_text16(big + "}")));
  for (size_t i = 1; i < 300; ++i) {
    ASSERT_EQ(kept.chapters[i].content, book.chapters[i].content) << i;
  }
}

TEST(RecoveryCopy, AFolderThatCannotBeWrittenIsSaidOnce) {
  TempDir dir;
  const std::filesystem::path settings = dir.path("config.ini");
  write_bytes(dir.path("not a folder"), "x");  // a file where the folder should be
  const std::wstring folder = (dir.path("not a folder") / L"recovery").wstring();
  WritePrivateProfileStringW(L"Editor", L"recovery_folder", folder.c_str(), settings.c_str());
  WritePrivateProfileStringW(L"Editor", L"recovery_pause_ms", L"100", settings.c_str());
  ScriptedPrompts prompts;
  MainWindow window(&prompts, settings.wstring());
  ASSERT_NE(window.create(GetModuleHandleW(nullptr)), nullptr);
  window.show_book(sample_book(2));
  for (int edit = 0; edit < 3; ++edit) {
    window.set_modified(true);
    const ULONGLONG until = GetTickCount64() + 1500;
    while (GetTickCount64() < until) {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
      Sleep(20);
    }
  }
  ASSERT_EQ(prompts.messages.size(), 1u) << "said once, not at every try";
  EXPECT_NE(prompts.messages[0].text.find(L"无法写入恢复副本："), std::wstring::npos);
  window.set_modified(false);
}

}  // namespace
}  // namespace folivra::test
