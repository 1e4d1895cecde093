#include "text/chapter_cut.h"

#include <array>
#include <vector>

#include "text/rtf_check.h"
#include "text/rtf_token.h"

namespace folivra {

namespace {

// Control words that stand for one character of the text.
bool is_character_word(std::string_view word) {
  static constexpr std::array<std::string_view, 17> kWords = {
      "par",     "line",    "tab",     "sect",   "page",      "emdash",
      "endash",  "bullet",  "lquote",  "rquote", "ldblquote", "rdblquote",
      "emspace", "enspace", "qmspace", "cell",   "nestcell"};
  for (std::string_view w : kWords) {
    if (w == word) return true;
  }
  return false;
}

struct Frame {
  bool skip = false;     // a destination: its text is not the chapter's
  size_t start = 0;      // where its '{' is
  std::string state;     // the formatting words seen in it so far
  int unicode_skip = 1;  // \ucN
  uint8_t style = 0;     // bold, italic, underline
};

// \b, \i and \ul with their off forms, and \plain, change the style.
void follow_style(uint8_t& style, const Token& t) {
  const bool on = !t.has_param || t.param != 0;
  const auto set = [&](uint8_t bit, bool value) { style = value ? style | bit : style & ~bit; };
  if (t.word == "b")
    set(kBold, on);
  else if (t.word == "i")
    set(kItalic, on);
  else if (t.word == "ul")
    set(kUnderline, on);
  else if (t.word == "ulnone")
    set(kUnderline, false);
  else if (t.word == "plain")
    style = 0;
}

struct Cut {
  size_t at;  // the byte the second part starts with
  std::vector<Frame> open;
};

// Walks the text of an RTF content; stops before character `stop` (npos:
// never). Gives the number of characters passed and, when it stopped, the
// byte offset and the groups open there.
struct Walk {
  bool ok = false;
  size_t characters = 0;
  size_t stopped_at = std::string_view::npos;
  std::vector<Frame> open;
  std::vector<Cut> cuts;      // where `cut_here` said yes
  bool cuts_refused = false;  // a cut would have to repeat too much formatting
};

// Each piece opens with the formatting words seen before it; past this,
// hostile RTF (formatting words by the million) is not worth cutting.
constexpr size_t kMaxCutState = 64 * 1024;

using Each = std::function<void(const TextCharacter&)>;
// Asked before each character, with the number of characters before it.
using CutHere = std::function<bool(size_t characters)>;

// What a token that stands for a character is, for for_each_text_character.
TextCharacter character_of(std::string_view rtf, const Token& t, size_t end) {
  using Kind = TextCharacter::Kind;
  if (t.kind == Token::Kind::word) {
    if (t.word == "u")
      return {Kind::code_point, static_cast<uint32_t>(t.param < 0 ? t.param + 65536 : t.param)};
    if (t.word == "tab") return {Kind::byte, '\t'};
    if (t.word == "emdash") return {Kind::code_point, 0x2014};
    if (t.word == "endash") return {Kind::code_point, 0x2013};
    if (t.word == "bullet") return {Kind::code_point, 0x2022};
    if (t.word == "lquote") return {Kind::code_point, 0x2018};
    if (t.word == "rquote") return {Kind::code_point, 0x2019};
    if (t.word == "ldblquote") return {Kind::code_point, 0x201C};
    if (t.word == "rdblquote") return {Kind::code_point, 0x201D};
    if (t.word == "emspace" || t.word == "enspace" || t.word == "qmspace") return {Kind::byte, ' '};
    return {Kind::line_break, '\r'};
  }
  if (t.kind == Token::Kind::symbol) {
    if (t.word == "par") return {Kind::line_break, '\r'};
    if (t.word == "~") return {Kind::byte, ' '};
    if (t.word == "_") return {Kind::byte, '-'};
    return {Kind::byte, static_cast<uint32_t>(static_cast<unsigned char>(t.word[0]))};
  }
  if (end != t.end) {
    const Token partner = next_token(rtf, t.end);
    return {Kind::pair, t.byte << 8 | partner.byte};
  }
  return {Kind::byte, t.byte};
}

// Where the fallback of a \u that ends at `pos` ends: the characters the
// reader skips after it.
size_t fallback_end(std::string_view rtf, size_t pos, const Frame& frame) {
  for (int k = 0; k < frame.unicode_skip; ++k) {
    const Token t = next_token(rtf, pos);
    if (t.kind != Token::Kind::text && t.kind != Token::Kind::escape) break;
    pos = t.end;
  }
  return pos;
}

Walk walk_rtf(std::string_view rtf, size_t stop, const Each* each = nullptr,
              const CutHere* cut_here = nullptr) {
  Walk w;
  std::vector<Frame> stack;
  int fallback = 0;  // characters of a \u's fallback still to skip
  size_t pos = 0;
  for (;;) {
    Token t = next_token(rtf, pos);
    pos = t.end;
    if (t.kind == Token::Kind::end) break;
    if (t.kind == Token::Kind::open || t.kind == Token::Kind::close) {
      fallback = 0;  // a \u's fallback never runs past its group
    }
    if (t.kind == Token::Kind::open) {
      Frame f;
      f.start = t.begin;
      f.skip = !stack.empty() && stack.back().skip;
      f.unicode_skip = stack.empty() ? 1 : stack.back().unicode_skip;
      f.style = stack.empty() ? 0 : stack.back().style;
      const Token peek = next_token(rtf, pos);
      if ((peek.kind == Token::Kind::symbol && peek.word == "*") ||
          (peek.kind == Token::Kind::word && is_destination(peek.word))) {
        f.skip = true;
      }
      stack.push_back(std::move(f));
      continue;
    }
    if (t.kind == Token::Kind::close) {
      if (stack.empty()) return w;
      Frame done = std::move(stack.back());
      stack.pop_back();
      // The document's own tables go with the formatting of the outer group.
      if (done.skip && stack.size() == 1 && !stack.back().skip) {
        stack.back().state.append(rtf.substr(done.start, t.end - done.start));
      }
      if (stack.empty()) {
        if (w.characters == stop) {
          w.stopped_at = t.begin;
          w.open = {};
        }
        w.ok = true;
        return w;
      }
      continue;
    }
    if (stack.empty()) return w;
    Frame& frame = stack.back();
    if (frame.skip) continue;
    if (t.kind == Token::Kind::word && t.word == "bin") {
      pos = std::min(rtf.size(), pos + static_cast<size_t>(std::max(0L, t.param)));
      continue;
    }
    bool character = false;
    size_t end = t.end;
    if (t.kind == Token::Kind::word) {
      if (t.word == "u") {
        character = true;
      } else if (is_character_word(t.word)) {
        character = true;
      } else {
        if (t.word == "uc") frame.unicode_skip = static_cast<int>(t.param);
        follow_style(frame.style, t);
        frame.state.append(rtf.substr(t.begin, t.end - t.begin));
        if (frame.state.back() != ' ') frame.state.push_back(' ');
        continue;
      }
    } else if (t.kind == Token::Kind::symbol) {
      character = t.word == "~" || t.word == "_" || t.word == "\\" || t.word == "{" ||
                  t.word == "}" || t.word == "par";
      if (!character) continue;
    } else {  // escape or text: a GBK character takes two bytes
      if (fallback > 0) {
        --fallback;
        continue;
      }
      character = true;
      if (lead_byte(t.byte)) {
        const Token partner = next_token(rtf, t.end);
        if (partner.kind == t.kind) end = partner.end;
      }
    }
    if (!character) continue;
    if (cut_here && (*cut_here)(w.characters)) {
      size_t state = 0;
      for (const Frame& f : stack) state += f.state.size() + 1;
      if (state > kMaxCutState) {
        w.cuts_refused = true;
        cut_here = nullptr;
      } else {
        w.cuts.push_back({t.begin, stack});
      }
    }
    if (w.characters == stop) {
      w.stopped_at = t.begin;
      w.open = stack;
      // Runs on to check that the rest is balanced.
      stop = std::string_view::npos;
    }
    ++w.characters;
    if (each) {
      TextCharacter c = character_of(rtf, t, end);
      c.style = frame.style;
      c.begin = t.begin;
      c.end = end;
      if (t.kind == Token::Kind::word && t.word == "u") c.end = fallback_end(rtf, end, frame);
      (*each)(c);
    }
    pos = end;
    if (t.kind == Token::Kind::word && t.word == "u") fallback = frame.unicode_skip;
  }
  return w;  // the outer group never closed
}

// A plain text's characters: a GBK character and a line break are one each.
size_t plain_step(std::string_view text, size_t i) {
  if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') return i + 2;
  if (lead_byte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) return i + 2;
  return i + 1;
}

std::string escaped(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    if (c == '\\' || c == '{' || c == '}') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == '\n' || c == '\r') {
      out += "\\par ";
    } else if (c >= 0x80) {
      out += "\\'";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string as_rtf(std::string_view content) {
  if (looks_like_rtf(content)) return std::string(content);
  return "{\\rtf1\\ansi\\ansicpg936 " + escaped(content) + "}";
}

}  // namespace

void for_each_text_character(std::string_view content, const Each& each) {
  if (looks_like_rtf(content)) {
    walk_rtf(content, std::string_view::npos, &each);
    return;
  }
  using Kind = TextCharacter::Kind;
  for (size_t i = 0; i < content.size();) {
    const size_t next = plain_step(content, i);
    const auto b = static_cast<unsigned char>(content[i]);
    if (b == '\r' || b == '\n') {
      each({Kind::line_break, '\r', 0, i, next});
    } else if (next - i == 2) {
      each({Kind::pair, static_cast<uint32_t>(b) << 8 | static_cast<unsigned char>(content[i + 1]),
            0, i, next});
    } else {
      each({Kind::byte, b, 0, i, next});
    }
    i = next;
  }
}

size_t chapter_text_length(std::string_view content) {
  if (looks_like_rtf(content)) return walk_rtf(content, std::string_view::npos).characters;
  size_t n = 0;
  for (size_t i = 0; i < content.size(); i = plain_step(content, i)) ++n;
  return n;
}

std::optional<ContentHalves> cut_chapter_content(std::string_view content, size_t at) {
  if (!looks_like_rtf(content)) {
    size_t i = 0;
    for (size_t n = 0; n < at; ++n) {
      if (i >= content.size()) return std::nullopt;
      i = plain_step(content, i);
    }
    return ContentHalves{std::string(content.substr(0, i)), std::string(content.substr(i))};
  }
  const Walk w = walk_rtf(content, at);
  if (!w.ok || w.stopped_at == std::string_view::npos) return std::nullopt;
  ContentHalves halves;
  halves.first = std::string(content.substr(0, w.stopped_at));
  halves.first.append(std::max<size_t>(w.open.size(), 1), '}');
  if (w.open.empty()) {  // cut at the very end: the second half is empty
    halves.second = "{\\rtf1\\ansi\\ansicpg936 }";
    return halves;
  }
  for (const Frame& frame : w.open) halves.second += "{" + frame.state;
  halves.second.append(content.substr(w.stopped_at));
  return halves;
}

std::vector<std::string> cut_into_pieces(std::string_view content, size_t characters,
                                         size_t breaks) {
  std::vector<size_t> starts{0};  // where each piece starts in `content`
  size_t since_cut = 0, breaks_since_cut = 0;
  bool after_break = false;
  if (!looks_like_rtf(content)) {
    for (size_t i = 0; i < content.size();) {
      if (after_break && (since_cut >= characters || breaks_since_cut >= breaks)) {
        starts.push_back(i);
        since_cut = breaks_since_cut = 0;
      }
      const size_t next = plain_step(content, i);
      after_break = content[i] == '\r' || content[i] == '\n';
      breaks_since_cut += after_break;
      ++since_cut;
      i = next;
    }
    std::vector<std::string> pieces;
    starts.push_back(content.size());
    for (size_t k = 0; k + 1 < starts.size(); ++k) {
      pieces.emplace_back(content.substr(starts[k], starts[k + 1] - starts[k]));
    }
    return pieces;
  }
  size_t last_cut = 0;  // characters before the last cut
  const Each each = [&](const TextCharacter& c) {
    after_break = c.kind == TextCharacter::Kind::line_break;
    breaks_since_cut += after_break;
  };
  const CutHere cut_here = [&](size_t before) {
    if (!after_break || (before - last_cut < characters && breaks_since_cut < breaks)) {
      return false;
    }
    last_cut = before;
    breaks_since_cut = 0;
    return true;
  };
  const Walk w = walk_rtf(content, std::string_view::npos, &each, &cut_here);
  if (!w.ok || w.cuts.empty() || w.cuts_refused) return {std::string(content)};
  std::vector<std::string> pieces;
  size_t from = 0;
  std::string opening;  // the groups open where the piece starts, with their formatting
  for (const Cut& cut : w.cuts) {
    pieces.push_back(opening);
    pieces.back().append(content.substr(from, cut.at - from));
    pieces.back().append(cut.open.size(), '}');
    opening.clear();
    for (const Frame& frame : cut.open) opening += "{" + frame.state;
    from = cut.at;
  }
  pieces.push_back(opening);
  pieces.back().append(content.substr(from));
  return pieces;
}

std::string plain_content_as_rtf(std::string_view content) { return as_rtf(content); }

}  // namespace folivra
