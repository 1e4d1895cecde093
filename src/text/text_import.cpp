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

namespace {

// What scraped texts put before a heading: 正文, VIP章节, 《书名》目录, a
// volume's name… A heading behind one is named without it.
constexpr std::u16string_view kHeadingPrefix =
    u"^(?:正文|VIP章节|免费章节|章节目录|目录|《[^》]{0,30}》(?:目录|正文)?"
    u"|第[0-9０-９零〇一二两三四五六七八九十百千]+[卷部篇](?:[^ 　]{0,12}))[ 　]+";
// Where a heading that runs on into its chapter's first words ends: after
// the last space-separated part, within 40 characters, before the first part
// that holds sentence punctuation (the poem, the first sentence).
size_t heading_end(std::u16string_view line) {
  constexpr std::u16string_view kSentence = u"。！？，：；…“”「」";
  size_t end = 0;
  for (size_t at = 0; at < line.size();) {
    size_t part_end = at;
    while (part_end < line.size() && !is_space(line[part_end])) ++part_end;
    const std::u16string_view part = line.substr(at, part_end - at);
    if (part_end > kMaxHeading || part.find_first_of(kSentence) != std::u16string_view::npos) {
      break;
    }
    end = part_end;
    at = part_end;
    while (at < line.size() && is_space(line[at])) ++at;
  }
  return end;
}

struct HeadingMatch {
  bool found = false;
  std::u16string name;  // the heading as the chapter's name
  std::u16string rest;  // words on the same line after it: the text's first line
};

class HeadingFinder {
 public:
  HeadingFinder(const TextPattern& rule, bool default_rule)
      : rule_(rule),
        default_rule_(default_rule),
        prefix_(*TextPattern::make(kHeadingPrefix, {.match_case = true, .regex = true})) {}

  // Nothing when the rule needed more work on the line than it may take.
  std::optional<HeadingMatch> find(std::u16string_view core) const {
    if (core.empty()) return HeadingMatch{};
    std::optional<HeadingMatch> whole = match(core);
    if (!whole || whole->found) return whole;
    // Behind a prefix of the kind scraped texts carry.
    const TextMatches prefix = prefix_.find_all(core);
    if (!prefix.found.empty() && prefix.found[0].start == 0) {
      const std::u16string_view rest = core.substr(prefix.found[0].length);
      std::optional<HeadingMatch> behind = match(rest);
      if (!behind || behind->found) return behind;
      core = rest;
    }
    // Running on into its first words after a clear break (the default rule
    // only: a rule of the user's says itself how far a heading goes).
    if (!default_rule_ || core.size() <= kMaxHeading) return HeadingMatch{};
    const size_t cut = heading_end(core);
    if (cut == 0) return HeadingMatch{};
    std::optional<HeadingMatch> head = match(core.substr(0, cut));
    if (!head || !head->found) return head;
    head->rest = std::u16string(trimmed(core.substr(cut)));
    return head;
  }

 private:
  std::optional<HeadingMatch> match(std::u16string_view core) const {
    if (core.empty() || (default_rule_ && core.size() > kMaxHeading)) return HeadingMatch{};
    const std::optional<bool> matched = rule_.matches_whole(core);
    if (!matched) return std::nullopt;
    return HeadingMatch{*matched, *matched ? std::u16string(core) : std::u16string(), {}};
  }

