#include "text/text_search.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <new>

#include <pcre2.h>

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

// Work a regular expression may do from one starting position before the
// search gives up on it as too complex (a pathological pattern reaches it
// within tens of milliseconds), and the time one text's search may take in
// all: a pattern that backtracks over every position of a long paragraph
// stays under the first and is ended by the second.
constexpr uint32_t kMatchLimit = 10'000'000;
constexpr uint32_t kDepthLimit = 100'000;
constexpr uint32_t kHeapLimitKiB = 64 * 1024;
constexpr auto kTextBudget = std::chrono::seconds(2);

// A letter or digit of Latin text, as whole-word matching sees it.
constexpr std::u16string_view kWordClass =
    u"[0-9A-Za-z_\\x{C0}-\\x{D6}\\x{D8}-\\x{F6}\\x{F8}-\\x{24F}]";

PCRE2_SPTR16 units(std::u16string_view text) { return reinterpret_cast<PCRE2_SPTR16>(text.data()); }

// What one search needs for itself: match data, limits, a JIT stack when
// the machine stack is too small, and the callout that every starting
// position passes (the pattern begins with it), where a stop and the time
// budget are seen.
class Matcher {
 public:
  Matcher(const pcre2_code_16* code, const std::atomic<bool>* stop)
      : code_(code),
        data_(pcre2_match_data_create_from_pattern_16(code, nullptr)),
        context_(pcre2_match_context_create_16(nullptr)),
        stop_(stop),
        deadline_(std::chrono::steady_clock::now() + kTextBudget) {
    if (!data_ || !context_) throw std::bad_alloc();
    pcre2_set_match_limit_16(context_.get(), kMatchLimit);
    pcre2_set_depth_limit_16(context_.get(), kDepthLimit);
    pcre2_set_heap_limit_16(context_.get(), kHeapLimitKiB);
    pcre2_set_callout_16(context_.get(), &Matcher::at_start, this);
  }

  // A match (0 or more), PCRE2_ERROR_NOMATCH, or an end: stopped() or too
  // complex. A match may start at `limit` at the latest.
  int match(std::u16string_view text, size_t from, uint32_t options, size_t limit) {
    pcre2_set_offset_limit_16(context_.get(), limit);
    int result =
        pcre2_match_16(code_, units(text), text.size(), from, options, data_.get(), context_.get());
    if (result == PCRE2_ERROR_JIT_STACKLIMIT && !stack_) {
      // Mapped only for the rare expression that needs it: mapping 8 MB for
      // every text cost more than matching short chapters.
      stack_.reset(pcre2_jit_stack_create_16(32 * 1024, 8 * 1024 * 1024, nullptr));
      if (!stack_) return result;
      pcre2_jit_stack_assign_16(context_.get(), nullptr, stack_.get());
      result = pcre2_match_16(code_, units(text), text.size(), from, options, data_.get(),
                              context_.get());
    }
    return result;
  }
  const PCRE2_SIZE* groups() const { return pcre2_get_ovector_pointer_16(data_.get()); }
  bool stopped() const { return stopped_; }

 private:
  static int at_start(pcre2_callout_block_16*, void* self) {
    Matcher& m = *static_cast<Matcher*>(self);
    if (m.stop_ && m.stop_->load(std::memory_order_relaxed)) {
      m.stopped_ = true;
      return PCRE2_ERROR_CALLOUT;
    }
    if (++m.calls_ % 256 == 0 && std::chrono::steady_clock::now() > m.deadline_) {
      return PCRE2_ERROR_CALLOUT;
    }
    return 0;
  }

  struct Free {
    void operator()(pcre2_match_data_16* p) const { pcre2_match_data_free_16(p); }
    void operator()(pcre2_match_context_16* p) const { pcre2_match_context_free_16(p); }
    void operator()(pcre2_jit_stack_16* p) const { pcre2_jit_stack_free_16(p); }
  };

  const pcre2_code_16* code_;
  std::unique_ptr<pcre2_match_data_16, Free> data_;
  std::unique_ptr<pcre2_match_context_16, Free> context_;
  std::unique_ptr<pcre2_jit_stack_16, Free> stack_;
  const std::atomic<bool>* stop_;
  std::chrono::steady_clock::time_point deadline_;
  uint64_t calls_ = 0;
  bool stopped_ = false;
};

