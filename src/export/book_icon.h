#pragma once

#include <string>

namespace folivra {

// The icon of book files, "ico.ico": a closed book in three 24-bit images of
// 16, 32 and 48 pixels (11,502 bytes).
std::string book_icon_file();

// The program's own icon (resources/folivra.ico): the same book in 16, 20
// and 24 pixels of 32-bit colour with alpha, and 32, 48 and 256 pixels as
// PNG, for every scaling of the screen.
std::string program_icon_file();

}  // namespace folivra