  const TextPattern& rule_;
  bool default_rule_;
  TextPattern prefix_;
};

// The number a heading gives its chapter, with its kind ("三十八回" of
// "第三十八回 …"), empty for a heading without one.
std::u16string_view heading_number(std::u16string_view name) {
  if (!name.starts_with(u"第")) return {};
  const size_t end = name.find_first_of(u"章回节卷集部篇");
  return end == std::u16string_view::npos || end > 12 ? std::u16string_view() : name.substr(1, end);
}

// A heading that comes again for the same chapter with only a few short
// lines between (a site's navigation scraped around it), written the same
// or not ("第三十八回  林潇湘…" and "第三十八回林潇湘…——").
bool same_heading_again(const TextChapter& first, const TextChapter& again) {
  const std::u16string_view number = heading_number(first.name);
  if (number.empty() || number != heading_number(again.name)) return false;
  size_t characters = 0;
  for (const std::u16string& line : first.lines) characters += trimmed(line).size();
  return characters < 300;
}

// A table of contents: a run of headings with nothing under them whose names
// come again later with text. Its lines go back into the chapter before it
// (the 序, or a chapter "目录"); a heading repeated at once gives one chapter.
bool keep_contents_as_text(std::vector<TextChapter>& chapters) {
  bool kept = false;
  for (size_t i = 0; i + 1 < chapters.size();) {
    if (chapters[i].lines.empty() && chapters[i].name == chapters[i + 1].name) {
      chapters.erase(chapters.begin() + static_cast<std::ptrdiff_t>(i));
    } else if (same_heading_again(chapters[i], chapters[i + 1])) {
      // The second heading and all around it stay, as text of the one chapter.
      TextChapter& first = chapters[i];
      TextChapter& again = chapters[i + 1];
      first.lines.push_back(std::move(again.name));
      for (std::u16string& line : again.lines) first.lines.push_back(std::move(line));
      chapters.erase(chapters.begin() + static_cast<std::ptrdiff_t>(i + 1));
    } else {
      ++i;
    }
  }
  for (size_t i = 0; i < chapters.size(); ++i) {
    size_t end = i;
    while (end < chapters.size() && chapters[end].lines.empty()) ++end;
    if (end - i < 3) continue;
    bool repeated = true;
    for (size_t k = i; k < end && repeated; ++k) {
      repeated = std::any_of(chapters.begin() + static_cast<std::ptrdiff_t>(end), chapters.end(),
                             [&](const TextChapter& c) { return c.name == chapters[k].name; });
    }
    if (!repeated) continue;
    kept = true;
    TextChapter contents{u"目录", {}};
    for (size_t k = i; k < end; ++k) contents.lines.push_back(chapters[k].name);
    chapters.erase(chapters.begin() + static_cast<std::ptrdiff_t>(i),
                   chapters.begin() + static_cast<std::ptrdiff_t>(end));
    if (i > 0) {
      for (std::u16string& line : contents.lines) chapters[i - 1].lines.push_back(std::move(line));
    } else {
      chapters.insert(chapters.begin(), std::move(contents));
    }
  }
  return kept;
}

// The title and author a text's head gives, from the lines before its
// first heading (the first few that are not blank).
void read_head(const std::vector<std::u16string>& lines, ChapterSplit& split) {
  size_t seen = 0;
  for (const std::u16string& line : lines) {
    const std::u16string_view core = trimmed(line);
    if (core.empty()) continue;
    if (++seen > 6) break;
    for (const auto& [label, field] :
         {std::pair{u"书名", &split.title}, {u"作者", &split.author}}) {
      const std::u16string_view l = label;
      if (core.starts_with(l) && core.size() > l.size() + 1 &&
          (core[l.size()] == u'：' || core[l.size()] == u':') && field->empty()) {
        *field = std::u16string(trimmed(core.substr(l.size() + 1)));
      }
    }
    if (seen == 1 && core.starts_with(u"《") && core.find(u'》') != std::u16string_view::npos &&
        split.title.empty()) {
      const size_t close = core.find(u'》');
      if (close > 1) split.title = std::u16string(core.substr(1, close - 1));
    }
  }
}

// A line's width as a fixed-width editor shows it: a CJK character two.
size_t width_of(std::u16string_view line) {
  size_t width = 0;
  for (char16_t c : line) width += c >= 0x1100 ? 2 : 1;
  return width;
}

bool ends_sentence(std::u16string_view line) {
  constexpr std::u16string_view kEnds = u"。！？”」』…．.!?\"";
  return !line.empty() && kEnds.find(line.back()) != std::u16string_view::npos;
}

// The width a text was cut at, when it was: most of its lines within two
// columns of the widest common width and ending mid-sentence. 0 when not.
size_t wrap_width(const std::vector<TextChapter>& chapters) {
  std::vector<size_t> widths;
  size_t mid_sentence = 0;
  for (const TextChapter& chapter : chapters) {
    for (const std::u16string& line : chapter.lines) {
      const std::u16string_view core = trimmed(line);
      if (core.empty()) continue;
      widths.push_back(width_of(line));
      mid_sentence += !ends_sentence(core);
    }
  }
  if (widths.size() < 20) return 0;
  std::vector<size_t> sorted = widths;
  std::sort(sorted.begin(), sorted.end());
  const size_t width = sorted[sorted.size() * 3 / 4];  // most lines are full
  if (width < 20) return 0;
  const size_t full = static_cast<size_t>(std::count_if(
      widths.begin(), widths.end(), [&](size_t w) { return w + 2 >= width && w <= width; }));
  return full * 2 >= widths.size() && mid_sentence * 2 >= widths.size() ? width : 0;
}

// Joins each line to the one before when that one ran to the cut width and
// this one is no new paragraph (indented or after a blank line).
void unwrap_lines(std::vector<std::u16string>& lines, size_t width) {
  std::vector<std::u16string> out;
  bool open = false;  // the last line ran to the width
  for (std::u16string& line : lines) {
    const std::u16string_view core = trimmed(line);
    const bool blank = core.empty();
    const bool indented = !line.empty() && is_space(line.front());
    const bool full = width_of(line) + 2 >= width;
    if (open && !indented && !blank) {
      out.back() += core;
    } else {
      out.push_back(std::move(line));
    }
    open = !blank && full;
  }
  lines = std::move(out);
}

}  // namespace

