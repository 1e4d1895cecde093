#pragma once

#include <string>

namespace folivra {

// The icon of book files, "ico.ico": a closed book in three 24-bit images of
// 16, 32 and 48 pixels (11,502 bytes).
std::string book_icon_file();

}  // namespace folivra
