#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace folivra {

// Replaces the whole content of a rich-edit control with RTF text.
void load_rtf(HWND rich_edit, std::string_view rtf);

// Replaces it with a chapter's content: RTF as RTF, anything else as GBK
// text. Where the control lays out a large text slowly, one of more than
// `piece_characters` characters goes in piece by piece; the control ends as
// a load at once leaves it, and says nothing of it as a change.
inline constexpr size_t kLoadPieceCharacters = 50000;
void load_chapter_text(HWND rich_edit, std::string_view content,
                       size_t piece_characters = kLoadPieceCharacters);

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

// The control's text as its character positions count it: each paragraph
// one '\r'.
std::wstring control_text(HWND rich_edit);

// Replaces ranges of the control's text, each taking the formatting of the
// text it replaces; undoable in the control. Ranges must not overlap.
struct TextReplacement {
  LONG start = 0, length = 0;
  std::wstring text;
};
void apply_replacements(HWND rich_edit, const std::vector<TextReplacement>& replacements);

// A chapter's content after the replacements `plan` makes for its text,
// done in a hidden control of the same class as `like` so that every other
// character keeps its formatting; nothing when the plan replaces nothing.
std::optional<std::string> replace_in_chapter_text(
    HWND like, std::string_view content,
    const std::function<std::vector<TextReplacement>(const std::wstring&)>& plan);

}  // namespace folivra
