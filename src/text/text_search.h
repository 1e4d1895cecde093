#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct pcre2_real_code_16;

namespace folivra {

struct SearchOptions {
  bool match_case = false;
  bool whole_word = false;  // for Latin text: no letter or digit on either side
  bool regex = false;       // Perl-compatible, Unicode-aware; ^ and $ at every paragraph
};

struct TextMatch {
  size_t start = 0, length = 0;
  bool operator==(const TextMatch&) const = default;
};

// How a search over one text ended: at its end, at a paragraph where the
// expression needed more work than any paragraph may take, or stopped.
enum class SearchEnd { whole, too_complex, stopped };

struct TextMatches {
  std::vector<TextMatch> found;  // in order, not overlapping, none empty
  SearchEnd end = SearchEnd::whole;
};

// What to look for in UTF-16 text (chapter_text16): literal text or a
// regular expression. Positions are UTF-16 units. A pattern is immutable and
// may be used from several threads at once.
class TextPattern {
 public:
  // Nothing for an empty pattern or a regular expression that does not parse.
  static std::optional<TextPattern> make(std::u16string_view pattern, SearchOptions options);

  // Every match in `text`. `stop`, when set by another thread, ends the
  // search between paragraphs.
  TextMatches find_all(std::u16string_view text, const std::atomic<bool>* stop = nullptr) const;
  // Whether the whole of `text` matches (a heading rule over one line);
  // nothing when the expression needed more work than it may take.
  std::optional<bool> matches_whole(std::u16string_view text) const;
  // What replaces `match` (one that find_all gave for `text`): `with` as it
  // is, or for a regular expression with $&, $1…$99, ${name}, $` , $' and $$
  // filled in from that match, which sees the text around it.
  std::u16string replacement(std::u16string_view text, const TextMatch& match,
                             std::u16string_view with) const;
  bool is_regex() const { return options_.regex; }

 private:
  TextPattern() = default;
  bool fits_words(std::u16string_view text, size_t start, size_t length) const;
  TextMatches find_literal(std::u16string_view text) const;
  TextMatches find_regex(std::u16string_view text, const std::atomic<bool>* stop) const;

  std::u16string literal_;  // folded when the case does not count
  SearchOptions options_;
  std::shared_ptr<const pcre2_real_code_16> regex_;
};

// Of `all`, the first match starting at or after `from`, or backwards the
// last one ending at or before `from`; neither wraps.
std::optional<TextMatch> next_match(const std::vector<TextMatch>& all, size_t from);
std::optional<TextMatch> previous_match(const std::vector<TextMatch>& all, size_t from);

// The line around a match, for a list of hits: at most `width` units on
// each side, within the match's line.
std::u16string context_line(std::u16string_view text, const TextMatch& match, size_t width = 30);

}  // namespace folivra
