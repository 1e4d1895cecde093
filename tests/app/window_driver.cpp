#include "app/window_driver.h"

#include <optional>

namespace folivra::test {

void pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

bool wait_until(const std::function<bool()>& done, DWORD ms) {
  const ULONGLONG until = GetTickCount64() + ms;
  for (;;) {
    pump();
    if (done()) return true;
    if (GetTickCount64() >= until) return false;
    Sleep(10);
  }
}

HeldKeys::HeldKeys(bool ctrl, bool shift, bool alt) {
  GetKeyboardState(saved_);
  BYTE state[256];
  std::copy(std::begin(saved_), std::end(saved_), state);
  if (ctrl) state[VK_CONTROL] = state[VK_LCONTROL] = 0x80;
  if (shift) state[VK_SHIFT] = state[VK_LSHIFT] = 0x80;
  if (alt) state[VK_MENU] = state[VK_LMENU] = 0x80;
  SetKeyboardState(state);
}

HeldKeys::~HeldKeys() { SetKeyboardState(saved_); }

namespace {

// The editor window a test drives: its message loop's own handling comes
// first for the keys posted here.
MainWindow* driven = nullptr;

// The queued messages, as the editor's message loop takes them.
void run_queue() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (driven && driven->pre_translate(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void post_down_up(HWND hwnd, WPARAM key, bool system) {
  const UINT scan = MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC);
  const LPARAM down = 1 | static_cast<LPARAM>(scan) << 16 | (system ? 0x20000000 : 0);
  PostMessageW(hwnd, system ? WM_SYSKEYDOWN : WM_KEYDOWN, key, down);
  PostMessageW(hwnd, system ? WM_SYSKEYUP : WM_KEYUP, key, down | 0xC0000000);
}

}  // namespace

// Posted, so the loop's translation makes the character (Ctrl+letter too).
void press(HWND hwnd, WPARAM key) {
  post_down_up(hwnd, key, false);
  run_queue();
}

void type(HWND hwnd, const std::wstring& text) {
  for (wchar_t ch : text) PostMessageW(hwnd, WM_CHAR, ch, 1);
  run_queue();
}

std::wstring text_of(HWND hwnd) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::wstring status_text(HWND status, int pane) {
  wchar_t buffer[512] = {};
  SendMessageW(status, SB_GETTEXTW, pane, reinterpret_cast<LPARAM>(buffer));
  return buffer;
}

std::wstring tree_text(HWND tree, HTREEITEM item) {
  wchar_t buffer[512] = {};
  TVITEMW tv{};
  tv.mask = TVIF_TEXT;
  tv.hItem = item;
  tv.pszText = buffer;
  tv.cchTextMax = 512;
  TreeView_GetItem(tree, &tv);
  return buffer;
}

int tree_image(HWND tree, HTREEITEM item) {
  TVITEMW tv{};
  tv.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  tv.hItem = item;
  TreeView_GetItem(tree, &tv);
  return tv.iImage == tv.iSelectedImage ? tv.iImage : -1;
}

int child_count(HWND tree, HTREEITEM item) {
  int n = 0;
  for (HTREEITEM c = TreeView_GetChild(tree, item); c; c = TreeView_GetNextSibling(tree, c)) ++n;
  return n;
}

void WindowTest::SetUp() {
  // Recovery copies and a writing store of the test's own, never the user's.
  SetEnvironmentVariableW(L"LOCALAPPDATA", dir_.dir().wstring().c_str());
  window_ = std::make_unique<MainWindow>(&prompts_, settings_path(), dir_.dir() / L"recovery");
  hwnd_ = window_->create(GetModuleHandleW(nullptr));
  ASSERT_NE(hwnd_, nullptr);
  driven = window_.get();
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  SetForegroundWindow(hwnd_);
  pump();
}

void WindowTest::TearDown() {
  driven = nullptr;
  window_.reset();
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
}

void WindowTest::restart() {
  TearDown();
  SetUp();
}

void WindowTest::command(UINT id) { SendMessageW(hwnd_, WM_COMMAND, id, 0); }

void WindowTest::loop_key(HWND hwnd, WPARAM key, bool system) {
  MSG msg{};
  msg.hwnd = hwnd;
  msg.message = system ? WM_SYSKEYDOWN : WM_KEYDOWN;
  msg.wParam = key;
  msg.lParam = system ? 0x20000001 : 1;
  if (!window().translate_accelerator(msg)) SendMessageW(hwnd, msg.message, key, msg.lParam);
  pump();
}

void WindowTest::loop_pump() { run_queue(); }

void WindowTest::post_key(HWND hwnd, WPARAM key, bool ctrl, bool shift, bool alt) {
  const HeldKeys held(ctrl, shift, alt);
  post_down_up(hwnd, key, alt);
  run_queue();
}

namespace {

// The item of a command as the menu holds it; its text in `text`.
std::optional<MENUITEMINFOW> menu_item(HMENU menu, UINT id, std::wstring* text = nullptr) {
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t buffer[256] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_STATE | MIIM_STRING | MIIM_FTYPE;
    info.dwTypeData = buffer;
    info.cch = 255;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info) || info.wID != id) continue;
    if (text) *text = buffer;
    return info;
  }
  return std::nullopt;
}

}  // namespace

bool menu_shows(HMENU menu, UINT id) { return menu_item(menu, id).has_value(); }

bool menu_checked(HMENU menu, UINT id) {
  const std::optional<MENUITEMINFOW> item = menu_item(menu, id);
  return item && (item->fState & MFS_CHECKED);
}

std::wstring menu_caption(HMENU menu, UINT id) {
  std::wstring text;
  menu_item(menu, id, &text);
  return text;
}

void WindowTest::wait_for_counts() {
  EXPECT_TRUE(wait_until([this] { return !window().counting_words(); }, 10000));
}

void WindowTest::select(int index) {
  TreeView_SelectItem(c().tree, window_->chapter_tree().item_at(index));
}

RECT WindowTest::rect_in_parent(HWND hwnd) const {
  RECT r;
  GetWindowRect(hwnd, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

}  // namespace folivra::test
