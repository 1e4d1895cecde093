// A compiled reader started for real, as the person it was given to would.
#include <windows.h>
#include <richedit.h>
#include <commctrl.h>

#include "ui/menu_ids.h"
#include "app/window_driver.h"
#include "book/book_file.h"
#include "book/gbk.h"
#include "book/gbk_wide.h"
#include "book/reader_image.h"
#include "reader/reader_window.h"

namespace folivra::test {
namespace {

// A top-level window of another process, found by title (and class), waited for.
HWND wait_for_window(const wchar_t* cls, const std::wstring& title, DWORD pid, int ms = 8000) {
  struct Search {
    const wchar_t* cls;
    const std::wstring* title;
    DWORD pid;
    HWND found;
  } search{cls, &title, pid, nullptr};
  for (int waited = 0; waited < ms && !search.found; waited += 50) {
    EnumWindows(
        [](HWND hwnd, LPARAM param) {
          auto* s = reinterpret_cast<Search*>(param);
          DWORD owner = 0;
          GetWindowThreadProcessId(hwnd, &owner);
          wchar_t text[256] = {}, cls_name[64] = {};
          GetWindowTextW(hwnd, text, 256);
          GetClassNameW(hwnd, cls_name, 64);
          if (owner == s->pid && IsWindowVisible(hwnd) && *s->title == text &&
              (!s->cls || lstrcmpW(s->cls, cls_name) == 0)) {
            s->found = hwnd;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (!search.found) Sleep(50);
  }
  return search.found;
}

// The text of a control in another process: asked for with WM_GETTEXT, which
// crosses processes (GetWindowText of a foreign window only reads its caption).
std::wstring remote_text(HWND hwnd) {
  std::wstring text(static_cast<size_t>(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
  text.resize(static_cast<size_t>(
      SendMessageW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
  return text;
}

HWND find_child(HWND parent, const wchar_t* cls) {
  return FindWindowExW(parent, nullptr, cls, nullptr);
}

// The character format at `at` of a rich-edit control in another process,
// asked for through memory of that process.
CHARFORMAT2W remote_format(HANDLE process, HWND edit, LONG at) {
  SendMessageW(edit, EM_SETSEL, at, at + 1);
  CHARFORMAT2W format{};
  format.cbSize = sizeof format;
  void* remote = VirtualAllocEx(process, nullptr, sizeof format, MEM_COMMIT, PAGE_READWRITE);
  WriteProcessMemory(process, remote, &format, sizeof format, nullptr);
  SendMessageW(edit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(remote));
  ReadProcessMemory(process, remote, &format, sizeof format, nullptr);
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  return format;
}

class ReaderProgram : public WindowTest {
 protected:
  // The reader keeps where it stopped under %APPDATA%: here, the test's own.
  void SetUp() override {
    WindowTest::SetUp();
    wchar_t saved[MAX_PATH] = {};
    GetEnvironmentVariableW(L"APPDATA", saved, MAX_PATH);
    saved_appdata_ = saved;
    appdata_ = dir_.dir() / L"appdata";
    std::filesystem::create_directories(appdata_);
    SetEnvironmentVariableW(L"APPDATA", appdata_.wstring().c_str());
  }
  // Compiles `book` through the editor's command into a path with a space.
  std::wstring compile(const Book& book) {
    window().show_book(book);
    const std::wstring exe = (dir_.dir() / L"my reader.exe").wstring();
    prompts_.paths = {wide_to_gbk_lossy(exe)};
    command(kCmdCompile);
    return exe;
  }
  DWORD start(const std::wstring& exe) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    std::wstring line = L"\"" + exe + L"\"";
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &process_)) {
      return 0;
    }
    return process_.dwProcessId;
  }
  DWORD wait_exit() {
    WaitForSingleObject(process_.hProcess, 10000);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
  }
  void TearDown() override {
    if (process_.hProcess) {
      TerminateProcess(process_.hProcess, 0);
      CloseHandle(process_.hProcess);
      CloseHandle(process_.hThread);
    }
    SetEnvironmentVariableW(L"APPDATA", saved_appdata_.c_str());
    WindowTest::TearDown();
  }
  void let_go() {
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
    process_ = {};
  }
  HWND content_of(HWND reader) {
    return FindWindowExW(find_child(reader, WC_TABCONTROLW), nullptr, L"RICHEDIT50W", nullptr);
  }
  PROCESS_INFORMATION process_{};
  std::filesystem::path appdata_;
  std::wstring saved_appdata_;
};

TEST_F(ReaderProgram, CompiledBookIsTheReaderThenTheImageThenEnd) {
  Book book = sample_book(3);
  const std::wstring exe = compile(book);
  const std::string bytes = read_bytes(exe);
  const std::string_view reader = carried_reader();
  ASSERT_FALSE(reader.empty());
  // No larger than the reader it replaced (227,840 bytes); about 216 KB:
  // no threads, no book writer, no deflate, no exception classes, the larger
  // icons as PNG, code pages from Windows rather than tables.
  EXPECT_LE(reader.size(), 227840u) << "the reader stays small";
  EXPECT_EQ(pe_image_end(reader), reader.size()) << "it finds its book at its own length";
  EXPECT_EQ(bytes.substr(0, reader.size()), reader);
  EXPECT_EQ(bytes.substr(bytes.size() - 3), "END");
  EXPECT_EQ(bytes.compare(reader.size(), 3, "ZQB"), 0);
  EXPECT_FALSE(window().is_modified());
  ASSERT_EQ(prompts_.messages.size(), 1u) << "the compiled program is confirmed";
  EXPECT_EQ(prompts_.messages[0].text, L"编译成功 文件：" + exe);
  ASSERT_EQ(prompts_.saves.size(), 1u);
  EXPECT_EQ(prompts_.saves[0].filter, L"应用程序(*.exe)|*.exe");
  EXPECT_EQ(prompts_.saves[0].title.value_or(L""), L"编译为阅读器");
}

TEST_F(ReaderProgram, ShowsTheBook) {
  Book book = sample_book(3);
  book.chapters[1].content = "{\\rtf1\\ansi second chapter text}";
  const DWORD pid = start(compile(book));
  ASSERT_NE(pid, 0u);
  HWND reader = wait_for_window(nullptr, L"新的书籍 - Folivra", pid);
  ASSERT_NE(reader, nullptr) << "the window is titled with the book's title";
  HWND tree = find_child(reader, WC_TREEVIEWW);
  ASSERT_NE(tree, nullptr);
  EXPECT_EQ(SendMessageW(tree, TVM_GETCOUNT, 0, 0), 4) << "the book item and three chapters";
  const HTREEITEM root = TreeView_GetRoot(tree);
  const HTREEITEM first = TreeView_GetChild(tree, root);
  const HTREEITEM second = TreeView_GetNextSibling(tree, first);
  TreeView_SelectItem(tree, second);
  HWND tabs = find_child(reader, WC_TABCONTROLW);
  HWND content = FindWindowExW(tabs, nullptr, L"RICHEDIT50W", nullptr);
  ASSERT_NE(content, nullptr);
  EXPECT_EQ(remote_text(content).find(L"second chapter text"), 0u);
  for (LONG at : {0, 7}) {
    const CHARFORMAT2W shown = remote_format(process_.hProcess, content, at);
    EXPECT_TRUE(shown.dwMask & CFM_BOLD);
    EXPECT_FALSE(shown.dwEffects & CFE_BOLD) << "text stored without bold is not shown bold";
  }

  EXPECT_EQ(text_of(reader), L"新的书籍 - 章节 2") << "the caption names the chapter";

  // A chapter that fits its box is at its end: PageDown goes on to the next
  // chapter, PageUp at its top comes back. Posted to the text, as typed.
  SetForegroundWindow(reader);
  PostMessageW(content, WM_KEYDOWN, VK_NEXT, 0);
  ASSERT_TRUE(wait_until([&] { return text_of(reader) == L"新的书籍 - 章节 3"; }));
  EXPECT_EQ(TreeView_GetSelection(tree), TreeView_GetNextSibling(tree, second));
  PostMessageW(content, WM_KEYDOWN, VK_PRIOR, 0);
  ASSERT_TRUE(wait_until([&] { return text_of(reader) == L"新的书籍 - 章节 2"; }));
  EXPECT_EQ(remote_text(content).find(L"second chapter text"), 0u);
  PostMessageW(content, WM_KEYDOWN, VK_NEXT, 0);
  PostMessageW(content, WM_KEYDOWN, VK_NEXT, 0);
  ASSERT_TRUE(wait_until([&] { return text_of(reader) == L"新的书籍 - 章节 3"; }));
  DWORD_PTR answer = 0;
  EXPECT_TRUE(SendMessageTimeoutW(reader, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 3000, &answer));
  EXPECT_EQ(text_of(reader), L"新的书籍 - 章节 3") << "the last chapter stays";

  // Closing closes: the reader changes nothing, so there is nothing to ask.
  PostMessageW(reader, WM_CLOSE, 0, 0);
  EXPECT_EQ(wait_exit(), 0u);
}

// A large chapter shows its start at once and the rest goes in behind it,
// ending as the whole text; a key pressed meanwhile waits for all of it.
TEST_F(ReaderProgram, ALargeChapterGoesInBehindItsFirstScreenWhole) {
  Book book = sample_book(2);
  std::string big = "{\\rtf1\\ansi\\ansicpg936 ";
  std::wstring whole;
  for (int p = 0; p < 3000; ++p) {
    const std::string line = "line " + std::to_string(p) + " of the long chapter, read on";
    big += line + "\\par ";
    whole += std::wstring(line.begin(), line.end()) + L"\r\n";
  }
  book.chapters[0].content = big + "}";
  const DWORD pid = start(compile(book));
  ASSERT_NE(pid, 0u);
  HWND reader = wait_for_window(nullptr, L"新的书籍 - Folivra", pid);
  ASSERT_NE(reader, nullptr);
  HWND tree = find_child(reader, WC_TREEVIEWW);
  TreeView_SelectItem(tree, TreeView_GetChild(tree, TreeView_GetRoot(tree)));
  HWND content = content_of(reader);
  SetForegroundWindow(reader);
  PostMessageW(content, WM_KEYDOWN, VK_NEXT, 0);
  ASSERT_TRUE(wait_until([&] { return remote_text(content).size() + 2 >= whole.size(); }, 10000))
      << remote_text(content).size() << " of " << whole.size();
  const std::wstring shown = remote_text(content);
  EXPECT_EQ(shown.substr(0, whole.size() - 2), whole.substr(0, whole.size() - 2));
  EXPECT_EQ(text_of(reader), L"新的书籍 - 章节 1") << "PageDown turned a page, not the chapter";
}

// A volume's chapters hang under it in the reader's tree, as in the editor's.
TEST_F(ReaderProgram, NestsChaptersUnderTheirVolumes) {
  Book book = sample_book(5);
  book.chapters[0].name = gbk_of("第一卷 风起");
  book.chapters[0].content.clear();
  book.chapters[3].name = gbk_of("第二卷");
  book.chapters[3].content = "{\\rtf1\\ansi \\par }";
  const DWORD pid = start(compile(book));
  ASSERT_NE(pid, 0u);
  HWND reader = wait_for_window(nullptr, L"新的书籍 - Folivra", pid);
  ASSERT_NE(reader, nullptr);
  HWND tree = find_child(reader, WC_TREEVIEWW);
  const HTREEITEM first = TreeView_GetChild(tree, TreeView_GetRoot(tree));
  const HTREEITEM second = TreeView_GetNextSibling(tree, first);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(TreeView_GetNextSibling(tree, second), nullptr) << "two volumes at the top";
  int under_first = 0;
  for (HTREEITEM i = TreeView_GetChild(tree, first); i; i = TreeView_GetNextSibling(tree, i)) {
    ++under_first;
  }
  EXPECT_EQ(under_first, 2);
  const HTREEITEM last = TreeView_GetChild(tree, second);
  ASSERT_NE(last, nullptr);
  TreeView_SelectItem(tree, last);
  EXPECT_EQ(text_of(reader), L"新的书籍 - 章节 5");
}

// Each book opens where its reader stopped (a file of the reader's own);
// another book, and a broken file, open at the beginning.
TEST_F(ReaderProgram, OpensWhereTheReaderStopped) {
  Book book = sample_book(3);
  std::string lines = "{\\rtf1\\ansi ";
  for (int i = 0; i < 400; ++i) lines += "line " + std::to_string(i) + "\\par ";
  book.chapters[1].content = lines + "}";
  const std::wstring exe = compile(book);
  ASSERT_NE(start(exe), 0u);
  HWND reader = wait_for_window(nullptr, L"新的书籍 - Folivra", process_.dwProcessId);
  ASSERT_NE(reader, nullptr) << "a first reading opens on the information page";
  HWND tree = find_child(reader, WC_TREEVIEWW);
  TreeView_SelectItem(
      tree, TreeView_GetNextSibling(tree, TreeView_GetChild(tree, TreeView_GetRoot(tree))));
  HWND content = content_of(reader);
  SendMessageW(content, EM_LINESCROLL, 0, 100);
  const LRESULT top = SendMessageW(content, EM_GETFIRSTVISIBLELINE, 0, 0);
  ASSERT_GT(top, 50);
  PostMessageW(reader, WM_CLOSE, 0, 0);
  ASSERT_EQ(wait_exit(), 0u);
  let_go();
  const std::filesystem::path places = appdata_ / L"Folivra" / L"Reader" / L"places.txt";
  EXPECT_TRUE(std::filesystem::exists(places));

  ASSERT_NE(start(exe), 0u);
  reader = wait_for_window(nullptr, L"新的书籍 - 章节 2", process_.dwProcessId);
  ASSERT_NE(reader, nullptr) << "it opens at the chapter it was left at";
  EXPECT_EQ(SendMessageW(content_of(reader), EM_GETFIRSTVISIBLELINE, 0, 0), top)
      << "and where in it";
  PostMessageW(reader, WM_CLOSE, 0, 0);
  ASSERT_EQ(wait_exit(), 0u);
  let_go();

  Book other = sample_book(2);
  other.title = gbk_of("另一本");
  ASSERT_NE(start(compile(other)), 0u);
  reader = wait_for_window(nullptr, L"另一本 - Folivra", process_.dwProcessId);
  ASSERT_NE(reader, nullptr) << "another book has no place yet";
  tree = find_child(reader, WC_TREEVIEWW);
  TreeView_SelectItem(tree, TreeView_GetChild(tree, TreeView_GetRoot(tree)));
  PostMessageW(reader, WM_CLOSE, 0, 0);
  ASSERT_EQ(wait_exit(), 0u);
  let_go();

  test::write_bytes(places, std::string("\xFF\x00 zz 1 2\r\n", 11) + std::string(3000, 'x'));
  ASSERT_NE(start(exe), 0u);
  reader = wait_for_window(nullptr, L"另一本 - Folivra", process_.dwProcessId);
  EXPECT_NE(reader, nullptr) << "a broken file is no place: the book opens at its beginning";
  PostMessageW(reader, WM_CLOSE, 0, 0);
  EXPECT_EQ(wait_exit(), 0u);
}

TEST_F(ReaderProgram, AsksForThePasswordUntilItMatches) {
  Book book = sample_book(1);
  book.password = "pw";
  book.password_hint = "\xCC\xE1\xCA\xBE";  // 提示
  const DWORD pid = start(compile(book));
  HWND box = wait_for_window(nullptr, L"输入密码", pid);
  ASSERT_NE(box, nullptr);
  HWND prompt = FindWindowExW(box, nullptr, L"Static", nullptr);
  EXPECT_EQ(text_of(prompt), L"提示") << "the hint is the prompt";
  HWND edit = FindWindowExW(box, nullptr, L"Edit", nullptr);
  EXPECT_TRUE(GetWindowLongPtrW(edit, GWL_STYLE) & ES_PASSWORD);

  SendMessageW(box, WM_COMMAND, IDOK, 0);
  box = wait_for_window(nullptr, L"输入密码 - 密码不能为空", pid);
  ASSERT_NE(box, nullptr);
  SendMessageW(FindWindowExW(box, nullptr, L"Edit", nullptr), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(L"wrong"));
  SendMessageW(box, WM_COMMAND, IDOK, 0);
  box = wait_for_window(nullptr, L"输入密码 - 密码错误 1 次", pid);
  ASSERT_NE(box, nullptr) << "a wrong password is refused and counted";
  SendMessageW(FindWindowExW(box, nullptr, L"Edit", nullptr), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(L"pw"));
  SendMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_NE(wait_for_window(nullptr, L"新的书籍 - Folivra", pid), nullptr);
}

TEST_F(ReaderProgram, DamagedImageSaysSoAndExits) {
  const std::wstring exe = compile(sample_book(2));
  std::string bytes = read_bytes(exe);
  bytes.resize(bytes.size() - 2);  // "END" is gone
  write_bytes(exe, bytes);
  const DWORD pid = start(exe);
  HWND box = wait_for_window(L"#32770", L"信息：", pid);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(text_of(GetDlgItem(box, 0xFFFF)), L"数据错误，文件疑似被损坏！");
  SendMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(wait_exit(), 1u);
}

TEST_F(ReaderProgram, UnwritableTargetIsReported) {
  window().show_book(sample_book(1));
  prompts_.paths = {wide_to_gbk_lossy((dir_.dir() / L"missing" / L"r.exe").wstring())};
  command(kCmdCompile);
  ASSERT_EQ(prompts_.messages.size(), 1u);
  EXPECT_EQ(prompts_.messages[0].icon, Icon::error);
}

// Keys as a person types them, modifiers and all: injected into the input
// queue of the reader, which must be in front.
void inject_keys(HWND window, std::initializer_list<WORD> keys) {
  SetForegroundWindow(window);
  Sleep(100);
  std::vector<INPUT> inputs;
  for (WORD key : keys) {
    INPUT down{};
    down.type = INPUT_KEYBOARD;
    down.ki.wVk = key;
    inputs.push_back(down);
  }
  for (auto key = keys.end(); key != keys.begin();) {
    INPUT up{};
    up.type = INPUT_KEYBOARD;
    up.ki.wVk = *--key;
    up.ki.dwFlags = KEYEVENTF_KEYUP;
    inputs.push_back(up);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  Sleep(300);
}

TEST_F(ReaderProgram, ReadsInItsOwnLookFindsAndKeepsBookmarks) {
  Book book = sample_book(3);
  for (int i = 0; i < 3; ++i) {
    std::string text = "{\\rtf1\\ansi\\ansicpg936\\fs24 ";
    for (int line = 0; line < 60; ++line) text += "line " + std::to_string(line) + "\\par ";
    if (i == 2) text += gbk_of("在渡口等船。");
    book.chapters[static_cast<size_t>(i)].content = text + "}";
  }
  const std::wstring exe = compile(book);
  ASSERT_NE(start(exe), 0u);
  HWND reader = wait_for_window(nullptr, L"新的书籍 - Folivra", process_.dwProcessId);
  ASSERT_NE(reader, nullptr);
  HWND tree = find_child(reader, WC_TREEVIEWW);
  TreeView_SelectItem(tree, TreeView_GetChild(tree, TreeView_GetRoot(tree)));
  HWND content = content_of(reader);
  EXPECT_EQ(remote_format(process_.hProcess, content, 0).yHeight, 240) << "the book's 12 points";

  // Ctrl+= makes the text larger, for every chapter and the next start.
  inject_keys(reader, {VK_CONTROL, VK_OEM_PLUS});
  EXPECT_EQ(remote_format(process_.hProcess, content, 0).yHeight, 280) << "14 points";
  // Night: light text on a dark page.
  PostMessageW(reader, WM_COMMAND, kColours0 + 3, 0);
  Sleep(300);
  content = content_of(reader);
  const CHARFORMAT2W night = remote_format(process_.hProcess, content, 0);
  EXPECT_EQ(night.crTextColor, RGB(200, 200, 190));
  EXPECT_FALSE(night.dwEffects & (CFE_AUTOCOLOR | CFE_BOLD)) << "and never bold";

  // Find in the book: the hit in chapter 3, selected.
  PostMessageW(reader, WM_COMMAND, kFind, 0);
  HWND box = wait_for_window(nullptr, L"查找", process_.dwProcessId);
  ASSERT_NE(box, nullptr);
  SendMessageW(FindWindowExW(box, nullptr, L"EDIT", nullptr), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(L"渡口"));
  PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
  ASSERT_NE(wait_for_window(nullptr, L"新的书籍 - 章节 3", process_.dwProcessId), nullptr);
  content = content_of(reader);
  std::wstring text = remote_text(content);
  std::erase(text, L'\n');  // WM_GETTEXT ends paragraphs "\r\n"; positions count one
  DWORD from = 0, to = 0;
  SendMessageW(content, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  EXPECT_EQ(text.substr(from, to - from), L"渡口");

  // A bookmark at chapter 3; the full-screen view and back.
  inject_keys(reader, {VK_CONTROL, 'D'});
  PostMessageW(content, WM_KEYDOWN, VK_F11, 0);
  Sleep(300);
  EXPECT_FALSE(GetWindowLongW(reader, GWL_STYLE) & WS_CAPTION) << "full screen";
  EXPECT_FALSE(IsWindowVisible(tree));
  PostMessageW(content, WM_KEYDOWN, VK_ESCAPE, 0);
  Sleep(300);
  EXPECT_TRUE(GetWindowLongW(reader, GWL_STYLE) & WS_CAPTION) << "Esc leaves it";
  EXPECT_TRUE(IsWindowVisible(tree));
  TreeView_SelectItem(tree, TreeView_GetChild(tree, TreeView_GetRoot(tree)));
  PostMessageW(reader, WM_CLOSE, 0, 0);
  ASSERT_EQ(wait_exit(), 0u);
  let_go();

  // Started again: the look and the bookmark are kept; the bookmark leads back.
  ASSERT_NE(start(exe), 0u);
  reader = wait_for_window(nullptr, L"新的书籍 - 章节 1", process_.dwProcessId);
  ASSERT_NE(reader, nullptr);
  content = content_of(reader);
  EXPECT_EQ(remote_format(process_.hProcess, content, 0).yHeight, 280);
  EXPECT_EQ(remote_format(process_.hProcess, content, 0).crTextColor, RGB(200, 200, 190));
  PostMessageW(reader, WM_COMMAND, kMark0, 0);
  EXPECT_NE(wait_for_window(nullptr, L"新的书籍 - 章节 3", process_.dwProcessId), nullptr);
  PostMessageW(content_of(reader), WM_KEYDOWN, VK_F11, 0);
  Sleep(300);
  PostMessageW(reader, WM_CLOSE, 0, 0);
  ASSERT_EQ(wait_exit(), 0u);
  let_go();

  // Left in the full-screen view, it opens in it, at the text.
  ASSERT_NE(start(exe), 0u);
  reader = wait_for_window(nullptr, L"新的书籍 - 章节 3", process_.dwProcessId);
  ASSERT_NE(reader, nullptr);
  Sleep(500);  // the view comes once the place is shown
  EXPECT_FALSE(GetWindowLongW(reader, GWL_STYLE) & WS_CAPTION);
  EXPECT_TRUE(IsWindowVisible(content_of(reader)));
  PostMessageW(reader, WM_CLOSE, 0, 0);
  EXPECT_EQ(wait_exit(), 0u);
}

}  // namespace
}  // namespace folivra::test
