#include "text/view_marks.h"

#include <algorithm>
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

bool is_component(std::string_view word) {
  return word == "red" || word == "green" || word == "blue";
}

const std::string kNightEntry = "\\red" + std::to_string(kNightRed) + "\\green" +
                                std::to_string(kNightGreen) + "\\blue" +
                                std::to_string(kNightBlue) + ";";

// Follows the groups token by token to the colour table: the first group
// of its own inside the document opened by \colortbl (elsewhere the word
// is no table the control reads).
class TableTracker {
 public:
  struct Seen {
    bool opened = false;  // this token began the table
    bool closed = false;  // this token ended it
    bool inside = false;  // this token stands in the table's own group
  };
  Seen see(const Token& t) {
    Seen seen;
    const bool opens = after_open_ && depth_ >= 2 && !found_ && t.kind == Token::Kind::word &&
                       t.word == "colortbl";
    after_open_ = t.kind == Token::Kind::open;
    if (t.kind == Token::Kind::open) ++depth_;
    if (t.kind == Token::Kind::close) {
      seen.closed = depth_ == table_depth_;
      if (seen.closed) table_depth_ = -1;
      --depth_;
    }
    if (opens) {
      found_ = seen.opened = true;
      table_depth_ = depth_;
    }
    seen.inside = table_depth_ >= 0 && depth_ == table_depth_;
    return seen;
  }

 private:
  int depth_ = 0, table_depth_ = -1;
  bool after_open_ = false, found_ = false;
};

// The colour table: how many entries it has, which is the night colour's,
// and where that entry's bytes are.
struct Table {
  bool found = false;
  long entries = 0;
  long night = -1;
  size_t night_begin = 0, night_end = 0;
};

Table read_table(std::string_view rtf) {
  Table table;
  TableTracker tracker;
  size_t entry_begin = 0;
  int red = -1, green = -1, blue = -1;
  for (size_t pos = 0; pos < rtf.size();) {
    const Token t = next_token(rtf, pos);
    if (t.kind == Token::Kind::end) break;
    pos = t.end;
    const TableTracker::Seen seen = tracker.see(t);
    if (seen.closed) return table;
    if (seen.opened) {
      table.found = true;
      entry_begin = t.end;
    } else if (seen.inside && t.kind == Token::Kind::word) {
      if (t.word == "red") red = t.value32();
      if (t.word == "green") green = t.value32();
      if (t.word == "blue") blue = t.value32();
    } else if (seen.inside && t.kind == Token::Kind::text && t.byte == ';') {
      if (red == kNightRed && green == kNightGreen && blue == kNightBlue && table.night < 0) {
        table.night = table.entries;
        table.night_begin = entry_begin;
        table.night_end = t.end;
      }
      ++table.entries;
      entry_begin = t.end;
      red = green = blue = -1;
    }
  }
  return table;
}

// A control word written again with another parameter, keeping its delimiter.
void rewrite(std::string& out, std::string_view rtf, const Token& t, long param) {
  out += '\\';
  out += t.word;
  out += std::to_string(param);
  const size_t digits_end =
      t.begin + 1 + t.word.size() + (t.param < 0) + static_cast<size_t>(t.digits);
  out.append(rtf, digits_end, t.end - digits_end);
}

}  // namespace

int marked_spacing(int tenths) { return (2 * tenths + 1) * 12; }

std::string with_night_colours(std::string_view rtf) {
  const Table table = read_table(rtf);
  const long night = table.found ? table.entries : 1;
  const std::string use_night = "\\cf" + std::to_string(night) + ' ';
  std::string out;
  out.reserve(rtf.size() + 64);
  TableTracker tracker;
  bool started = false;
  for (size_t pos = 0; pos < rtf.size();) {
    const Token t = next_token(rtf, pos);
    out.append(rtf, pos, t.begin - pos);  // line breaks between tokens stay
    if (t.kind == Token::Kind::end) break;
    pos = t.end;
    const TableTracker::Seen seen = tracker.see(t);
    if (seen.closed) out += kNightEntry;  // the night colour after the book's own
    if (seen.inside && t.kind == Token::Kind::word && is_component(t.word) && t.has_param) {
      rewrite(out, rtf, t, 255 - std::clamp<long>(t.value32(), 0, 255));
      continue;
    }
    if (t.kind == Token::Kind::word && t.word == "cf" && t.has_param && t.param == 0) {
      rewrite(out, rtf, t, night);
      continue;
    }
    out.append(rtf, t.begin, t.end - t.begin);
    if (t.kind == Token::Kind::word && t.word == "plain") out += use_night;
    // The document's own colour from the table on (the control takes a
    // colour number only once it knows the table); a table of its own
    // after {\rtf1 where there is none.
    if (seen.closed) out += use_night;
    if (!started && t.kind == Token::Kind::word) {
      started = true;
      if (!table.found) out += "{\\colortbl ;" + kNightEntry + "}" + use_night;
    }
  }
  return out;
}

std::string without_view_marks(std::string_view rtf, const ViewMarks& marks) {
  if (!marks.spacing && !marks.night) return std::string(rtf);
  const Table table = marks.night ? read_table(rtf) : Table{};
  std::string out;
  out.reserve(rtf.size());
  TableTracker tracker;
  bool after_spacing = false;
  for (size_t pos = 0; pos < rtf.size();) {
    const Token t = next_token(rtf, pos);
    out.append(rtf, pos, t.begin - pos);  // line breaks between tokens stay
    if (t.kind == Token::Kind::end) break;
    pos = t.end;
    const bool in_table = tracker.see(t).inside;
    if (table.night >= 0 && t.begin >= table.night_begin && t.begin < table.night_end) {
      pos = table.night_end;  // the night colour's entry goes
      continue;
    }
    const bool spacing_word = marks.spacing && t.kind == Token::Kind::word && t.word == "sl" &&
                              t.has_param && std::llabs(t.param) == marks.spacing;
    const bool its_multiple = after_spacing && t.kind == Token::Kind::word && t.word == "slmult";
    after_spacing = spacing_word;
    if (spacing_word || its_multiple) continue;
    if (marks.night && in_table && t.kind == Token::Kind::word && t.has_param &&
        is_component(t.word)) {
      rewrite(out, rtf, t, 255 - std::clamp<long>(t.value32(), 0, 255));
      continue;
    }
    if (table.night >= 0 && t.kind == Token::Kind::word && t.has_param && t.param >= table.night &&
        names_colour(t.word)) {
      rewrite(out, rtf, t, t.param == table.night ? 0 : static_cast<long>(t.param) - 1);
      continue;
    }
    out.append(rtf, t.begin, t.end - t.begin);
  }
  return out;
}

}  // namespace folivra
