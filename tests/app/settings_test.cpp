// The settings file: geometry, splitter and font survive a restart; the
// recent-files menu follows the LatelyFile section.
#include <atomic>
#include <fstream>
#include <thread>

#include "ui/menu_ids.h"
#include "app/window_driver.h"
#include "book/book_file.h"
#include "book/gbk_wide.h"

namespace folivra::test {
namespace {

class SettingsFile : public WindowTest {
 protected:
  std::wstring read(const wchar_t* section, const wchar_t* key) {
    wchar_t value[256] = {};
    GetPrivateProfileStringW(section, key, L"<absent>", value, 256, settings_path().c_str());
    return value;
  }
  void write(const wchar_t* section, const wchar_t* key, const wchar_t* value) {
    WritePrivateProfileStringW(section, key, value, settings_path().c_str());
  }
  bool file_exists() {
    return GetFileAttributesW(settings_path().c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  RECT outer() {
    RECT r;
    GetWindowRect(hwnd_, &r);
    return r;
  }
};

TEST_F(SettingsFile, NoFileMeansTheTemplate) {
  const RECT r = outer();
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_EQ(r.right - r.left, std::max(480L, (work.right - work.left) * 7 / 10))
      << "a first start fits the screen";
  EXPECT_FALSE(file_exists()) << "and writes nothing";
  EXPECT_EQ(window().editor_font().name, "\xCB\xCE\xCC\xE5");
  EXPECT_EQ(window().editor_font().size, 12);
  EXPECT_EQ(window().editor_font().color, 0);
  EXPECT_FALSE(window().editor_font().bold);

  SetWindowPos(hwnd_, nullptr, 120, 90, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ASSERT_TRUE(file_exists()) << "the first move creates the file";
  EXPECT_EQ(read(L"Windows", L"left_edge"), L"120");
  EXPECT_EQ(read(L"Windows", L"top_edge"), L"90");
  EXPECT_EQ(read(L"Windows", L"maximization"), L"false");
  SetWindowPos(hwnd_, nullptr, 0, 0, 640, 500, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(read(L"Windows", L"width"), L"640");
  EXPECT_EQ(read(L"Windows", L"height"), L"500");
}

TEST_F(SettingsFile, MaximizeAndMinimizeWriteOnlyTheState) {
  SetWindowPos(hwnd_, nullptr, 100, 80, 600, 450, SWP_NOZORDER);
  ShowWindow(hwnd_, SW_MAXIMIZE);
  // Under Wine the new state may come back from the X server a little later.
  wait_until([&] { return read(L"Windows", L"maximization") == L"true"; });
  EXPECT_EQ(read(L"Windows", L"maximization"), L"true");
  EXPECT_EQ(read(L"Windows", L"left_edge"), L"100");
  EXPECT_EQ(read(L"Windows", L"width"), L"600");
  ShowWindow(hwnd_, SW_RESTORE);
  ShowWindow(hwnd_, SW_MINIMIZE);
  wait_until([&] { return read(L"Windows", L"maximization") == L"false"; });
  EXPECT_EQ(read(L"Windows", L"maximization"), L"false");
  EXPECT_EQ(read(L"Windows", L"left_edge"), L"100");
  EXPECT_EQ(read(L"Windows", L"top_edge"), L"80");
  EXPECT_EQ(read(L"Windows", L"width"), L"600");
  EXPECT_EQ(read(L"Windows", L"height"), L"450");
}

TEST_F(SettingsFile, GeometryAndSplitterSurviveARestart) {
  SetWindowPos(hwnd_, nullptr, 130, 70, 700, 520, SWP_NOZORDER);
  const int dragged = rect_in_parent(c().splitter).left + 44;
  SendMessageW(c().splitter, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 10));
  SendMessageW(c().splitter, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(45, 10));
  SendMessageW(c().splitter, WM_LBUTTONUP, 0, MAKELPARAM(45, 10));
  EXPECT_EQ(read(L"Windows", L"boundary"), std::to_wstring(dragged));
  restart();
  const RECT r = outer();
  EXPECT_EQ(r.left, 130);
  EXPECT_EQ(r.top, 70);
  EXPECT_EQ(r.right - r.left, 700);
  EXPECT_EQ(r.bottom - r.top, 520);
  EXPECT_EQ(rect_in_parent(c().tree).right, dragged);
  EXPECT_EQ(rect_in_parent(c().tabs).left, dragged + 4);
}

TEST_F(SettingsFile, ASplitterBeyondTheFirstLayoutComesBack) {
  write(L"Windows", L"width", L"1000");
  write(L"Windows", L"height", L"700");
  write(L"Windows", L"boundary", L"640");
  restart();
  EXPECT_EQ(rect_in_parent(c().tree).right, 640) << "clamped to the restored size, not 480";
}

TEST_F(SettingsFile, WhatTheFileDoesNotSayIsAsAtAFirstStart) {
  const RECT first = outer();
  // A file that holds only a recent book: the window opens as at a first
  // start, not at the window class's small size in the top-left corner.
  write(L"LatelyFile", L"File1", L"C:\\nowhere.zqb");
  restart();
  RECT r = outer();
  EXPECT_EQ(r.left, first.left);
  EXPECT_EQ(r.top, first.top);
  EXPECT_EQ(r.right - r.left, first.right - first.left);
  EXPECT_EQ(r.bottom - r.top, first.bottom - first.top);

  write(L"Windows", L"left_edge", L"33");
  restart();
  r = outer();
  EXPECT_EQ(r.left, 33);
  EXPECT_EQ(r.top, first.top) << "a missing edge keeps the first start's place, not 0";
  EXPECT_EQ(r.right - r.left, first.right - first.left);
}

TEST_F(SettingsFile, CapitalTrueIsFalse) {
  write(L"Windows", L"maximization", L"TRUE");
  restart();
  EXPECT_FALSE(window().starts_maximized());
  write(L"Windows", L"maximization", L"\u771F");  // 真
  restart();
  EXPECT_TRUE(window().starts_maximized());
}

TEST_F(SettingsFile, GeometryOffEveryScreenIsNotUsed) {
  write(L"Windows", L"left_edge", L"-90000");
  write(L"Windows", L"top_edge", L"70000");
  write(L"Windows", L"width", L"600");
  write(L"Windows", L"height", L"");
  restart();
  const RECT r = outer();
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_GE(r.left, work.left) << "the window comes onto the screen that is there";
  EXPECT_GE(r.top, work.top);
  EXPECT_LE(r.right, work.right);
  EXPECT_LE(r.bottom, work.bottom);
  EXPECT_EQ(r.right - r.left, 600) << "at its own size";
}

TEST_F(SettingsFile, FontChoiceIsWrittenKeyByKey) {
  prompts_.font_confirms = true;
  prompts_.font_answer = FontChoice{"\xBA\xDA\xCC\xE5", 14, 0x0000FF, false, false, true, true};
  command(kCmdChooseFont);
  ASSERT_EQ(prompts_.fonts_offered.size(), 1u);
  EXPECT_EQ(prompts_.fonts_offered[0], FontChoice{}) << "the dialog starts from the stored font";
  EXPECT_EQ(read(L"Font", L"name"), L"\u9ED1\u4F53");  // 黑体
  EXPECT_EQ(read(L"Font", L"size"), L"14");
  EXPECT_EQ(read(L"Font", L"color"), L"255");
  EXPECT_EQ(read(L"Font", L"underline"), L"true");
  EXPECT_EQ(read(L"Font", L"delline"), L"true");
  EXPECT_EQ(read(L"Font", L"italics"), L"false");
  EXPECT_EQ(read(L"Font", L"bold"), L"false");

  std::ifstream file(std::filesystem::path(settings_path()), std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(file)), {});
  EXPECT_NE(bytes.find("name=\xBA\xDA\xCC\xE5"), std::string::npos) << "the file's text is GBK";

  restart();
  EXPECT_EQ(window().editor_font(), prompts_.font_answer);
}

TEST_F(SettingsFile, CancelledFontChangesNothing) {
  prompts_.font_confirms = false;
  command(kCmdChooseFont);
  EXPECT_EQ(read(L"Font", L"name"), L"<absent>");
  EXPECT_EQ(window().editor_font(), FontChoice{});
}

TEST_F(SettingsFile, AnotherInstanceWritingMeanwhile) {
  std::atomic<bool> stop{false};
  const std::wstring path = settings_path();
  std::thread other([&] {
    for (int i = 0; !stop; ++i) {
      const std::wstring n = std::to_wstring(i % 2 ? 100 + i % 300 : -40000);
      WritePrivateProfileStringW(L"Windows", L"left_edge", n.c_str(), path.c_str());
      WritePrivateProfileStringW(L"Windows", L"width", i % 3 ? L"650" : L"", path.c_str());
      WritePrivateProfileStringW(L"Font", L"size", i % 2 ? L"11" : L"x", path.c_str());
    }
  });
  for (int round = 0; round < 10; ++round) {
    restart();
    const RECT r = outer();
    EXPECT_TRUE(IsWindowVisible(hwnd_));
    EXPECT_TRUE(MonitorFromRect(&r, MONITOR_DEFAULTTONULL));
    EXPECT_GE(r.right - r.left, 480);
  }
  stop = true;
  other.join();
}

class RecentFiles : public SettingsFile {
 protected:
  std::string book_path(const std::string& name) {
    const auto path = dir_.path(name);
    if (!std::filesystem::exists(path)) {
      Book book = sample_book(1);
      write_book(path, book);
    }
    return wide_to_gbk_lossy(path.wstring());
  }
  PopupMenu& file() { return *window().menus().file; }
};

TEST_F(RecentFiles, HiddenWithoutFiles) {
  EXPECT_FALSE(menu_shows(file().handle(), kCmdRecentSeparator));
  EXPECT_FALSE(menu_shows(file().handle(), kCmdClearRecent));
  for (UINT k = 0; k < 5; ++k) EXPECT_FALSE(menu_shows(file().handle(), kCmdRecent1 + k));
}

TEST_F(RecentFiles, GapEndsTheList) {
  const std::string a = book_path("a.zqb"), c = book_path("c.zqb");
  write(L"LatelyFile", L"file1", gbk_to_wide(a).c_str());
  write(L"LatelyFile", L"file3", gbk_to_wide(c).c_str());
  restart();
  ASSERT_EQ(window().recent_files().size(), 1u);
  EXPECT_TRUE(menu_shows(file().handle(), kCmdRecent1));
  EXPECT_EQ(menu_caption(file().handle(), kCmdRecent1), L"&1 a.zqb");
  EXPECT_FALSE(menu_shows(file().handle(), kCmdRecent1 + 1));
}

TEST_F(RecentFiles, MissingFilesAreDropped) {
  write(L"LatelyFile", L"file1", (dir_.dir() / L"gone.zqb").c_str());
  write(L"LatelyFile", L"file2", gbk_to_wide(book_path("here.zqb")).c_str());
  restart();
  ASSERT_EQ(window().recent_files().size(), 1u);
  EXPECT_EQ(menu_caption(file().handle(), kCmdRecent1), L"&1 here.zqb");
}

TEST_F(RecentFiles, SixOpensKeepFive) {
  for (char i = '1'; i <= '6'; ++i)
    window().add_recent_file(book_path(std::string("b") + i + ".zqb"));
  EXPECT_EQ(window().recent_files().size(), 5u);
  EXPECT_EQ(menu_caption(file().handle(), kCmdRecent1), L"&1 b6.zqb");
  EXPECT_EQ(menu_caption(file().handle(), kCmdRecent1 + 4), L"&5 b2.zqb");
  EXPECT_EQ(read(L"LatelyFile", L"file6"), L"<absent>");
  EXPECT_NE(read(L"LatelyFile", L"file5"), L"<absent>");

  window().add_recent_file(book_path("b4.zqb"));
  EXPECT_EQ(menu_caption(file().handle(), kCmdRecent1), L"&1 b4.zqb");
  EXPECT_EQ(menu_caption(file().handle(), kCmdRecent1 + 1), L"&2 b6.zqb");
  EXPECT_EQ(window().recent_files().size(), 5u);
}

TEST_F(RecentFiles, BackslashEndingPathShowsOnlyTheDigit) {
  std::wstring folder = dir_.dir().wstring() + L"\\";
  write(L"LatelyFile", L"file1", folder.c_str());
  restart();
  ASSERT_EQ(window().recent_files().size(), 1u) << "a folder exists too";
  EXPECT_EQ(menu_caption(file().handle(), kCmdRecent1), L"&1 ");
}

TEST_F(RecentFiles, ClearingHidesEverythingAndRemovesTheSection) {
  window().add_recent_file(book_path("x.zqb"));
  EXPECT_TRUE(menu_shows(file().handle(), kCmdClearRecent));
  command(kCmdClearRecent);
  EXPECT_FALSE(menu_shows(file().handle(), kCmdRecentSeparator));
  EXPECT_FALSE(menu_shows(file().handle(), kCmdClearRecent));
  EXPECT_FALSE(menu_shows(file().handle(), kCmdRecent1));
  EXPECT_EQ(read(L"LatelyFile", L"file1"), L"<absent>");
}

TEST_F(RecentFiles, ASlotOpensItsBook) {
  const std::string path = book_path("slot.zqb");
  window().add_recent_file(path);
  command(kCmdRecent1);
  EXPECT_EQ(window().book().title, sample_book(1).title);
  EXPECT_EQ(window().book().file_path, path);
}

// A portable copy keeps config.ini beside the program; an installed one,
// whose folder it cannot write, keeps it in the user's folder.
TEST(SettingsPlace, BesideAWritableProgramElseInTheUsersFolder) {
  TempDir dir;
  const std::wstring user = (dir.dir() / L"AppData" / L"Folivra").wstring();
  std::filesystem::create_directories(dir.dir() / L"AppData");
  EXPECT_EQ(Settings::path_for(dir.dir().wstring(), user), (dir.dir() / L"config.ini").wstring());
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.dir()), {}), 1)
      << "the probe leaves nothing behind";
  const std::wstring locked = (dir.dir() / L"Program Files" / L"Folivra").wstring();
  EXPECT_EQ(Settings::path_for(locked, user), user + L"\\config.ini");
  EXPECT_TRUE(std::filesystem::is_directory(user));

  // An installed copy in a folder its user can write: still the user's folder.
  write_bytes(dir.dir() / Settings::kInstalledMark, "installed");
  EXPECT_EQ(Settings::path_for(dir.dir().wstring(), user), user + L"\\config.ini");
}

}  // namespace
}  // namespace folivra::test
