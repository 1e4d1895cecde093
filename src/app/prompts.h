#pragma once

#include <windows.h>

#include <string>

#include "editor/file_dialogs.h"
#include "editor/font_choice.h"

namespace folivra {

// Everything modal the editor asks the user goes through here, so that tests
// can answer in place of a person and see what was asked.
class Prompts {
 public:
  virtual ~Prompts() = default;
  virtual std::string save_file(const SaveFileRequest& request) = 0;
  virtual std::string open_file(const OpenFileRequest& request) = 0;
  virtual bool choose_font(HWND owner, FontChoice& choice) = 0;
};

// The real dialogs.
class WindowsPrompts : public Prompts {
 public:
  std::string save_file(const SaveFileRequest& request) override;
  std::string open_file(const OpenFileRequest& request) override;
  bool choose_font(HWND owner, FontChoice& choice) override;
};

}  // namespace folivra
