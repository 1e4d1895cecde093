// The real file choosers and font dialog, cancelled as a person would.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>

#include "app/window_driver.h"
#include "book/gbk.h"
#include "book/gbk_wide.h"
#include "editor/file_dialogs.h"
#include "editor/file_filter.h"
#include "editor/font_dialog.h"
#include "editor/import_dialog.h"

namespace folivra::test {
namespace {

// Presses Cancel in the first dialog box of this thread once it is up.
void CALLBACK cancel_dialog(HWND, UINT, UINT_PTR id, DWORD) {
  HWND dialog = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM found) {
        wchar_t cls[16] = {};
        GetClassNameW(hwnd, cls, 16);
        if (lstrcmpW(cls, L"#32770") != 0 || !IsWindowVisible(hwnd)) return TRUE;
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&dialog));
  if (!dialog) return;
  KillTimer(nullptr, id);
  PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
}

HWND visible_dialog(HWND owner) {
  struct Search {
    HWND owner, found = nullptr;
  } search{owner};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM arg) {
        auto* s = reinterpret_cast<Search*>(arg);
        wchar_t cls[16] = {};
        GetClassNameW(hwnd, cls, 16);
        if (lstrcmpW(cls, L"#32770") != 0 || !IsWindowVisible(hwnd)) return TRUE;
        if (s->owner && GetWindow(hwnd, GW_OWNER) != s->owner) return TRUE;
        s->found = hwnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Chooses an existing file in the save chooser, answers "No" to the question
// whether to replace it, then cancels the chooser.
struct OverwriteScript {
  std::wstring name;
  HWND chooser = nullptr;
  std::wstring question;
  int step = 0;
};
OverwriteScript* g_script = nullptr;

void CALLBACK choose_existing(HWND, UINT, UINT_PTR id, DWORD) {
  OverwriteScript& s = *g_script;
  if (s.step == 0) {
    s.chooser = visible_dialog(nullptr);
    if (!s.chooser) return;
    SetDlgItemTextW(s.chooser, 0x47c, s.name.c_str());  // the file name box
    PostMessageW(s.chooser, WM_COMMAND, IDOK, 0);
    s.step = 1;
  } else if (s.step == 1) {
    const HWND box = visible_dialog(s.chooser);
    if (!box) return;
    wchar_t text[512] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 512);
    s.question = text;
    PostMessageW(box, WM_COMMAND, IDNO, 0);
    s.step = 2;
  } else {
    KillTimer(nullptr, id);
    PostMessageW(s.chooser, WM_COMMAND, IDCANCEL, 0);
  }
}

// Types a name into the first chooser of this thread and presses Open.
std::wstring g_name;
void CALLBACK choose_named(HWND, UINT, UINT_PTR id, DWORD) {
  const HWND chooser = visible_dialog(nullptr);
  if (!chooser) return;
  KillTimer(nullptr, id);
  SetDlgItemTextW(chooser, 0x47c, g_name.c_str());
  PostMessageW(chooser, WM_COMMAND, IDOK, 0);
}

class Dialogs : public WindowTest {
 protected:
  std::wstring cwd() {
    wchar_t buffer[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, buffer);
    return buffer;
  }
};

TEST_F(Dialogs, CancelledSaveChooserGivesNothingAndKeepsTheDirectory) {
  const std::wstring before = cwd();
  SetTimer(nullptr, 0, 100, cancel_dialog);
  SaveFileRequest request;
  request.initial_directory = "C:\\windows";
  request.default_name = "tale";
  EXPECT_EQ(save_file_dialog(hwnd_, request), "");
  EXPECT_EQ(cwd(), before);
}

TEST_F(Dialogs, TheSaveChooserAsksBeforeReplacingAFile) {
  test::write_bytes(dir_.path("tale.zqb"), "ZQB");
  OverwriteScript script;
  script.name = L"tale";  // the extension comes from the request
  g_script = &script;
  SetTimer(nullptr, 0, 150, choose_existing);
  SaveFileRequest request;
  request.initial_directory = wide_to_gbk_lossy(dir_.dir().wstring());
  request.default_extension = "zqb";
  request.filter = std::wstring(kBookFilter);
  EXPECT_EQ(save_file_dialog(hwnd_, request), "") << "No, then cancel: nothing chosen";
  g_script = nullptr;
  EXPECT_FALSE(script.question.empty()) << "the chooser asked whether to replace tale.zqb";
  EXPECT_EQ(read_bytes(dir_.path("tale.zqb")), "ZQB");
}

TEST_F(Dialogs, TheOpenChooserGivesPathsGbkCannotHold) {
  const std::filesystem::path folder = dir_.dir() / L"\uD55C\uAE00";  // 한글
  std::filesystem::create_directory(folder);
  test::write_bytes(folder / L"\uB458.zqb", "ZQB");  // 둘.zqb
  g_name = L"\uB458.zqb";
  SetTimer(nullptr, 0, 100, choose_named);
  OpenFileRequest request;
  request.initial_directory = wide_to_path_text(folder.wstring());
  request.keep_directory = false;
  const std::string chosen = open_file_dialog(hwnd_, request);
  EXPECT_EQ(path_text_to_wide(chosen), (folder / L"\uB458.zqb").wstring());
  EXPECT_EQ(read_bytes(path_from_gbk(chosen)), "ZQB");
}

