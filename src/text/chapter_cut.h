#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/rtf_walk.h"

namespace folivra {

// Cutting and joining chapter contents without a rich-edit control, for
// zqb. Contents are RTF, or plain GBK text when they do not look like RTF.

// The content cut before character `at` of its text, the formatting in
// effect there carried into the second half. Nothing when `at` is beyond
// the text or the RTF cannot be followed (unbalanced groups).
struct ContentHalves {
  std::string first, second;
};
std::optional<ContentHalves> cut_chapter_content(std::string_view content, size_t at);

// The content cut after line breaks into pieces of at least `characters`
// characters of text or `breaks` line breaks (the last may have fewer), each a content of its own
// that opens with the formatting in effect where it starts. Added one after
// another at the end of a rich-edit control, they hold the whole text. One
// piece when the text is shorter, the RTF cannot be followed, or a piece
// would have to open with more than 64 KB of formatting.
std::vector<std::string> cut_into_pieces(std::string_view content, size_t characters,
                                         size_t breaks = SIZE_MAX);

// A plain-text content as RTF with the same text.
std::string plain_content_as_rtf(std::string_view content);

// Both contents as one, the second starting a new paragraph. The second
// half's own tables are dropped: its text takes the first one's fonts.
std::string join_chapter_contents(std::string_view first, std::string_view second);

}  // namespace folivra
