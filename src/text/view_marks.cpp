#include "text/view_marks.h"

#include <array>
#include <cstdlib>

#include "text/rtf_token.h"

namespace folivra {

namespace {

// Control words whose parameter is a number in the colour table.
bool names_colour(std::string_view word) {
  static constexpr std::array<std::string_view, 14> kWords = {
      "cf",     "cb",      "highlight", "chcbpat", "chcfpat", "cbpat",   "cfpat",
      "brdrcf", "clcbpat", "clcfpat",   "ulc",     "trcbpat", "trcfpat", "clcbpatraw"};
  for (std::string_view w : kWords) {
    if (w == word) return true;
  }
  return false;
}

// The marked colour's entry in the colour table: its number and its bytes.
struct Entry {
  long number = -1;
  size_t begin = 0, end = 0;
};

Entry find_marked_colour(std::string_view rtf) {
  Entry found;
  int depth = 0, table_depth = -1;
  long number = 0;
  size_t entry_begin = 0;
  int red = -1, green = -1, blue = -1;
  for (size_t pos = 0; pos < rtf.size();) {
    const Token t = next_token(rtf, pos);
    if (t.kind == Token::Kind::end) break;
    pos = t.end;
    if (t.kind == Token::Kind::open) {
      ++depth;
    } else if (t.kind == Token::Kind::close) {
      if (depth-- == table_depth) return found;
    } else if (t.kind == Token::Kind::word && t.word == "colortbl" && table_depth < 0) {
      table_depth = depth;
      entry_begin = t.end;
    } else if (depth == table_depth && t.kind == Token::Kind::word) {
      if (t.word == "red") red = t.value32();
      if (t.word == "green") green = t.value32();
      if (t.word == "blue") blue = t.value32();
    } else if (depth == table_depth && t.kind == Token::Kind::text && t.byte == ';') {
      if (red == kViewRed && green == kViewGreen && blue == kViewBlue && found.number < 0) {
        found = {number, entry_begin, t.end};
      }
      ++number;
      entry_begin = t.end;
      red = green = blue = -1;
    }
  }
  return found;
}

}  // namespace

int marked_spacing(int tenths) { return (2 * tenths + 1) * 12; }

std::string without_view_marks(std::string_view rtf, const ViewMarks& marks) {
  if (!marks.spacing && !marks.colour) return std::string(rtf);
  const Entry colour = marks.colour ? find_marked_colour(rtf) : Entry{};
  std::string out;
  out.reserve(rtf.size());
  size_t copied = 0;  // bytes of `rtf` dealt with
  bool after_spacing = false;
  for (size_t pos = 0; pos < rtf.size();) {
    const Token t = next_token(rtf, pos);
    if (t.kind == Token::Kind::end) break;
    pos = t.end;
    if (colour.number >= 0 && t.begin >= colour.begin && t.begin < colour.end) {
      out.append(rtf, copied, colour.begin - copied);
      if (marks.original >= 0) {
        const auto part = [&](int shift) {
          return std::to_string((marks.original >> shift) & 0xFF);
        };
        out += "\\red" + part(0) + "\\green" + part(8) + "\\blue" + part(16) + ";";
      }
      copied = pos = colour.end;
      continue;
    }
    const bool spacing_word = marks.spacing && t.kind == Token::Kind::word && t.word == "sl" &&
                              t.has_param && std::llabs(t.param) == marks.spacing;
    const bool its_multiple = after_spacing && t.kind == Token::Kind::word && t.word == "slmult";
    after_spacing = spacing_word;
    if (spacing_word || its_multiple) {
      out.append(rtf, copied, t.begin - copied);
      copied = t.end;
      continue;
    }
    if (colour.number >= 0 && marks.original < 0 && t.kind == Token::Kind::word && t.has_param &&
        t.param >= colour.number && names_colour(t.word)) {
      out.append(rtf, copied, t.begin - copied);
      const long number = t.param == colour.number ? 0 : static_cast<long>(t.param) - 1;
      out += '\\';
      out += t.word;
      out += std::to_string(number);
      copied = t.begin + 1 + t.word.size() + static_cast<size_t>(t.digits);  // the delimiter stays
    }
  }
  out.append(rtf, copied, std::string_view::npos);
  return out;
}

}  // namespace folivra
