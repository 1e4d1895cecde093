#pragma once

#include <string>
#include <string_view>

namespace folivra {

// The last component of a GBK path the way the Windows shell finds it
// (a trailing backslash gives the empty text), with or without its extension.
std::string file_name_of(std::string_view path, bool with_extension);

}  // namespace folivra