ChapterSplit split_chapters(std::u16string_view text, std::u16string_view rule, Unwrap unwrap) {
  const std::optional<TextPattern> heading =
      TextPattern::make(rule, {.match_case = true, .regex = true});
  if (!heading) return {RuleOutcome::invalid, {}, false, false, 0, {}, {}};
  const HeadingFinder finder(*heading, rule == default_heading_rule());
  std::vector<TextChapter> chapters(1);
  for (size_t at = 0; at <= text.size();) {
    size_t end = text.find_first_of(u"\r\n", at);
    if (end == std::u16string_view::npos) end = text.size();
    const std::u16string_view line = text.substr(at, end - at);
    at = end +
         (end < text.size() && text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n'
              ? 2
              : 1);
    const std::optional<HeadingMatch> found = finder.find(trimmed(line));
    if (!found) return {RuleOutcome::too_complex, {}, false, false, 0, {}, {}};
    if (found->found) {
      chapters.push_back({found->name, {}});
      if (!found->rest.empty()) chapters.back().lines.push_back(found->rest);
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
  const bool contents_kept = keep_contents_as_text(chapters);
  ChapterSplit split{RuleOutcome::split, std::move(chapters), false, contents_kept, 0, {}, {}};
  for (const TextChapter& chapter : split.chapters) {
    const std::u16string_view number = heading_number(chapter.name);
    split.volumes += !number.empty() && std::u16string_view(u"卷部篇").find(number.back()) !=
                                            std::u16string_view::npos;
  }
  if (unwrap != Unwrap::off) {
    size_t width = wrap_width(split.chapters);
    if (unwrap == Unwrap::on && width == 0) {
      for (const TextChapter& c : split.chapters) {
        for (const std::u16string& line : c.lines) width = std::max(width, width_of(line));
      }
    }
    if (width > 0) {
      for (TextChapter& chapter : split.chapters) unwrap_lines(chapter.lines, width);
      split.unwrapped = true;
    }
  }
  if (!split.chapters.empty() && split.chapters.front().name == u"序") {
    read_head(split.chapters.front().lines, split);
  }
  return split;
}

}  // namespace folivra
