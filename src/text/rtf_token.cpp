#include "text/rtf_token.h"

#include <algorithm>
#include <array>

namespace folivra {

namespace {

bool letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool digit(char c) { return c >= '0' && c <= '9'; }
int hex(char c) {
  if (digit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

Token next_token(std::string_view rtf, size_t pos) {
  while (pos < rtf.size() && (rtf[pos] == '\r' || rtf[pos] == '\n')) ++pos;
  Token t;
  t.begin = pos;
  if (pos >= rtf.size()) {
    t.end = pos;
    return t;
  }
  const char c = rtf[pos];
  if (c == '{' || c == '}') {
    t.kind = c == '{' ? Token::Kind::open : Token::Kind::close;
    t.end = pos + 1;
    return t;
  }
  if (c != '\\') {
    t.kind = Token::Kind::text;
    t.byte = static_cast<unsigned char>(c);
    t.end = pos + 1;
    return t;
  }
  size_t i = pos + 1;
  if (i < rtf.size() && rtf[i] == '\'' && i + 2 < rtf.size() && hex(rtf[i + 1]) >= 0 &&
      hex(rtf[i + 2]) >= 0) {
    t.kind = Token::Kind::escape;
    t.byte = static_cast<unsigned>(hex(rtf[i + 1]) * 16 + hex(rtf[i + 2]));
    t.end = i + 3;
    return t;
  }
  if (i < rtf.size() && letter(rtf[i])) {
    const size_t start = i;
    while (i < rtf.size() && letter(rtf[i])) ++i;
    t.kind = Token::Kind::word;
    t.word = rtf.substr(start, i - start);
    const bool negative = i < rtf.size() && rtf[i] == '-';
    size_t j = negative ? i + 1 : i;
    if (j < rtf.size() && digit(rtf[j])) {
      int64_t value = 0;
      for (int n = 0; j < rtf.size() && digit(rtf[j]); ++j, ++n) {
        if (n < 12) value = value * 10 + (rtf[j] - '0');
      }
      t.param = negative ? -value : value;
      t.has_param = true;
      t.digits = static_cast<int>(j - (negative ? i + 1 : i));
      i = j;
    }
    if (i < rtf.size() && rtf[i] == ' ') ++i;
    t.end = i;
    return t;
  }
  t.kind = Token::Kind::symbol;
  t.word = rtf.substr(std::min(i, rtf.size() - 1), i < rtf.size() ? 1 : 0);
  t.end = std::min(i + 1, rtf.size());
  // A backslash before a line break is a paragraph break.
  if (!t.word.empty() && (t.word[0] == '\r' || t.word[0] == '\n')) t.word = "par";
  return t;
}

bool is_destination(std::string_view word) {
  static constexpr std::array<std::string_view, 28> kWords = {"fonttbl",
                                                              "colortbl",
                                                              "stylesheet",
                                                              "info",
                                                              "pict",
                                                              "header",
                                                              "headerl",
                                                              "headerr",
                                                              "headerf",
                                                              "footer",
                                                              "footerl",
                                                              "footerr",
                                                              "footerf",
                                                              "listtable",
                                                              "listoverridetable",
                                                              "rsidtbl",
                                                              "generator",
                                                              "themedata",
                                                              "colorschememapping",
                                                              "latentstyles",
                                                              "datastore",
                                                              "xmlnstbl",
                                                              "mmathPr",
                                                              "tc",
                                                              "nonesttables",
                                                              "leveltext",
                                                              "listname",
                                                              "pntext"};
  // Field instructions, footnotes and comments, the parts of old-style list
  // numbering and the picture kept for readers without shapes.
  static constexpr std::array<std::string_view, 9> kMore = {
      "fldinst", "footnote",   "annotation", "pn",          "pntxta",
      "pntxtb",  "nonshppict", "atnid",      "levelnumbers"};
  for (std::string_view w : kMore) {
    if (w == word) return true;
  }
  for (std::string_view w : kWords) {
    if (w == word) return true;
  }
  return false;
}

bool is_document_table(std::string_view word) {
  static constexpr std::array<std::string_view, 17> kWords = {"fonttbl",      "colortbl",
                                                              "stylesheet",   "info",
                                                              "listtable",    "listoverridetable",
                                                              "rsidtbl",      "generator",
                                                              "themedata",    "colorschememapping",
                                                              "latentstyles", "datastore",
                                                              "xmlnstbl",     "mmathPr",
                                                              "filetbl",      "revtbl",
                                                              "pgdsctbl"};
  for (std::string_view w : kWords) {
    if (w == word) return true;
  }
  return false;
}

}  // namespace folivra
