#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace folivra {

// A chapter's text as the reader sees it, in UTF-8 lines (a paragraph or
// line break ends a line). Characters from \uN survive; a lone byte that is
// no text becomes U+FFFD.
std::vector<std::string> plain_lines(std::string_view content);

}  // namespace folivra
