#pragma once

#include <windows.h>

#include <string>

namespace folivra {

// The picture on the clipboard as the bytes of a BMP file; empty when the
// clipboard holds no picture.
std::string clipboard_picture(HWND owner);

}  // namespace folivra
