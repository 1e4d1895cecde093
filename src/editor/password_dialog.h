#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "editor/dialog_requests.h"
#include "ui/owned_handle.h"

namespace folivra {

enum class PasswordMode { open = 1, set = 2 };

struct PasswordRequest {
  PasswordMode mode = PasswordMode::open;
  std::string file_name;    // with extension; empty for a book without a file
  std::string check_value;  // open: the value stored in the file
  std::string hint;         // open: the stored hint ("无" when it has none); set: the book's hint
  std::string password;     // set: the book's password
};

// The password dialog: asks for the password of a protected book (open) or
// takes a new password and hint (set). Its own messages go through `prompts`.
class PasswordDialog {
 public:
  struct Controls {
    HWND prompt = nullptr, password_label = nullptr, password = nullptr, picture = nullptr;
    HWND hint_label = nullptr, hint = nullptr, ok = nullptr, cancel = nullptr;
    HWND repeat_label = nullptr, repeat = nullptr;  // set mode: the new password once more
  };

  // `tell` shows a message box (the editor's prompts, or a test's).
  using Tell = std::function<Answer(const Message&)>;
  PasswordDialog(PasswordRequest request, Tell tell);
  ~PasswordDialog();
  PasswordDialog(const PasswordDialog&) = delete;
  PasswordDialog& operator=(const PasswordDialog&) = delete;

  // Creates the window (not modal: `run_password_dialog` adds the modal loop).
  HWND create(HWND owner);
  HWND hwnd() const { return hwnd_; }
  const Controls& controls() const { return c_; }
  bool closed() const { return closed_; }
  int attempts() const { return attempts_; }
  // open: `password` is the accepted one, or empty. set: what was entered, or
  // after a cancel what was given.
  NewPassword result() const { return result_; }

  void confirm();
  void cancel();

 private:
  static LRESULT CALLBACK window_proc(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK password_subclass(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  void create_controls();
  void close();
  void shake();

  PasswordRequest request_;
  Tell tell_;
  HWND hwnd_ = nullptr;
  Controls c_;
  OwnedFont font_, mask_font_;
  OwnedIcon lock_;
  UINT dpi_ = 96;
  int attempts_ = 0;
  bool closed_ = false;
  bool busy_ = false;  // shaking after a wrong password
  NewPassword result_;
};

// Shows the dialog modally over `owner` and returns what it gave.
NewPassword run_password_dialog(HWND owner, const PasswordRequest& request,
                                PasswordDialog::Tell tell);

}  // namespace folivra
