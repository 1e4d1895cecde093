#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace folivra {

// What the file choosers are given; absent values take the defaults:
// the current directory, the titles "保存文件"/"打开文件", the default filters.
struct SaveFileRequest {
  HWND owner = nullptr;
  std::optional<std::string> initial_directory;  // GBK
  std::optional<std::string> title;
  std::string default_name;
  std::optional<std::string> filter;
  int filter_index = 1;
  bool keep_directory = false;  // false: the current directory is put back afterwards
};

struct OpenFileRequest {
  HWND owner = nullptr;
  std::optional<std::string> initial_directory;
  std::optional<std::string> title;
  std::optional<std::string> filter;
  bool keep_directory = false;
};

// The platform's choosers. The chosen path in GBK, or the empty text when
// the user cancelled (or the dialog failed).
std::string save_file_dialog(const SaveFileRequest& request);
std::string open_file_dialog(const OpenFileRequest& request);

}  // namespace folivra
