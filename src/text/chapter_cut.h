#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace folivra {

// Cutting and joining chapter contents without a rich-edit control, for
// zqb. Contents are RTF, or plain GBK text when they do not look like RTF.

// The characters of a content's text, as the editor counts them: a GBK
// character, a \uN and a paragraph break are one each.
size_t chapter_text_length(std::string_view content);

// The content cut before character `at` of its text, the formatting in
// effect there carried into the second half. Nothing when `at` is beyond
// the text or the RTF cannot be followed (unbalanced groups).
struct ContentHalves {
  std::string first, second;
};
std::optional<ContentHalves> cut_chapter_content(std::string_view content, size_t at);

// Both contents as one, the second starting a new paragraph. The second
// half's own tables are dropped: its text takes the first one's fonts.
std::string join_chapter_contents(std::string_view first, std::string_view second);

}  // namespace folivra
