#pragma once

#include <cstddef>
#include <string_view>

namespace folivra {

// Whether chapter content is RTF at all; other content is plain GBK text.
bool looks_like_rtf(std::string_view content);

// The deepest nesting of groups a rich-edit control takes: Wine's crashes on
// 33 nested groups (measured: 32 load, 33 crash), however balanced.
inline constexpr int kMaxControlDepth = 32;

// The longest paragraph an import makes: Wine's control lays out a
// paragraph in time that grows with the square of its length (16,000
// characters of Chinese take it 0.7 s).
inline constexpr size_t kMaxControlParagraph = 16000;

// Whether RTF is safe to hand to a rich-edit control: groups nested no
// deeper than `max_depth`, control words and numbers of a sane length,
// binary data the control skips as it is read here, no nested table with
// cells inside its row properties (Wine's control fails an assertion on
// those). The control crashes or takes gigabytes on what fails here. With
// kAnyDepth: whether RTF is sound apart from its depth and its tables (our
// own walk reads any). (How long it takes to lay out many paragraphs is a
// matter of count_line_breaks.)
bool rtf_fits_control(std::string_view rtf, int max_depth = kMaxControlDepth);
inline constexpr int kAnyDepth = 1 << 30;

// Whether its tables are of a shape the control takes (see above).
bool rtf_tables_fit_control(std::string_view rtf);

// The paragraph and line breaks of a chapter's content, RTF or plain text:
// what a control's layout costs grows with them.
size_t count_line_breaks(std::string_view content);

}  // namespace folivra
