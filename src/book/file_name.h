#pragma once

#include <string>
#include <string_view>

namespace folivra {

// The last component of a GBK path the way the Windows shell finds it
// (a trailing backslash gives the empty text), with or without its extension.
std::string file_name_of(std::string_view path, bool with_extension);
// The folder part of a GBK path, without a trailing backslash.
std::string folder_of(std::string_view path);
// A title as a file name Windows takes: the characters it forbids in names
// (\ / : * ? " < > | and control characters) become '_', and trailing dots
// and spaces go.
std::string safe_file_name(std::string_view title);

}  // namespace folivra
