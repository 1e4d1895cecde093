#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace folivra {

// What a text file is written in. GB18030 covers GBK.
enum class TextEncoding { utf8, utf8_bom, utf16le, utf16be, gb18030 };

// BOMs first, then valid UTF-8 (all of it), else GB18030.
TextEncoding detect_encoding(std::string_view bytes);
// The text without its BOM; bytes that are not the encoding become U+FFFD.
std::u16string decode_text(std::string_view bytes, TextEncoding encoding);
// "UTF-8", "UTF-8 BOM", "UTF-16LE", "UTF-16BE", "GB18030"; and back,
// case-insensitive, also "GBK" and "UTF-16".
const char* encoding_name(TextEncoding encoding);
std::optional<TextEncoding> encoding_named(std::string_view name);

// The heading rule used unless the user gives one: a regular expression
// over a line without its surrounding spaces.
std::u16string default_heading_rule();

// One chapter found in a text: its heading (empty for the text before the
// first heading) and its lines, blank lines at both ends dropped.
struct TextChapter {
  std::u16string name;
  std::vector<std::u16string> lines;
};

// What came of splitting a text: its chapters, or why the rule could not
// split it (not a valid regular expression, or one needing more work on a
// line than any line may take).
enum class RuleOutcome { split, invalid, too_complex };
struct ChapterSplit {
  RuleOutcome outcome = RuleOutcome::split;
  std::vector<TextChapter> chapters;
  bool unwrapped = false;      // lines cut at a fixed width were joined into paragraphs
  bool contents_kept = false;  // a table of contents was kept as text
  size_t volumes = 0;          // chapters that are volume headings (第X卷/部/篇)
  // What the head of the text says of itself ("书名：…", "作者：…", or
  // "《…》" on its first line); empty where it says nothing. The lines stay
  // in the text.
  std::u16string title, author;
};

// Whether lines cut at a fixed width are joined back into paragraphs: when
// the text looks so (auto), always (on) or never (off).
enum class Unwrap { detect, on, off };

// Splits `text` at the lines the rule matches whole (lines of at most 40
// characters). Text before the first heading becomes a chapter "序"; a text
// without headings is one chapter "正文".
ChapterSplit split_chapters(std::u16string_view text, std::u16string_view rule,
                            Unwrap unwrap = Unwrap::detect);

}  // namespace folivra
