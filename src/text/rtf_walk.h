#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace folivra {

// The one reader of a chapter's text: it walks RTF as the rich-edit control
// reads it (fonts and their code pages, \uN with its fallback, destinations
// that are no text, tables) and gives each character of the control's text
// with where it is stored. Plain-text contents are GBK.

// One character of a content's text.
struct TextCharacter {
  // byte: one stored byte (or a named character such as \tab); pair: a
  // double-byte character; code_point: \uN and named Unicode characters;
  // line_break: a paragraph or line break, or a table row's mark.
  enum class Kind { byte, pair, code_point, line_break } kind;
  uint32_t value;     // the byte; lead << 8 | trail; the code point
  uint8_t style = 0;  // kBold | kItalic | kUnderline in effect
  // Where it is stored in the content: a \uN with the fallback it is
  // written with, a double-byte character with both its bytes or escapes.
  size_t begin = 0, end = 0;
  // The UTF-16 unit the control shows for it ('\r' for a paragraph break,
  // U+000B for a line break; a character beyond the plane comes as its two
  // surrogates, one \uN each).
  char16_t unit = 0;
  // Positions it takes in the control: 2 for the marks a table row starts
  // and ends with ("\r\n").
  uint8_t width = 1;
};
inline constexpr uint8_t kBold = 1, kItalic = 2, kUnderline = 4;

// The characters of a content's text in order.
void for_each_text_character(std::string_view content,
                             const std::function<void(const TextCharacter&)>& each);

// Their number as the control counts positions.
size_t chapter_text_length(std::string_view content);

// Where the character of a plain-text content at byte `i` ends: a GBK
// character and a line break (CR, LF or CRLF) are one each.
size_t plain_text_step(std::string_view text, size_t i);

// For cutting RTF: a group open at some place, with the formatting words
// seen in it before that place.
struct RtfFrame {
  bool skip = false;        // a destination: its text is not the chapter's
  bool font_table = false;  // in \fonttbl: \fN, \fcharsetN and \cpgN describe fonts
  bool row_props = false;   // in \*\nesttableprops: \nestrow still ends a row
  bool picture = false;     // \pict: one character where it ends
  size_t start = 0;         // where its '{' is
  std::string state;        // the formatting words seen in it so far
  int unicode_skip = 1;     // \ucN
  uint8_t style = 0;        // bold, italic, underline
  int code_page = 1252;     // what its bytes are read in
};

struct RtfCut {
  size_t at;  // the byte the second part starts with
  std::vector<RtfFrame> open;
};

// A walk of RTF that stops before character `stop` (npos: never): the
// number of characters passed and, when it stopped, the byte offset and the
// groups open there; where `cut_here` (asked before each character with the
// number before it and whether the one before was a break) said yes, the cuts.
struct RtfWalk {
  bool ok = false;
  size_t characters = 0;
  size_t stopped_at = std::string_view::npos;
  std::vector<RtfFrame> open;
  std::vector<RtfCut> cuts;
  bool cuts_refused = false;  // a cut would have to repeat too much formatting
  // Where a paragraph break that ends the text is stored: the control drops
  // it, so the text ends before it (npos: none).
  size_t dropped_break_at = std::string_view::npos;
};
using EachCharacter = std::function<void(const TextCharacter&)>;
using CutHere = std::function<bool(size_t characters, bool after_break)>;
RtfWalk walk_rtf(std::string_view rtf, size_t stop, const EachCharacter* each = nullptr,
                 const CutHere* cut_here = nullptr);

}  // namespace folivra
