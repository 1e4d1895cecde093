// The real main window, created in this process and driven with messages.
#include "app/main_window.h"

#include <gtest/gtest.h>

namespace folivra {
namespace {

TEST(MainWindow, OpensCaptionedFolivra) {
  MainWindow window;
  HWND hwnd = window.create(GetModuleHandleW(nullptr));
  ASSERT_NE(hwnd, nullptr);
  wchar_t caption[64] = {};
  GetWindowTextW(hwnd, caption, 64);
  EXPECT_STREQ(caption, L"Folivra");
  ShowWindow(hwnd, SW_SHOW);
  EXPECT_TRUE(IsWindowVisible(hwnd));

  SendMessageW(hwnd, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(window.hwnd(), nullptr);
  MSG msg;
  EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "closing ends the program";
}

}  // namespace
}  // namespace folivra
