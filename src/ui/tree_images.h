#pragma once

#include <windows.h>
#include <commctrl.h>

namespace folivra {

// The chapter tree's three images of `size` pixels (16 at 96 DPI): 0 the
// book, 1 an open book, 2 a chapter.
HIMAGELIST make_tree_images(int size);
// The program's icon, a closed book, drawn at the given size.
HICON draw_app_icon(int size);
// The password dialog's picture: a padlock.
HICON draw_lock_icon(int size);

}  // namespace folivra
