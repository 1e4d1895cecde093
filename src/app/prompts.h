#pragma once

#include <string>

#include "editor/dialog_requests.h"
#include "ui/font_choice.h"

namespace folivra {

// Everything modal the editor asks the user goes through here, so that tests
// can answer in place of a person and see what was asked.
class Prompts {
 public:
  virtual ~Prompts() = default;
  // The chosen path, or the empty text when cancelled.
  virtual std::string save_file(const SaveFileRequest& request) = 0;
  virtual std::string open_file(const OpenFileRequest& request) = 0;
  virtual bool choose_font(FontChoice& choice) = 0;
  virtual Answer show_message(const Message& message) = 0;
  // The accepted password of a protected book, or the empty text.
  virtual std::string ask_open_password(const std::string& file_name,
                                        const std::string& check_value,
                                        const std::string& hint) = 0;
  // After a cancel: the password and hint it was given.
  virtual NewPassword ask_new_password(const std::string& file_name, const std::string& password,
                                       const std::string& hint) = 0;
  virtual TextImportChoice choose_text_import(const TextImportRequest& request) = 0;
};

}  // namespace folivra