TEST_F(Dialogs, CancelledOpenChooserGivesNothingAndKeepsTheDirectory) {
  const std::wstring before = cwd();
  SetTimer(nullptr, 0, 100, cancel_dialog);
  OpenFileRequest request;
  request.initial_directory = "C:\\windows";
  EXPECT_EQ(open_file_dialog(hwnd_, request), "");
  EXPECT_EQ(cwd(), before);
}

TEST_F(Dialogs, CancelledFontDialogKeepsTheChoice) {
  FontChoice choice;
  choice.italic = true;
  const FontChoice before = choice;
  SetTimer(nullptr, 0, 100, cancel_dialog);
  EXPECT_FALSE(show_font_dialog(hwnd_, choice));
  EXPECT_EQ(choice, before);
}

// A long novel's preview is split on the dialog's worker: the dialog answers
// at once (it says it is working, takes typing, holds 导入 back) and fills in.
TEST_F(Dialogs, TheImportDialogAnswersWhileTheNovelIsSplit) {
  TextImportRequest request;
  request.file_name = L"长篇.txt";
  request.encodings = {L"GB18030"};
  std::atomic<bool> release{false};
  request.preview = [&](int, const std::wstring&) {
    while (!release) Sleep(10);
    ImportPreview preview;
    preview.title = L"长篇";
    preview.rows = {{L"第一章", L"　　开头。", 3}};
    return preview;
  };
  ImportDialog dialog(request);
  ASSERT_TRUE(dialog.create(window_->hwnd()));
  const ImportDialog::Controls& c = dialog.controls();
  pump();
  EXPECT_EQ(text_of(c.note), L"正在分析章节…");
  EXPECT_FALSE(IsWindowEnabled(c.ok));
  SetFocus(c.author);
  type(c.author, L"某人");
  EXPECT_EQ(text_of(c.author), L"某人") << "the dialog answers meanwhile";
  release = true;
  ASSERT_TRUE(wait_until([&] { return dialog.preview_ready(); }));
  pump();
  EXPECT_EQ(text_of(c.note), L"共 1 章，3 字");
  EXPECT_EQ(ListView_GetItemCount(c.list), 1);
  EXPECT_TRUE(IsWindowEnabled(c.ok));
  EXPECT_EQ(text_of(c.title), L"长篇");
}

}  // namespace
}  // namespace folivra::test

namespace folivra::test {
namespace {

// 导入文本 shows the title and author the text gives, keeps what the user
// types over them when the preview changes, and says what the import does.
TEST_F(Dialogs, TheImportDialogTakesTheTitleTypedOverTheOneTheTextGives) {
  TextImportRequest request;
  request.file_name = L"远行.txt";
  request.encodings = {L"GB18030", L"UTF-8"};
  request.rule = L"^第.+章$";
  int previews = 0;
  request.preview = [&](int, const std::wstring&) {
    ++previews;
    ImportPreview preview;
    preview.title = L"远行";
    preview.author = previews == 1 ? L"某某" : L"某某某";
    preview.volumes = 1;
    preview.contents_kept = true;
    preview.rows = {{L"第一卷", L"", 0}, {L"第一章 出门", L"　　他说。", 2}};
    return preview;
  };
  ImportDialog dialog(request);
  ASSERT_TRUE(dialog.create(window_->hwnd()));
  const ImportDialog::Controls& c = dialog.controls();
  ASSERT_TRUE(wait_until([&] { return dialog.preview_ready(); }));
  EXPECT_EQ(text_of(c.title), L"远行");
  EXPECT_EQ(text_of(c.author), L"某某");
  EXPECT_EQ(text_of(c.note), L"共 2 章（其中 1 卷），2 字；目录保留为正文");

  SendMessageW(c.title, EM_SETSEL, 0, -1);
  type(c.title, L"远方");
  EXPECT_EQ(text_of(c.title), L"远方");
  type(c.rule, L" ");  // the preview follows the rule once typing pauses
  ASSERT_TRUE(wait_until([&] { return previews == 2; }));
  EXPECT_EQ(text_of(c.title), L"远方") << "what the user typed stays";
  EXPECT_EQ(text_of(c.author), L"某某某") << "an untouched field follows the text";

  SendMessageW(c.ok, BM_CLICK, 0, 0);
  pump();
  ASSERT_TRUE(dialog.closed());
  EXPECT_TRUE(dialog.result().accepted);
  EXPECT_EQ(dialog.result().title, L"远方");
  EXPECT_EQ(dialog.result().author, L"某某某");
}

}  // namespace
}  // namespace folivra::test