// The pattern as compiled: the starting callout first, after any leading
// (*VERB) settings, which must stay in front.
std::u16string with_start_callout(std::u16string_view pattern) {
  size_t verbs = 0;
  while (pattern.substr(verbs).starts_with(u"(*")) {
    const size_t close = pattern.find(u')', verbs);
    if (close == std::u16string_view::npos) break;
    const std::u16string_view name = pattern.substr(verbs + 2, close - verbs - 2);
    const bool setting = !name.empty() && std::all_of(name.begin(), name.end(), [](char16_t c) {
      return (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_' || c == u'=';
    });
    if (!setting) break;
    verbs = close + 1;
  }
  return std::u16string(pattern.substr(0, verbs)) + u"(?C1)(?:" +
         std::u16string(pattern.substr(verbs)) + u")";
}

bool is_high_surrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool is_low_surrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

size_t next_character(std::u16string_view text, size_t at) {
  if (at + 1 < text.size() && is_high_surrogate(text[at]) && is_low_surrogate(text[at + 1])) {
    return at + 2;
  }
  return at + 1;
}

}  // namespace

std::optional<TextPattern> TextPattern::make(std::u16string_view pattern, SearchOptions options) {
  if (pattern.empty()) return std::nullopt;
  TextPattern out;
  out.options_ = options;
  if (!options.regex) {
    out.literal_ = pattern;
    if (!options.match_case)
      std::transform(out.literal_.begin(), out.literal_.end(), out.literal_.begin(), fold);
    return out;
  }
  std::u16string source(pattern);
  if (options.whole_word) {
    // The literal search's rule: no Latin letter or digit on both sides of
    // either end of the match.
    const std::u16string bound =
        u"(?!(?<=" + std::u16string(kWordClass) + u")" + std::u16string(kWordClass) + u")";
    source = bound + u"(?:" + source + u")" + bound;
  }
  source = with_start_callout(source);
  uint32_t flags = PCRE2_UTF | PCRE2_UCP | PCRE2_MULTILINE | PCRE2_MATCH_INVALID_UTF |
                   PCRE2_USE_OFFSET_LIMIT | PCRE2_NEVER_BACKSLASH_C;
  if (!options.match_case) flags |= PCRE2_CASELESS;
  std::unique_ptr<pcre2_compile_context_16, decltype(&pcre2_compile_context_free_16)> context(
      pcre2_compile_context_create_16(nullptr), pcre2_compile_context_free_16);
  if (!context) return std::nullopt;
  pcre2_set_newline_16(context.get(), PCRE2_NEWLINE_ANYCRLF);
  int error = 0;
  PCRE2_SIZE error_at = 0;
  pcre2_code_16* code =
      pcre2_compile_16(units(source), source.size(), flags, &error, &error_at, context.get());
  if (!code) return std::nullopt;
  pcre2_jit_compile_16(code, PCRE2_JIT_COMPLETE);  // without the JIT the interpreter matches
  out.regex_.reset(
      code, [](const pcre2_code_16* c) { pcre2_code_free_16(const_cast<pcre2_code_16*>(c)); });
  return out;
}

bool TextPattern::fits_words(std::u16string_view text, size_t start, size_t length) const {
  if (!options_.whole_word) return true;
  const bool before = start > 0 && is_word_unit(text[start - 1]) && is_word_unit(text[start]);
  const size_t end = start + length;
  const bool after = end < text.size() && is_word_unit(text[end]) && is_word_unit(text[end - 1]);
  return !before && !after;
}

TextMatches TextPattern::find_all(std::u16string_view text, const std::atomic<bool>* stop) const {
  return options_.regex ? find_regex(text, stop) : find_literal(text);
}

// The whole text at once, so that a match may run as far as the expression
// says and lookarounds see the real text; each call may start a match only
// within one paragraph, so that the work limit is a paragraph's and a stop
// is seen between paragraphs.
TextMatches TextPattern::find_regex(std::u16string_view text, const std::atomic<bool>* stop) const {
  TextMatches out;
  Matcher matcher(regex_.get(), stop);
  size_t paragraph_end = 0;
  bool have_end = false;
  for (size_t at = 0; at <= text.size();) {
    if (!have_end || at > paragraph_end) {
      if (stop && stop->load(std::memory_order_relaxed)) {
        out.end = SearchEnd::stopped;
        return out;
      }
      paragraph_end = std::min(text.find_first_of(u"\r\n", at), text.size());
      have_end = true;
    }
    int result = matcher.match(text, at, 0, paragraph_end);
    if (result >= 0 && matcher.groups()[0] == matcher.groups()[1]) {
      // An empty match selects nothing: a longer one at the same place, or on.
      const size_t empty_at = matcher.groups()[0];
      result = matcher.match(text, empty_at, PCRE2_NOTEMPTY_ATSTART | PCRE2_ANCHORED, empty_at);
      if (result == PCRE2_ERROR_NOMATCH) {
        at = next_character(text, empty_at);
        continue;
      }
    }
    if (result == PCRE2_ERROR_NOMATCH) {
      if (paragraph_end >= text.size()) break;
      at = paragraph_end + 1;
      continue;
    }
    if (result < 0) {
      out.end = matcher.stopped() ? SearchEnd::stopped : SearchEnd::too_complex;
      return out;
    }
    const size_t start = matcher.groups()[0], end = matcher.groups()[1];
    out.found.push_back({start, end - start});
    at = end;
  }
  return out;
}

