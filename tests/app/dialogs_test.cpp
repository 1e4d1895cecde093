// The real file choosers and font dialog, cancelled as a person would.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/window_driver.h"
#include "editor/file_dialogs.h"
#include "editor/font_dialog.h"

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

}  // namespace
}  // namespace folivra::test
