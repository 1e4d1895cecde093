#include "reader/input_box.h"

#include "ui/dpi.h"
#include "ui/window_class.h"

namespace folivra {

namespace {

constexpr wchar_t kClassName[] = L"FolivraInputBox";
constexpr int kOk = 1, kCancel = 2;

struct Box {
  HWND edit = nullptr;
  bool done = false;
  std::optional<std::wstring> answer;
};

LRESULT CALLBACK box_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* box = reinterpret_cast<Box*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  switch (message) {
    case WM_NCCREATE:
      SetWindowLongPtrW(
          hwnd, GWLP_USERDATA,
          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams));
      break;
    case WM_COMMAND:
      if (box && (LOWORD(wparam) == kOk || LOWORD(wparam) == kCancel)) {
        if (LOWORD(wparam) == kOk) {
          std::wstring text(static_cast<size_t>(GetWindowTextLengthW(box->edit)) + 1, L'\0');
          text.resize(static_cast<size_t>(
              GetWindowTextW(box->edit, text.data(), static_cast<int>(text.size()))));
          box->answer = text;
        }
        box->done = true;
        return 0;
      }
      break;
    case WM_CLOSE:
      if (box) box->done = true;
      return 0;
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

}  // namespace

std::optional<std::wstring> ask_text(const std::wstring& title, const std::wstring& prompt,
                                     bool masked, HWND owner, const std::wstring& initial) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  register_window_class(kClassName, box_proc, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  Box box;
  const UINT dpi = window_dpi(nullptr);
  const auto s = [dpi](int pixels) { return scale(pixels, dpi); };
  const int width = s(360), height = s(170);
  HWND hwnd = CreateWindowExW(
      WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kClassName, title.c_str(),
      WS_POPUP | WS_CAPTION | WS_SYSMENU, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
      (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, owner, nullptr, instance, &box);
  HFONT font = message_font(dpi);
  auto add = [&](const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w, int h,
                 int id) {
    HWND control =
        CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, s(x), s(y), s(w), s(h), hwnd,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
  };
  add(L"STATIC", prompt.c_str(), SS_NOPREFIX, 12, 10, 330, 36, 0);
  box.edit =
      add(L"EDIT", initial.c_str(),
          WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | (masked ? ES_PASSWORD : 0), 12, 50, 330, 22, 3);
  SendMessageW(box.edit, EM_SETSEL, 0, -1);
  add(L"BUTTON", L"确定", WS_TABSTOP | BS_DEFPUSHBUTTON, 176, 90, 80, 26, kOk);
  add(L"BUTTON", L"取消", WS_TABSTOP | BS_PUSHBUTTON, 262, 90, 80, 26, kCancel);
  if (owner) EnableWindow(owner, FALSE);  // modal to the reader's window
  ShowWindow(hwnd, SW_SHOW);
  SetForegroundWindow(hwnd);
  SetFocus(box.edit);
  MSG msg;
  while (!box.done && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(hwnd, &msg)) continue;  // Enter confirms, Escape cancels
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (owner) EnableWindow(owner, TRUE);
  DestroyWindow(hwnd);
  DeleteObject(font);
  return box.answer;
}

}  // namespace folivra
