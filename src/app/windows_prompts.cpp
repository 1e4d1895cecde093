#include "app/windows_prompts.h"

#include "editor/import_dialog.h"

#include "book/gbk_wide.h"
#include "editor/file_dialogs.h"
#include "editor/font_dialog.h"
#include "editor/password_dialog.h"

namespace folivra {

Answer message_box(HWND owner, const Message& message) {
  UINT type = MB_TASKMODAL;
  type |= message.icon == Icon::error         ? MB_ICONERROR
          : message.icon == Icon::information ? MB_ICONINFORMATION
                                              : MB_ICONQUESTION;
  type |= message.buttons == Buttons::ok          ? MB_OK
          : message.buttons == Buttons::ok_cancel ? MB_OKCANCEL
                                                  : MB_YESNOCANCEL;
  if (message.owned) type &= ~MB_TASKMODAL;
  const int answer = MessageBoxW(message.owned ? owner : nullptr, message.text.c_str(),
                                 message.caption.c_str(), type);
  switch (answer) {
    case IDYES:
      return Answer::yes;
    case IDNO:
      return Answer::no;
    case IDOK:
      return Answer::ok;
    default:
      return Answer::cancel;
  }
}

std::string WindowsPrompts::save_file(const SaveFileRequest& request) {
  return save_file_dialog(owner_, request);
}

std::string WindowsPrompts::open_file(const OpenFileRequest& request) {
  return open_file_dialog(owner_, request);
}

bool WindowsPrompts::choose_font(FontChoice& choice) { return show_font_dialog(owner_, choice); }

Answer WindowsPrompts::show_message(const Message& message) { return message_box(owner_, message); }

std::string WindowsPrompts::ask_open_password(const std::string& file_name,
                                              const std::string& check_value,
                                              const std::string& hint) {
  PasswordRequest request{PasswordMode::open, file_name, check_value, hint, ""};
  return run_password_dialog(owner_, request, [this](const Message& m) { return show_message(m); })
      .password;
}

NewPassword WindowsPrompts::ask_new_password(const std::string& file_name,
                                             const std::string& password, const std::string& hint) {
  PasswordRequest request{PasswordMode::set, file_name, "", hint, password};
  return run_password_dialog(owner_, request, [this](const Message& m) { return show_message(m); });
}

TextImportChoice WindowsPrompts::choose_text_import(const TextImportRequest& request) {
  return run_import_dialog(owner_, request);
}

}  // namespace folivra
