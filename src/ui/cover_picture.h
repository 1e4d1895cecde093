#pragma once

#include <windows.h>

#include <string_view>

namespace folivra {

// Decodes picture bytes (BMP, JPEG, GIF, ICO and what else the system reads)
// into a bitmap fitted inside width x height, keeping its proportions.
// Null when the bytes are empty or not a picture.
HBITMAP decode_cover(std::string_view bytes, int width, int height);

}  // namespace folivra
