#pragma once

#include <windows.h>
#include <richedit.h>

#include <string>

namespace folivra {

// A rich-edit control's default character format with every part set: a
// control left to its own defaults for the rest shows its text bold under
// Wine. Regular weight, no effects, automatic colours, `face` at `points`.
CHARFORMAT2W plain_char_format(const std::wstring& face, int points);

// Sets it as the control's default format.
void set_plain_default_format(HWND rich_edit, const std::wstring& face, int points);

}  // namespace folivra
