#pragma once

#include <windows.h>

#include "ui/font_choice.h"

namespace folivra {

// The platform's font dialog, started from `choice`. True and the new choice
// when the user confirmed; false and `choice` untouched when cancelled.
bool show_font_dialog(HWND owner, FontChoice& choice);

}  // namespace folivra
