#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace folivra {

// Replaces the whole content of a rich-edit control with RTF text.
void load_rtf(HWND rich_edit, std::string_view rtf);

// Replaces it with a chapter's content: RTF as RTF, anything else as GBK text.
void load_chapter_text(HWND rich_edit, std::string_view content);

// The RTF of the whole control, or of its selection only.
std::string save_rtf(HWND rich_edit, bool selection_only = false);

// Chapters cut and joined by a hidden control of the same class as
// `like`, so that formatting survives on both sides of the cut.
struct RtfHalves {
  std::string first, second;
};
RtfHalves split_chapter_text(HWND like, std::string_view content, LONG at);
// The two texts as one, the second starting a new paragraph.
std::string join_chapter_texts(HWND like, std::string_view first, std::string_view second);

}  // namespace folivra
