#include "app/prompts.h"
#include "editor/font_dialog.h"

namespace folivra {

std::string WindowsPrompts::save_file(const SaveFileRequest& request) {
  return save_file_dialog(request);
}

std::string WindowsPrompts::open_file(const OpenFileRequest& request) {
  return open_file_dialog(request);
}

bool WindowsPrompts::choose_font(HWND owner, FontChoice& choice) {
  return show_font_dialog(owner, choice);
}

}  // namespace folivra
