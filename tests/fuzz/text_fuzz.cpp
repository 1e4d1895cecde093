// libFuzzer target: chapter texts as other programs write them, RTF or
// plain. The operations on stored text must never touch what they do not
// change: a replacement changes the text exactly where it was asked to, and
// a cut, put back together, holds every character.
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <string>

#include "fuzz/rtf_reference.h"
#include "text/chapter_cut.h"
#include "text/plain_text.h"
#include "text/rtf_check.h"
#include "text/text_replace.h"
#include "text/text_search.h"
#include "text/view_marks.h"

using namespace folivra;

namespace {

// A regular expression from a small grammar, chosen by the input's bytes:
// atoms, classes, anchors, lookarounds, groups, alternation and repeats,
// nested, so that patterns that backtrack hard come up often.
std::u16string pattern_from(const uint8_t* data, size_t size) {
  static const char16_t* const atoms[] = {u"a",   u".",        u"\\w",        u"[^。]", u"林",
                                          u"^",   u"$",        u"\\r",        u"(?=a)", u"(?<=\\s)",
                                          u"\\b", u"\\p{Han}", u"\\x{1F600}", u"[a-z]", u" "};
  static const char16_t* const repeats[] = {u"", u"*", u"+", u"?", u"{2,5}", u"*?", u"++", u""};
  std::u16string out;
  int open = 0;
  for (size_t i = 0; i < std::min<size_t>(size, 12); ++i) {
    const uint8_t b = data[size - 1 - i];  // the end: the start is the text's own
    switch (b % 5) {
      case 0:
        out += u"(";
        ++open;
        break;
      case 1:
        if (open > 0) {
          out += u")";
          out += repeats[(b >> 3) % 8];
          --open;
        } else {
          out += u"|";
        }
        break;
      default:
        out += atoms[(b >> 3) % 15];
        out += repeats[b % 8];
    }
  }
  while (open-- > 0) out += u")+";
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string content(reinterpret_cast<const char*>(data), size);
  rtf_fits_control(content);
  count_line_breaks(content);
  const std::u16string text = chapter_text16(content);
  // The walk reads what a second, plain reader of the same rules reads.
  if (looks_like_rtf(content)) {
    const std::optional<std::u16string> reference = reference_rtf_text(content);
    if (reference && *reference != text) std::abort();
  }

  // Nothing to replace: the very same bytes.
  if (const auto same = replace_in_content(content, {}); same && *same != content) std::abort();
  // One character (or none, at the end) replaced: that place changes, no other.
  const size_t at = text.empty() ? 0 : size % (text.size() + 1);
  const size_t length = at < text.size() ? 1 : 0;
  for (const std::u16string& with : {std::u16string(u"X"), std::u16string(u"{\\}中\U0001F600")}) {
    const auto replaced = replace_in_content(content, {{at, length, with}});
    if (!replaced) continue;
    std::u16string expected = text;
    expected.replace(at, length, with);
    if (chapter_text16(*replaced) != expected) std::abort();
  }
  // Any expression, with its limits on: matches in order, inside the text,
  // never empty, never overlapping; each found again where it was found.
  const uint8_t flags = size ? data[0] : 0;
  if (const auto pattern = TextPattern::make(
          pattern_from(data, size),
          {.match_case = (flags & 1) != 0, .whole_word = (flags & 2) != 0, .regex = true})) {
    const TextMatches all = pattern->find_all(text);
    size_t end = 0;
    for (const TextMatch& m : all.found) {
      if (m.start < end || m.length == 0 || m.start + m.length > text.size()) std::abort();
      end = m.start + m.length;
      if (all.end == SearchEnd::whole &&
          pattern->replacement(text, m, u"$&") != text.substr(m.start, m.length)) {
        std::abort();
      }
    }
  }
  // The night view's colours laid over and taken off: the same text; a
  // text without the night colour comes through untouched.
  if (looks_like_rtf(content)) {
    const std::string night = with_night_colours(content);
    if (chapter_text16(night) != text) std::abort();
    if (chapter_text16(without_view_marks(night, {marked_spacing(15), true})) != text) std::abort();
  }
  if (without_view_marks(content, {}) != content) std::abort();
  // A cut falls where it was asked to; plain text is cut byte for byte.
  if (const auto halves = cut_chapter_content(content, at)) {
    // A paragraph break just before the cut ends the first half, and shows
    // nothing there.
    const size_t first = chapter_text_length(halves->first);
    if (first != at && !(first + 1 == at && text[at - 1] == u'\r')) std::abort();
    if (!looks_like_rtf(content) && halves->first + halves->second != content) std::abort();
  }
  return 0;
}
