#pragma once

#include <windows.h>

#include <string_view>

namespace folivra {

// Replaces the whole content of a rich-edit control with RTF text.
void load_rtf(HWND rich_edit, std::string_view rtf);

// Replaces it with a chapter's content: RTF as RTF, anything else as GBK text.
void load_chapter_text(HWND rich_edit, std::string_view content);

}  // namespace folivra
