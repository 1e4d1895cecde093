#include "text/text_replace.h"

#include "book/gbk.h"
#include "text/chapter_cut.h"
#include "text/plain_text.h"
#include "text/rtf_check.h"

namespace folivra {

namespace {

struct Span {
  size_t begin, end;
};

bool ascii_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool ascii_digit(char c) { return c >= '0' && c <= '9'; }

// Whether RTF ending with `out` ends in a control word with no delimiter yet,
// which a letter, digit, '-' or space written next would become part of.
bool ends_in_open_control_word(std::string_view out) {
  size_t i = out.size();
  while (i > 0 && ascii_digit(out[i - 1])) --i;
  if (i > 0 && out[i - 1] == '-') --i;
  const size_t letters_end = i;
  while (i > 0 && ascii_letter(out[i - 1])) --i;
  if (i == letters_end || i == 0 || out[i - 1] != '\\') return false;
  size_t backslashes = 0;
  for (size_t k = i; k > 0 && out[k - 1] == '\\'; --k) ++backslashes;
  return backslashes % 2 == 1;
}

// One code point as GBK bytes, when GBK has it.
std::optional<std::string> gbk_character(uint32_t cp) {
  std::string utf8;
  append_utf8(utf8, cp);
  return utf8_to_gbk(utf8);
}

// UTF-16 as code points, a lone surrogate as itself.
template <typename Each>
void for_each_code_point(std::u16string_view text, Each each) {
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t cp = text[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[++i] - 0xDC00u);
    }
    each(cp);
  }
}

bool gbk_can_hold(std::u16string_view text) {
  bool all = true;
  for_each_code_point(text, [&](uint32_t cp) {
    if (cp >= 0x80 && !gbk_character(cp)) all = false;
  });
  return all;
}

std::string as_plain(std::u16string_view text) {
  std::string out;
  for_each_code_point(text, [&](uint32_t cp) {
    if (cp == '\r') {
      out += "\r\n";
    } else if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else {
      out += gbk_character(cp).value_or("?");
    }
  });
  return out;
}

// The text as RTF: characters GBK has as its bytes where the text around is
// read as GBK (`gbk_bytes`), every other one as \uN.
std::string as_rtf(std::u16string_view text, bool gbk_bytes) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for_each_code_point(text, [&](uint32_t cp) {
    if (cp == '\r') {
      out += "\\par ";
    } else if (cp == '\t') {
      out += "\\tab ";
    } else if (cp == '\\' || cp == '{' || cp == '}') {
      out += '\\';
      out += static_cast<char>(cp);
    } else if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (const std::optional<std::string> gbk = gbk_bytes ? gbk_character(cp) : std::nullopt;
               gbk && gbk->size() == 2) {
      for (const char b : *gbk) {
        out += "\\'";
        out += kHex[static_cast<unsigned char>(b) >> 4];
        out += kHex[static_cast<unsigned char>(b) & 15];
      }
    } else {
      // In a group of its own, so the \uc it needs changes nothing around it.
      const auto unit = [&](uint32_t u) {
        out += "{\\uc1\\u" + std::to_string(static_cast<int16_t>(u)) + "?}";
      };
      if (cp >= 0x10000) {
        unit(0xD800 + ((cp - 0x10000) >> 10));
        unit(0xDC00 + ((cp - 0x10000) & 0x3FF));
      } else {
        unit(cp);
      }
    }
  });
  return out;
}

std::optional<std::string> replace_with(std::string_view content,
                                        const std::vector<ContentReplacement>& replacements,
                                        bool gbk_bytes);

}  // namespace

std::optional<std::string> replace_in_content(std::string_view content,
                                              const std::vector<ContentReplacement>& replacements) {
  // GBK bytes are a quarter of the size, but only read as GBK where the
  // chapter's code page is 936; the result is checked, so the other form
  // follows where they were not.
  if (std::optional<std::string> out = replace_with(content, replacements, true)) return out;
  if (!looks_like_rtf(content)) return std::nullopt;
  return replace_with(content, replacements, false);
}

namespace {

std::optional<std::string> replace_with(std::string_view content,
                                        const std::vector<ContentReplacement>& replacements,
                                        bool gbk_bytes) {
  const bool rtf = looks_like_rtf(content);
  if (!rtf) {
    for (const ContentReplacement& r : replacements) {
      if (gbk_can_hold(r.text)) continue;
      // As RTF, where \uN can hold it, when that is the same text.
      const std::string as_rtf = plain_content_as_rtf(content);
      if (chapter_text16(as_rtf) != chapter_text16(content)) return std::nullopt;
      return replace_in_content(as_rtf, replacements);
    }
  }
  std::vector<Span> spans;
  for_each_text_character(content, [&](const TextCharacter& c) {
    spans.push_back({c.begin, c.end});
  });
  // The positions are the control's: where the walk and the text disagree,
  // nothing is replaced rather than the wrong characters.
  const std::u16string text = chapter_text16(content);
  if (spans.size() != text.size()) return std::nullopt;
  size_t text_end = content.size();
  if (rtf) {
    // Before a paragraph break that ends the text, which the control drops.
    text_end = walk_rtf(content, std::string_view::npos).dropped_break_at;
    if (text_end == std::string_view::npos) text_end = content.rfind('}');
    if (text_end == std::string_view::npos) return std::nullopt;
  }

  std::string out;
  size_t pos = 0;
  for (const ContentReplacement& r : replacements) {
    if (r.start > spans.size() || r.length > spans.size() - r.start) return std::nullopt;
    const size_t at = r.start < spans.size() ? spans[r.start].begin : text_end;
    if (at < pos) return std::nullopt;
    out.append(content.substr(pos, at - pos));
    const std::string text = rtf ? as_rtf(r.text, gbk_bytes) : as_plain(r.text);
    if (rtf && !text.empty() &&
        (ascii_letter(text[0]) || ascii_digit(text[0]) || text[0] == '-' || text[0] == ' ') &&
        ends_in_open_control_word(out)) {
      out += ' ';
    }
    out += text;
    pos = at;
    for (size_t k = r.start; k < r.start + r.length; ++k) {
      out.append(content.substr(pos, spans[k].begin - pos));  // formatting between them stays
      pos = spans[k].end;
    }
  }
  out.append(content.substr(pos));
  // Bytes that are no text of their own (a lone lead byte, say) can read
  // differently beside new neighbours: then nothing is replaced at all.
  std::u16string expected = text;
  for (auto r = replacements.rbegin(); r != replacements.rend(); ++r) {
    expected.replace(r->start, r->length, r->text);
  }
  if (chapter_text16(out) != expected) return std::nullopt;
  return out;
}

}  // namespace

}  // namespace folivra
