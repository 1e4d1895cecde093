#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "book/gbk.h"  // append_utf8

namespace folivra {

// A chapter's text as the reader sees it, in UTF-8 lines (a paragraph or
// line break ends a line). Characters from \uN survive; a lone byte that is
// no text becomes U+FFFD.
std::vector<std::string> plain_lines(std::string_view content);
// The same lines joined by `line_end` (none after the last), added to `out`.
void append_plain_text(std::string& out, std::string_view content, std::string_view line_end);

// The same text as the rich-edit control holds it: UTF-16, each paragraph
// or line break one '\r'. Unit i is the control's character position i, so
// a match found here is selected in the control at the same place.
std::u16string chapter_text16(std::string_view content);

// GBK text (names, title, introduction) and UTF-8 as UTF-16.
std::u16string utf8_to_utf16(std::string_view utf8);
std::u16string gbk_to_utf16(std::string_view gbk);
// UTF-16 as UTF-8; a lone surrogate becomes U+FFFD.
std::string utf16_to_utf8(std::u16string_view text);

}  // namespace folivra
