#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace folivra {

// A range of a chapter's text, in the positions of chapter_text16 (the
// control's), and what takes its place.
struct ContentReplacement {
  size_t start = 0, length = 0;
  std::u16string text;
};

// The content with the ranges replaced (in order, not overlapping). Every
// stored byte outside the replaced characters stays as it was, formatting
// words between them too, and a replacement takes the formatting in effect
// where it starts. A plain-text content stays plain unless a replacement
// holds a character GBK lacks. Nothing when a range lies beyond the text or
// the text cannot be followed.
std::optional<std::string> replace_in_content(std::string_view content,
                                              const std::vector<ContentReplacement>& replacements);

}  // namespace folivra
