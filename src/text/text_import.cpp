#include "text/text_import.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "book/gb18030.h"
#include "book/gbk.h"
#include "text/plain_text.h"
#include "text/text_search.h"

namespace folivra {

namespace {

constexpr size_t kMaxHeading = 40;  // characters of a plausible heading line

// The code point of the UTF-8 sequence at `i` and its length; length 0 when
// the bytes there are not a valid sequence.
std::pair<char32_t, size_t> utf8_at(std::string_view s, size_t i) {
  const auto b = static_cast<unsigned char>(s[i]);
  if (b < 0x80) return {b, 1};
  size_t n = 0;
  char32_t cp = 0, least = 0;
  if (b >= 0xC2 && b <= 0xDF) {
    n = 1, cp = b & 0x1F, least = 0x80;
  } else if (b >= 0xE0 && b <= 0xEF) {
    n = 2, cp = b & 0x0F, least = 0x800;
  } else if (b >= 0xF0 && b <= 0xF4) {
    n = 3, cp = b & 0x07, least = 0x10000;
  } else {
    return {0, 0};
  }
  if (i + n >= s.size()) return {0, 0};
  for (size_t k = 1; k <= n; ++k) {
    const auto c = static_cast<unsigned char>(s[i + k]);
    if ((c & 0xC0) != 0x80) return {0, 0};
    cp = cp << 6 | (c & 0x3F);
  }
  if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return {0, 0};
  return {cp, n + 1};
}

bool valid_utf8(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    const size_t n = utf8_at(s, i).second;
    if (n == 0) return false;
    i += n;
  }
  return true;
}

std::u16string utf8_units(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    const auto [cp, n] = utf8_at(s, i);
    if (n == 0) {
      out += u'\xFFFD';
      ++i;
    } else if (cp >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
      i += n;
    } else {
      out += static_cast<char16_t>(cp);
      i += n;
    }
  }
  return out;
}

std::u16string utf16_units(std::string_view bytes, bool big_endian) {
  std::u16string out;
  out.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto a = static_cast<unsigned char>(bytes[i]),
               b = static_cast<unsigned char>(bytes[i + 1]);
    out += static_cast<char16_t>(big_endian ? a << 8 | b : b << 8 | a);
  }
  if (bytes.size() % 2) out += u'\xFFFD';
  // A surrogate without its partner is no character: U+FFFD, as a bad byte
  // of UTF-8 is.
  for (size_t i = 0; i < out.size(); ++i) {
    const bool high = out[i] >= 0xD800 && out[i] <= 0xDBFF;
    const bool low = out[i] >= 0xDC00 && out[i] <= 0xDFFF;
    if (high && i + 1 < out.size() && out[i + 1] >= 0xDC00 && out[i + 1] <= 0xDFFF) {
      ++i;
    } else if (high || low) {
      out[i] = u'\xFFFD';
    }
  }
  return out;
}

// GBK runs go to the converter in one piece; the four-byte forms of
// GB18030 between them are decoded here.
std::u16string gb18030_units(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  size_t run = 0;
  for (size_t i = 0; i < bytes.size();) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80) {
      ++i;
      continue;
    }
    if (starts_gb18030_four(bytes.substr(i))) {
      if (const auto cp = gb18030_code_point(bytes.substr(i, 4))) {
        out += gbk_to_utf16(bytes.substr(run, i - run));
        if (*cp >= 0x10000) {
          out += static_cast<char16_t>(0xD800 + ((*cp - 0x10000) >> 10));
          out += static_cast<char16_t>(0xDC00 + ((*cp - 0x10000) & 0x3FF));
        } else {
          out += static_cast<char16_t>(*cp);
        }
        i += 4;
        run = i;
        continue;
      }
    }
    i += is_gbk_lead_byte(b) && i + 1 < bytes.size() ? 2 : 1;
  }
  out += gbk_to_utf16(bytes.substr(run));
  return out;
}

bool is_space(char16_t c) { return c == u' ' || c == u'\t' || c == u'\x3000' || c == u'\xA0'; }

std::u16string_view trimmed(std::u16string_view line) {
  while (!line.empty() && is_space(line.front())) line.remove_prefix(1);
  while (!line.empty() && is_space(line.back())) line.remove_suffix(1);
  return line;
}

