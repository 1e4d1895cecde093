#include "text/text_search.h"

#include <algorithm>
#include <functional>

namespace folivra {

namespace {

char16_t fold(char16_t c) {
  if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 32);
  if (c >= 0xFF21 && c <= 0xFF3A) return static_cast<char16_t>(c + 32);  // full-width letters
  if ((c >= 0xC0 && c <= 0xDE && c != 0xD7)) return static_cast<char16_t>(c + 32);
  return c;
}

bool is_word_unit(char16_t c) {
  return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') ||
         c == u'_' || (c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7);
}

// wchar_t is UTF-16 on Windows and wider elsewhere; each unit is kept as
// one wchar_t either way, so regex positions are UTF-16 positions.
std::wstring widen(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

std::u16string narrow(std::wstring_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (wchar_t c : text) out += static_cast<char16_t>(c);
  return out;
}

}  // namespace

std::optional<TextPattern> TextPattern::make(std::u16string_view pattern, SearchOptions options) {
  if (pattern.empty()) return std::nullopt;
  TextPattern out;
  out.options_ = options;
  if (options.regex) {
    std::wstring source = widen(pattern);
    if (options.whole_word) source = L"\\b(?:" + source + L")\\b";
    auto flags = std::regex::ECMAScript;
    if (!options.match_case) flags |= std::regex::icase;
    try {
      out.regex_ = std::wregex(source, flags);
    } catch (const std::regex_error&) {
      return std::nullopt;
    }
  } else {
    out.literal_ = pattern;
    if (!options.match_case)
      std::transform(out.literal_.begin(), out.literal_.end(), out.literal_.begin(), fold);
  }
  return out;
}

bool TextPattern::fits_words(std::u16string_view text, size_t start, size_t length) const {
  if (!options_.whole_word) return true;
  const bool before = start > 0 && is_word_unit(text[start - 1]) && is_word_unit(text[start]);
  const size_t end = start + length;
  const bool after = end < text.size() && is_word_unit(text[end]) && is_word_unit(text[end - 1]);
  return !before && !after;
}

std::vector<TextMatch> TextPattern::find_all(std::u16string_view text) const {
  std::vector<TextMatch> out;
  if (options_.regex) {
    // Paragraph by paragraph, and a long paragraph in pieces: the library's
    // matcher recurses along the text it matches, and a long run could
    // exhaust the stack. A match across two pieces of one paragraph is missed.
    constexpr size_t kPiece = 1000;
    for (size_t begin = 0; begin <= text.size();) {
      size_t end = text.find(u'\r', begin);
      if (end == std::u16string_view::npos) end = text.size();
      end = std::min(end, begin + kPiece);
      const std::wstring line = widen(text.substr(begin, end - begin));
      for (auto it = std::wsregex_iterator(line.begin(), line.end(), regex_);
           it != std::wsregex_iterator(); ++it) {
        if (it->length(0) == 0) continue;  // an empty match selects nothing
        out.push_back(
            {begin + static_cast<size_t>(it->position(0)), static_cast<size_t>(it->length(0))});
      }
      begin = end < text.size() && text[end] == u'\r' ? end + 1 : end;
      if (end == text.size()) break;
    }
    return out;
  }
  const size_t n = literal_.size();
  if (text.size() < n) return out;
  const auto equal = options_.match_case ? +[](char16_t a, char16_t b) { return a == b; }
                                         : +[](char16_t a, char16_t b) { return fold(a) == b; };
  const std::boyer_moore_horspool_searcher searcher(literal_.begin(), literal_.end());
  auto at = text.begin();
  while (at != text.end()) {
    const auto found = options_.match_case
                           ? std::search(at, text.end(), searcher)
                           : std::search(at, text.end(), literal_.begin(), literal_.end(), equal);
    if (found == text.end()) break;
    const size_t start = static_cast<size_t>(found - text.begin());
    if (fits_words(text, start, n)) {
      out.push_back({start, n});
      at = found + static_cast<std::ptrdiff_t>(n);
    } else {
      at = found + 1;
    }
  }
  return out;
}

std::optional<TextMatch> TextPattern::find_next(std::u16string_view text, size_t from) const {
  for (const TextMatch& m : find_all(text)) {
    if (m.start >= from) return m;
  }
  return std::nullopt;
}

std::optional<TextMatch> TextPattern::find_previous(std::u16string_view text, size_t from) const {
  std::optional<TextMatch> last;
  for (const TextMatch& m : find_all(text)) {
    if (m.start + m.length > from) break;
    last = m;
  }
  return last;
}

std::u16string TextPattern::replacement(std::u16string_view text, const TextMatch& match,
                                        std::u16string_view with) const {
  if (!options_.regex) return std::u16string(with);
  // The matched text alone: what find_all matched is all there is to fill
  // the groups from, and no more text is walked than was matched.
  const std::wstring wide = widen(text.substr(match.start, match.length));
  std::wsmatch found;
  const auto begin = wide.begin();
  const auto flags = std::regex_constants::match_continuous;
  if (!std::regex_search(begin, wide.end(), found, regex_, flags)) {
    return std::u16string(with);
  }
  return narrow(found.format(widen(with)));
}

std::u16string context_line(std::u16string_view text, const TextMatch& match, size_t width) {
  size_t begin = match.start, end = std::min(text.size(), match.start + match.length);
  while (begin > 0 && match.start - begin < width && text[begin - 1] != u'\r') --begin;
  while (end < text.size() && end - match.start - match.length < width && text[end] != u'\r') ++end;
  return std::u16string(text.substr(begin, end - begin));
}

}  // namespace folivra
