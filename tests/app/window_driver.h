#pragma once

#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/scripted_prompts.h"
#include "book/test_books.h"

namespace folivra::test {

// Runs the messages already queued for this thread.
void pump();

// Runs the loop until `done` holds or `ms` of wall-clock time have passed;
// gives whether it holds.
bool wait_until(const std::function<bool()>& done, DWORD ms = 3000);

// Holds the modifier keys down, as far as GetKeyState can tell, while it lives.
class HeldKeys {
 public:
  explicit HeldKeys(bool ctrl, bool shift = false, bool alt = false);
  ~HeldKeys();

 private:
  BYTE saved_[256];
};

// Keys and characters posted to `hwnd` and run through the message loop (the
// editor's, with its shortcuts first, in a WindowTest), as typed keys arrive.
void press(HWND hwnd, WPARAM key);  // key down, the character it makes, key up
void type(HWND hwnd, const std::wstring& text);
std::wstring text_of(HWND hwnd);
std::wstring status_text(HWND status, int pane);
std::wstring tree_text(HWND tree, HTREEITEM item);
int tree_image(HWND tree, HTREEITEM item);
int child_count(HWND tree, HTREEITEM item);

// What a menu shows of a command's item, read from the menu itself: whether
// the item is there, checked, and its text (empty when it is not there).
bool menu_shows(HMENU menu, UINT id);
bool menu_checked(HMENU menu, UINT id);
std::wstring menu_caption(HMENU menu, UINT id);

// A fresh main window for each test, with settings of its own in a
// temporary folder; shown, destroyed afterwards.
class WindowTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  void restart();  // closes the window and starts a new one on the same settings
  // A book shown counts its 字数 on a worker: until they are in.
  void wait_for_counts();
  MainWindow& window() { return *window_; }
  std::wstring settings_path() const { return (dir_.dir() / L"config.ini").wstring(); }

  void command(UINT id);
  void select(int index);  // selects a tree item as a click would
  // A key down as the message loop hands it on: the accelerators first.
  void loop_key(HWND hwnd, WPARAM key, bool system = false);
  // A key as a person types it: posted to `hwnd` (down, up), then the
  // queue run through the editor's own message loop, with the modifiers held.
  void post_key(HWND hwnd, WPARAM key, bool ctrl = false, bool shift = false, bool alt = false);
  // Runs the queued messages as the editor's message loop does.
  void loop_pump();
  const MainWindow::Controls& c() const { return window_->controls(); }
  bool enabled(UINT id) const { return window_->menus().enabled(id); }
  RECT rect_in_parent(HWND hwnd) const;

  TempDir dir_;
  ScriptedPrompts prompts_;
  std::unique_ptr<MainWindow> window_;
  HWND hwnd_ = nullptr;
};

}  // namespace folivra::test
