#pragma once

#include <windows.h>

#include <string_view>

namespace folivra {

// Decodes picture bytes (JPEG, PNG, GIF, BMP, TIFF, ICO: what Windows'
// imaging component reads) into a bitmap fitted inside width x height,
// keeping its proportions and never enlarged; transparency shows white.
// Null when the bytes are empty or not a picture.
HBITMAP decode_cover(std::string_view bytes, int width, int height);

}  // namespace folivra
