#pragma once

#include <windows.h>

#include <string>

#include "editor/dialog_requests.h"

namespace folivra {

// The platform's choosers, modal over `owner`. The chosen path in GBK, or
// the empty text when the user cancelled (or the dialog failed). A path GBK
// cannot hold comes as GB18030 (see wide_to_path_text).
std::string save_file_dialog(HWND owner, const SaveFileRequest& request);
std::string open_file_dialog(HWND owner, const OpenFileRequest& request);

}  // namespace folivra