void drop_blank_ends(std::vector<std::u16string>& lines) {
  while (!lines.empty() && trimmed(lines.back()).empty()) lines.pop_back();
  const auto first = std::find_if(lines.begin(), lines.end(),
                                  [](const std::u16string& l) { return !trimmed(l).empty(); });
  lines.erase(lines.begin(), first);
}

}  // namespace

TextEncoding detect_encoding(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) return TextEncoding::utf8_bom;
  if (bytes.starts_with("\xFF\xFE")) return TextEncoding::utf16le;
  if (bytes.starts_with("\xFE\xFF")) return TextEncoding::utf16be;
  return valid_utf8(bytes) ? TextEncoding::utf8 : TextEncoding::gb18030;
}

std::u16string decode_text(std::string_view bytes, TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::utf8:
    case TextEncoding::utf8_bom:
      if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
      return utf8_units(bytes);
    case TextEncoding::utf16le:
    case TextEncoding::utf16be: {
      const bool big = encoding == TextEncoding::utf16be;
      if (bytes.starts_with(big ? "\xFE\xFF" : "\xFF\xFE")) bytes.remove_prefix(2);
      return utf16_units(bytes, big);
    }
    case TextEncoding::gb18030:
      return gb18030_units(bytes);
  }
  return {};
}

const char* encoding_name(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::utf8:
      return "UTF-8";
    case TextEncoding::utf8_bom:
      return "UTF-8 BOM";
    case TextEncoding::utf16le:
      return "UTF-16LE";
    case TextEncoding::utf16be:
      return "UTF-16BE";
    case TextEncoding::gb18030:
      return "GB18030";
  }
  return "";
}

std::optional<TextEncoding> encoding_named(std::string_view name) {
  std::string n(name);
  for (char& c : n) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (n == "UTF-8" || n == "UTF8") return TextEncoding::utf8;
  if (n == "UTF-8 BOM" || n == "UTF-8-BOM") return TextEncoding::utf8_bom;
  if (n == "UTF-16LE" || n == "UTF-16") return TextEncoding::utf16le;
  if (n == "UTF-16BE") return TextEncoding::utf16be;
  if (n == "GB18030" || n == "GBK" || n == "GB2312" || n == "CP936") return TextEncoding::gb18030;
  return std::nullopt;
}

std::u16string default_heading_rule() {
  // A numbered heading may run straight into its title, if that title reads
  // like none of a sentence; the named ones stand alone or before a space.
  return u"^(?:第[0-9０-９零〇一二两三四五六七八九十百千万]+[章回节卷集部篇](?:[ "
         u"　:：、.·].*|[^。！？，]*)"
         u"|(?:序章|序言|序|楔子|引子|尾声|后记)(?:[ 　:：、.·].*)?"
         u"|番外[^。！？，]*"
         u"|[Cc][Hh][Aa][Pp][Tt][Ee][Rr] *[0-9]+(?:[ :.].*)?)$";
}

ChapterSplit split_chapters(std::u16string_view text, std::u16string_view rule) {
  const std::optional<TextPattern> heading =
      TextPattern::make(rule, {.match_case = true, .regex = true});
  if (!heading) return {RuleOutcome::invalid, {}};
  std::vector<TextChapter> chapters(1);
  for (size_t at = 0; at <= text.size();) {
    size_t end = text.find_first_of(u"\r\n", at);
    if (end == std::u16string_view::npos) end = text.size();
    const std::u16string_view line = text.substr(at, end - at);
    at = end +
         (end < text.size() && text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n'
              ? 2
              : 1);
    const std::u16string_view core = trimmed(line);
    bool is_heading = false;
    if (!core.empty() && core.size() <= kMaxHeading) {
      const std::optional<bool> matched = heading->matches_whole(core);
      if (!matched) return {RuleOutcome::too_complex, {}};
      is_heading = *matched;
    }
    if (is_heading) {
      chapters.push_back({std::u16string(core), {}});
    } else {
      chapters.back().lines.emplace_back(line);
    }
    if (end == text.size()) break;
  }
  for (TextChapter& chapter : chapters) drop_blank_ends(chapter.lines);
  if (chapters.front().lines.empty()) {
    chapters.erase(chapters.begin());
  } else {
    chapters.front().name = chapters.size() == 1 ? u"正文" : u"序";
  }
  return {RuleOutcome::split, std::move(chapters)};
}

}  // namespace folivra