TextMatches TextPattern::find_literal(std::u16string_view text) const {
  TextMatches out;
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
      out.found.push_back({start, n});
      at = found + static_cast<std::ptrdiff_t>(n);
    } else {
      at = found + 1;
    }
  }
  return out;
}

std::optional<bool> TextPattern::matches_whole(std::u16string_view text) const {
  if (!options_.regex) return text == literal_;
  Matcher matcher(regex_.get(), nullptr);
  const int result = matcher.match(text, 0, PCRE2_ANCHORED | PCRE2_ENDANCHORED, 0);
  if (result == PCRE2_ERROR_NOMATCH) return false;
  if (result < 0) return std::nullopt;
  return true;
}

std::u16string TextPattern::replacement(std::u16string_view text, const TextMatch& match,
                                        std::u16string_view with) const {
  if (!options_.regex) return std::u16string(with);
  // The match again where find_all found it, with the whole text around it.
  Matcher matcher(regex_.get(), nullptr);
  const int result =
      matcher.match(text, match.start, PCRE2_ANCHORED | PCRE2_NOTEMPTY_ATSTART, match.start);
  if (result < 0 || matcher.groups()[1] != match.start + match.length) {
    return std::u16string(with);
  }
  uint32_t count = 0;
  pcre2_pattern_info_16(regex_.get(), PCRE2_INFO_CAPTURECOUNT, &count);
  const PCRE2_SIZE* groups = matcher.groups();
  std::u16string out;
  const auto group = [&](size_t n) {
    if (groups[2 * n] != PCRE2_UNSET) {
      out.append(text.substr(groups[2 * n], groups[2 * n + 1] - groups[2 * n]));
    }
  };
  const auto digit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
  for (size_t i = 0; i < with.size(); ++i) {
    if (with[i] != u'$' || i + 1 == with.size()) {
      out += with[i];
      continue;
    }
    const char16_t next = with[i + 1];
    if (next == u'$' || next == u'&') {
      if (next == u'$')
        out += u'$';
      else
        group(0);
      ++i;
    } else if (digit(next)) {
      // $nn where there are that many groups, else $n.
      size_t n = static_cast<size_t>(next - u'0'), used = 1;
      if (i + 2 < with.size() && digit(with[i + 2]) &&
          n * 10 + static_cast<size_t>(with[i + 2] - u'0') <= count) {
        n = n * 10 + static_cast<size_t>(with[i + 2] - u'0');
        used = 2;
      }
      if (n > count) {
        out += u'$';
        continue;
      }
      group(n);
      i += used;
    } else if (next == u'{' && with.find(u'}', i + 2) != std::u16string_view::npos) {
      const size_t close = with.find(u'}', i + 2);
      const std::u16string name(with.substr(i + 2, close - i - 2));
      int n = -1;
      if (!name.empty() && std::all_of(name.begin(), name.end(), digit) && name.size() < 4) {
        n = std::stoi(std::string(name.begin(), name.end()));
      } else if (!name.empty()) {
        n = pcre2_substring_number_from_name_16(regex_.get(), units(name));
      }
      if (n < 0 || static_cast<uint32_t>(n) > count) {
        out += u'$';
        continue;
      }
      group(static_cast<size_t>(n));
      i = close;
    } else {
      out += u'$';
    }
  }
  return out;
}

std::optional<TextMatch> next_match(const std::vector<TextMatch>& all, size_t from) {
  for (const TextMatch& m : all) {
    if (m.start >= from) return m;
  }
  return std::nullopt;
}

std::optional<TextMatch> previous_match(const std::vector<TextMatch>& all, size_t from) {
  std::optional<TextMatch> last;
  for (const TextMatch& m : all) {
    if (m.start + m.length > from) break;
    last = m;
  }
  return last;
}

std::u16string context_line(std::u16string_view text, const TextMatch& match, size_t width) {
  size_t begin = match.start, end = std::min(text.size(), match.start + match.length);
  while (begin > 0 && match.start - begin < width && text[begin - 1] != u'\r') --begin;
  while (end < text.size() && end - match.start - match.length < width && text[end] != u'\r') ++end;
  return std::u16string(text.substr(begin, end - begin));
}

}  // namespace folivra
