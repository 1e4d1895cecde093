#include "editor/password_dialog.h"

#include <commctrl.h>

#include "ui/dpi.h"
#include "ui/modal_loop.h"
#include "ui/tree_images.h"
#include "ui/window_class.h"
#include "ui/window_text.h"
#include "book/field_cipher.h"
#include "book/gbk_wide.h"

namespace folivra {

namespace {

constexpr wchar_t kClassName[] = L"FolivraPasswordDialog";
constexpr int kWidth = 338, kHeight = 290;
constexpr int kMaxAttempts = 3;

// Waits about `ms` milliseconds while the window keeps answering messages.
void wait_processing(DWORD ms) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start <= ms) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(5);
  }
}

}  // namespace

PasswordDialog::PasswordDialog(PasswordRequest request, Tell tell)
    : request_(std::move(request)), tell_(std::move(tell)) {
  result_.password = request_.mode == PasswordMode::set ? request_.password : "";
  result_.hint = request_.hint;
}

PasswordDialog::~PasswordDialog() {
  if (hwnd_) DestroyWindow(hwnd_);
}

HWND PasswordDialog::create(HWND owner) {
  register_window_class(kClassName, window_proc, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  dpi_ = window_dpi(owner);
  const wchar_t* title = request_.mode == PasswordMode::open ? L"密码输入" : L"设置密码";
  hwnd_ = create_dialog_frame(kClassName, title, owner, scale(kWidth, dpi_), scale(kHeight, dpi_),
                              this);
  return hwnd_;
}

void PasswordDialog::create_controls() {
  const auto s = [this](int pixels) { return scale(pixels, dpi_); };
  font_ =
      CreateFontW(-s(12), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"宋体");
  const bool open = request_.mode == PasswordMode::open;
  const std::wstring prompt =
      open ? std::wstring(L"欲打开的文件已经被加密，请输入访问密码")
           : L"为文件[" + path_text_to_wide(request_.file_name) + L"]设置访问密码";
  c_.prompt = create_child(L"STATIC", prompt.c_str(), SS_NOPREFIX, hwnd_, s(16), s(16), s(304),
                           s(24), font_);
  c_.password_label =
      create_child(L"STATIC", L"密码：", 0, hwnd_, s(16), s(48), s(40), s(24), font_);
  c_.password = create_child(L"EDIT", L"", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, hwnd_, s(56),
                             s(48), s(208), s(22), font_);
  lock_ = draw_lock_icon(s(32));
  c_.picture = create_child(L"STATIC", L"", SS_ICON | SS_CENTERIMAGE, hwnd_, s(272), s(44), s(48),
                            s(32), font_);
  SendMessageW(c_.picture, STM_SETICON, reinterpret_cast<WPARAM>(lock_.get()), 0);
  // Setting a password asks for it twice: a typing slip would lock the
  // author out of the book.
  const int below = open ? 0 : 28;
  if (!open) {
    c_.repeat_label =
        create_child(L"STATIC", L"确认：", 0, hwnd_, s(16), s(76), s(40), s(24), font_);
    c_.repeat = create_child(L"EDIT", L"", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, hwnd_, s(56),
                             s(76), s(208), s(22), font_);
  }
  c_.hint_label =
      create_child(L"STATIC", open ? L"密码提示文本(由作者提供)：" : L"密码提示文本(留空则为无)：",
                   0, hwnd_, s(16), s(80 + below), s(296), s(24), font_);
  c_.hint = create_child(L"EDIT", gbk_to_wide(request_.hint).c_str(),
                         ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | WS_BORDER | WS_TABSTOP |
                             (open ? ES_READONLY : 0),
                         hwnd_, s(16), s(104 + below), s(304), s(112 - below), font_);
  c_.ok = create_child(L"BUTTON", L"确 认", BS_PUSHBUTTON | WS_TABSTOP, hwnd_, s(176), s(224),
                       s(72), s(28), font_);
  c_.cancel = create_child(L"BUTTON", L"取 消", BS_PUSHBUTTON | WS_TABSTOP, hwnd_, s(258), s(224),
                           s(72), s(28), font_);

  // Every typed character shows as a filled circle: "l" in Wingdings.
  mask_font_ =
      CreateFontW(-s(12), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, SYMBOL_CHARSET, OUT_DEFAULT_PRECIS,
                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Wingdings");
  for (HWND box : {c_.password, c_.repeat}) {
    if (!box) continue;
    SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(mask_font_.get()), FALSE);
    SendMessageW(box, EM_SETPASSWORDCHAR, L'l', 0);
    // The current password stands in both: confirming unchanged keeps it.
    if (!open) set_window_text(box, gbk_to_wide(request_.password));
    SetWindowSubclass(box, password_subclass, 0, reinterpret_cast<DWORD_PTR>(this));
  }
  SetFocus(c_.password);
}

void PasswordDialog::confirm() {
  if (busy_ || closed_) return;  // Enter while the window shakes is not a new attempt
  const std::optional<std::string> exact = wide_to_gbk(window_text(c_.password));
  if (request_.mode == PasswordMode::set) {
    // A password GBK cannot hold would be stored as something else.
    if (!exact) {
      tell_({L"密码中有无法以 GBK 保存的字符，请换一个密码。"});
      SetFocus(c_.password);
      return;
    }
    if (window_text(c_.password) != window_text(c_.repeat)) {
      tell_({L"两次输入的密码不一致，请重新输入。"});
      set_window_text(c_.repeat, L"");
      SetFocus(c_.repeat);
      return;
    }
    if (exact->empty() && !request_.password.empty()) {
      Message question;
      question.text = L"密码为空：书籍将不再受密码保护。确定要清除密码吗？";
      question.buttons = Buttons::ok_cancel;
      if (tell_(question) != Answer::ok) {
        SetFocus(c_.password);
        return;
      }
    }
    result_ = {true, *exact, wide_to_gbk_lossy(window_text(c_.hint))};
    close();
    return;
  }
  // Characters GBK cannot hold never match: they count as a wrong password.
  const std::string typed = exact.value_or(std::string());
  if (window_text(c_.password).empty()) {
    tell_({L"密码不能为空！"});
    return;
  }
  if (exact && password_check_value(typed) == request_.check_value) {
    result_ = {true, typed, request_.hint};
    close();
    return;
  }
  if (++attempts_ < kMaxAttempts) {
    set_window_text(c_.prompt, L"密码错误，请重新输入（还可输入 " +
                                   std::to_wstring(kMaxAttempts - attempts_) + L" 次）");
    set_window_text(c_.password, L"");
    shake();
    SetFocus(c_.password);
    return;
  }
  tell_({L"密码输入错误 - 你无权打开[" + path_text_to_wide(request_.file_name) + L"]"});
  close();
}

void PasswordDialog::cancel() { close(); }

void PasswordDialog::close() {
  closed_ = true;
  if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
}

void PasswordDialog::shake() {
  busy_ = true;
  RECT r;
  GetWindowRect(hwnd_, &r);
  auto move = [&](int x, int y) {
    SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    wait_processing(40);
  };
  int x = r.left, y = r.top;
  for (int round = 0; round < 3; ++round) {
    move(x = r.left - 2, y);
    move(x, y = r.top - 2);
    move(x = r.left + 4, y);
    move(x, y = r.top + 4);
  }
  SetWindowPos(hwnd_, nullptr, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  busy_ = false;
}

LRESULT CALLBACK PasswordDialog::window_proc(HWND hwnd, UINT message, WPARAM wparam,
                                             LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* self =
        static_cast<PasswordDialog*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<PasswordDialog*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self) {
    switch (message) {
      case WM_CREATE:
        self->create_controls();
        return 0;
      case WM_COMMAND:
        if (reinterpret_cast<HWND>(lparam) == self->c_.ok && HIWORD(wparam) == BN_CLICKED) {
          self->confirm();
        } else if (reinterpret_cast<HWND>(lparam) == self->c_.cancel ||
                   LOWORD(wparam) == IDCANCEL) {
          self->cancel();
        }
        return 0;
      case WM_CLOSE:
        self->cancel();
        return 0;
      case WM_NCDESTROY:
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        break;
    }
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

// Enter (without Ctrl, Shift or Alt) in the password box confirms and goes no further.
LRESULT CALLBACK PasswordDialog::password_subclass(HWND hwnd, UINT message, WPARAM wparam,
                                                   LPARAM lparam, UINT_PTR, DWORD_PTR self) {
  const bool plain =
      GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_MENU) >= 0;
  switch (message) {
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, password_subclass, 0);
      break;
    case WM_GETDLGCODE: {
      // Only Enter is the box's own; Tab and Esc go on to the dialog.
      const auto* msg = reinterpret_cast<const MSG*>(lparam);
      const LRESULT code = DefSubclassProc(hwnd, message, wparam, lparam);
      return msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN ? code | DLGC_WANTALLKEYS
                                                                           : code;
    }
    case WM_KEYDOWN:
      if (wparam == VK_RETURN && plain) {
        reinterpret_cast<PasswordDialog*>(self)->confirm();
        return 0;
      }
      break;
    case WM_CHAR:
      if (wparam == L'\r' && plain) return 0;
      break;
  }
  return DefSubclassProc(hwnd, message, wparam, lparam);
}

NewPassword run_password_dialog(HWND owner, const PasswordRequest& request,
                                PasswordDialog::Tell tell) {
  PasswordDialog dialog(request, std::move(tell));
  if (!dialog.create(owner)) return dialog.result();
  run_modal(owner, dialog.hwnd(), dialog.controls().password, [&] { return dialog.closed(); });
  return dialog.result();
}

}  // namespace folivra
