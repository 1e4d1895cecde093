#pragma once

#include <windows.h>

#include "app/prompts.h"

namespace folivra {

// The real dialogs, over the main window.
class WindowsPrompts : public Prompts {
 public:
  void set_owner(HWND owner) { owner_ = owner; }

  std::string save_file(const SaveFileRequest& request) override;
  std::string open_file(const OpenFileRequest& request) override;
  bool choose_font(FontChoice& choice) override;
  Answer show_message(const Message& message) override;
  std::string ask_open_password(const std::string& file_name, const std::string& check_value,
                                const std::string& hint) override;
  NewPassword ask_new_password(const std::string& file_name, const std::string& password,
                               const std::string& hint) override;
  TextImportChoice choose_text_import(const TextImportRequest& request) override;

 private:
  HWND owner_ = nullptr;
};

// A message box as the program shows them (also for the password dialog's own messages).
Answer message_box(HWND owner, const Message& message);

}  // namespace folivra
