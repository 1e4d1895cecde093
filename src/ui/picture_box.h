#pragma once

#include <windows.h>

namespace folivra {

// A white box with a single-line border that shows a bitmap centred in it.
HWND create_picture_box(HWND parent, int left, int top, int width, int height);
// The box does not own the bitmap; null shows the box empty.
void set_picture(HWND box, HBITMAP bitmap);
HBITMAP picture_of(HWND box);

}  // namespace folivra
