#pragma once

#include <cstddef>
#include <optional>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

namespace folivra {

struct SearchOptions {
  bool match_case = false;
  bool whole_word = false;  // for Latin text: no letter or digit on either side
  bool regex = false;       // ECMAScript
};

struct TextMatch {
  size_t start = 0, length = 0;
  bool operator==(const TextMatch&) const = default;
};

// What to look for in UTF-16 text (chapter_text16): literal text or a
// regular expression. Positions are UTF-16 units.
class TextPattern {
 public:
  // Nothing for an empty pattern or a regular expression that does not parse.
  static std::optional<TextPattern> make(std::u16string_view pattern, SearchOptions options);

  std::vector<TextMatch> find_all(std::u16string_view text) const;
  // The first match starting at or after `from`, or backwards the last one
  // ending at or before `from`; neither wraps.
  std::optional<TextMatch> find_next(std::u16string_view text, size_t from) const;
  std::optional<TextMatch> find_previous(std::u16string_view text, size_t from) const;
  // What replaces `match`: `with` as it is, or for a regular expression with
  // $1, $& and the like filled in.
  std::u16string replacement(std::u16string_view text, const TextMatch& match,
                             std::u16string_view with) const;

 private:
  TextPattern() = default;
  bool fits_words(std::u16string_view text, size_t start, size_t length) const;

  std::u16string literal_;  // folded when the case does not count
  SearchOptions options_;
  std::wregex regex_;
};

// The line around a match, for a list of hits: at most `width` units on
// each side, within the match's line.
std::u16string context_line(std::u16string_view text, const TextMatch& match, size_t width = 30);

}  // namespace folivra
