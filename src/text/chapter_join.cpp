// Two chapters joined into one: the second's text keeps its fonts and
// colours, which move into the first's tables under numbers of their own.
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "text/chapter_cut.h"
#include "text/rtf_check.h"
#include "text/rtf_token.h"

namespace folivra {

namespace {

// The inside of the outer group, without its tables and its \rtf1 (its
// pictures and every other group of its own text stay).
std::string body_of(std::string_view rtf) {
  std::string out;
  int depth = 0;
  int skip_depth = 0;  // depth at which a dropped table began
  size_t pos = 0;
  for (;;) {
    const Token t = next_token(rtf, pos);
    if (t.kind == Token::Kind::end) break;
    const std::string_view raw = rtf.substr(pos, t.end - pos);
    pos = t.end;
    if (t.kind == Token::Kind::open) {
      ++depth;
      if (depth == 1) continue;
      const Token peek = next_token(rtf, pos);
      const Token named =
          peek.kind == Token::Kind::symbol && peek.word == "*" ? next_token(rtf, peek.end) : peek;
      if (!skip_depth && depth == 2 && named.kind == Token::Kind::word &&
          is_document_table(named.word)) {
        skip_depth = depth;
      }
    } else if (t.kind == Token::Kind::close) {
      --depth;
      if (skip_depth && depth < skip_depth) {
        skip_depth = 0;
        continue;
      }
      if (depth == 0) break;
    } else if (depth == 1 && t.kind == Token::Kind::word && t.word == "rtf") {
      continue;
    }
    if (!skip_depth) out.append(raw);
  }
  return out;
}

// A document's font and colour tables: where each group ends (its closing
// brace), the fonts by number with their entry text, the colours in order
// (entry 0, "auto", included), and the default font.
struct Tables {
  size_t font_close = std::string::npos, colour_close = std::string::npos;
  size_t header_end = std::string::npos;  // after the \rtf1 group's opening words
  std::map<long, std::string> fonts;
  std::vector<std::string> colours;
  long default_font = -1;
};

// The end of the group that opens at `open`, or npos.
size_t group_end(std::string_view rtf, size_t open) {
  int depth = 0;
  for (size_t pos = open;;) {
    const Token t = next_token(rtf, pos);
    if (t.kind == Token::Kind::end) return std::string::npos;
    pos = t.end;
    if (t.kind == Token::Kind::open) ++depth;
    if (t.kind == Token::Kind::close && --depth == 0) return t.begin;
    if (t.kind == Token::Kind::word && t.word == "bin" && t.param > 0) {
      pos = std::min(rtf.size(), pos + static_cast<size_t>(t.param));
    }
  }
}

Tables tables_of(std::string_view rtf) {
  Tables tables;
  int depth = 0;
  for (size_t pos = 0;;) {
    const Token t = next_token(rtf, pos);
    if (t.kind == Token::Kind::end) break;
    pos = t.end;
    if (t.kind == Token::Kind::word && depth == 1 && t.word == "deff")
      tables.default_font = t.param;
    if (t.kind == Token::Kind::close) --depth;
    if (t.kind != Token::Kind::open) continue;
    ++depth;
    const Token word = next_token(rtf, pos);
    if (depth != 2 || word.kind != Token::Kind::word) continue;
    const size_t close = group_end(rtf, t.begin);
    if (close == std::string::npos) break;
    if (word.word == "fonttbl") {
      tables.font_close = close;
      for (size_t at = word.end; at < close;) {
        const Token entry = next_token(rtf, at);
        if (entry.kind != Token::Kind::open) {
          at = entry.end;
          continue;
        }
        const size_t end = group_end(rtf, entry.begin);
        if (end == std::string::npos || end > close) break;
        const Token number = next_token(rtf, entry.end);
        if (number.kind == Token::Kind::word && number.word == "f" && number.has_param) {
          tables.fonts[number.param] = std::string(rtf.substr(number.end, end - number.end));
        }
        at = end + 1;
      }
    } else if (word.word == "colortbl") {
      tables.colour_close = close;
      std::string entry;
      for (const char c : rtf.substr(word.end, close - word.end)) {
        if (c == ';') {
          tables.colours.push_back(entry);
          entry.clear();
        } else if (c != '\r' && c != '\n') {
          entry += c;
        }
      }
    } else {
      continue;
    }
    pos = close + 1;
    --depth;
  }
  return tables;
}

// A control word with its number, ready to stand before anything.
std::string control(std::string_view word, long number) {
  std::string out(1, '\\');
  out.append(word);
  out += std::to_string(number);
  out += ' ';
  return out;
}

bool colour_word(std::string_view w) {
  return w == "cf" || w == "cb" || w == "highlight" || w == "chcbpat" || w == "chcfpat" ||
         w == "cbpat" || w == "cfpat" || w == "clcbpat" || w == "clcfpat" || w == "ulc";
}

// The body with its font and colour numbers moved as `fonts` and `colour_shift` say.
std::string renumbered(std::string_view body, const std::map<long, long>& fonts,
                       long colour_shift) {
  std::string out;
  for (size_t pos = 0;;) {
    const Token t = next_token(body, pos);
    if (t.kind == Token::Kind::end) break;
    const std::string_view raw = body.substr(pos, t.end - pos);
    pos = t.end;
    if (t.kind == Token::Kind::word && t.word == "deff") continue;  // the first's stays the default
    if (t.kind == Token::Kind::word && t.has_param && t.word == "f" && fonts.count(t.param)) {
      out += control("f", fonts.at(t.param));
    } else if (t.kind == Token::Kind::word && t.has_param && t.param > 0 && colour_word(t.word)) {
      out += control(t.word, t.param + colour_shift);
    } else {
      out.append(raw);
      if (t.kind == Token::Kind::word && t.word == "bin" && t.param > 0) {
        const size_t n = std::min(body.size() - pos, static_cast<size_t>(t.param));
        out.append(body.substr(pos, n));
        pos += n;
      }
    }
  }
  return out;
}

}  // namespace

std::string join_chapter_contents(std::string_view first, std::string_view second) {
  if (!looks_like_rtf(first) && !looks_like_rtf(second)) {
    return std::string(first) + "\r\n" + std::string(second);
  }
  std::string a = looks_like_rtf(first) ? std::string(first) : plain_content_as_rtf(first);
  const std::string b = looks_like_rtf(second) ? std::string(second) : plain_content_as_rtf(second);
  const size_t close = a.rfind('}');
  if (close == std::string::npos) return a;
  const Tables ta = tables_of(a), tb = tables_of(b);

  // The second's fonts: the same number where the first has the same font,
  // otherwise a number after the first's.
  std::map<long, long> fonts;
  std::string new_fonts;
  // Without a table of the first's own, its text names no font and shows in
  // the editor's: font 0, the default, stays unnamed for it.
  long next = ta.fonts.empty() ? 1 : ta.fonts.rbegin()->first + 1;
  for (const auto& font : tb.fonts) {
    const long number = font.first;
    const std::string& entry = font.second;
    const auto same = std::find_if(ta.fonts.begin(), ta.fonts.end(),
                                   [&entry](const auto& f) { return f.second == entry; });
    if (same != ta.fonts.end()) {
      fonts[number] = same->first;
      continue;
    }
    fonts[number] = next;
    new_fonts += '{';
    new_fonts += control("f", next);
    new_fonts += entry;
    new_fonts += '}';
    ++next;
  }
  // Its colours after the first's ("auto", entry 0, stays itself).
  const long shift = ta.colours.empty() ? 0 : static_cast<long>(ta.colours.size()) - 1;
  std::string new_colours;
  for (size_t k = 1; k < tb.colours.size(); ++k) new_colours += tb.colours[k] + ";";

  std::string body = renumbered(body_of(b), fonts, shift);
  if (tb.default_font >= 0 && fonts.count(tb.default_font)) {
    body = control("f", fonts.at(tb.default_font)) + body;
  }
  // A paragraph break that ends the first is the one between them (at the
  // end it shows nothing); one is added at the end when the second is empty,
  // so that the break between them is not the last.
  const bool first_ends_in_break =
      walk_rtf(a, std::string_view::npos).dropped_break_at != std::string_view::npos;
  const bool second_empty = chapter_text_length(b) == 0;
  std::string joined = a.substr(0, close) + (first_ends_in_break ? "{" : "\\par {") + body +
                       (second_empty ? "}\\par }" : "}}");
  // Into the first's tables, the later place first so the earlier stays put.
  std::vector<std::pair<size_t, std::string>> inserts;
  if (!new_fonts.empty()) {
    if (ta.font_close != std::string::npos) {
      inserts.emplace_back(ta.font_close, new_fonts);
    } else {
      inserts.emplace_back(a.find(' ') == std::string::npos ? 6 : a.find(' ') + 1,
                           "{\\fonttbl" + new_fonts + "}");
    }
  }
  if (!new_colours.empty()) {
    if (ta.colour_close != std::string::npos) {
      inserts.emplace_back(ta.colour_close, new_colours);
    } else {
      const size_t at = ta.font_close != std::string::npos ? ta.font_close + 1
                        : a.find(' ') == std::string::npos ? 6
                                                           : a.find(' ') + 1;
      inserts.emplace_back(at, "{\\colortbl ;" + new_colours + "}");
    }
  }
  std::sort(inserts.begin(), inserts.end(),
            [](const auto& x, const auto& y) { return x.first > y.first; });
  for (const auto& [at, text] : inserts) joined.insert(at, text);
  return joined;
}

}  // namespace folivra
