#include "text/rtf_walk.h"

#include <algorithm>
#include <array>

#include "book/code_page.h"
#include "book/gbk.h"
#include "text/code_pages.h"
#include "text/rtf_check.h"
#include "text/rtf_token.h"

namespace folivra {

namespace {

using Kind = TextCharacter::Kind;

constexpr char16_t kObject = 0xFFFC;  // what the control holds for a picture
constexpr size_t kMaxHeldParagraph = 4096;
constexpr size_t kMaxFonts = 4096;

// Each piece opens with the formatting words seen before it; past this,
// hostile RTF (formatting words by the million) is not worth cutting.
constexpr size_t kMaxCutState = 64 * 1024;

// The UTF-16 unit of a control word that stands for one character; 0 for
// the words that are no character.
char16_t named_character(std::string_view word) {
  static constexpr std::array<std::pair<std::string_view, char16_t>, 13> kWords = {{
      {"tab", u'\t'},
      {"emdash", 0x2014},
      {"endash", 0x2013},
      {"bullet", 0x2022},
      {"lquote", 0x2018},
      {"rquote", 0x2019},
      {"ldblquote", 0x201C},
      {"rdblquote", 0x201D},
      {"emspace", u' '},
      {"enspace", u' '},
      {"zwj", 0x200D},
      {"zwnj", 0x200C},
      {"ltrmark", 0x200E},
  }};
  for (const auto& [w, unit] : kWords) {
    if (w == word) return unit;
  }
  return word == "rtlmark" ? 0x200F : 0;
}

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

bool is_byte(const Token& t) {
  return t.kind == Token::Kind::text || t.kind == Token::Kind::escape;
}

class Walker {
 public:
  Walker(std::string_view rtf, size_t stop, const EachCharacter* each, const CutHere* cut_here)
      : rtf_(rtf), stop_(stop), each_(each), cut_here_(cut_here) {}

  RtfWalk run() {
    for (size_t pos = 0;;) {
      const Token t = next_token(rtf_, pos);
      pos = t.end;
      if (t.kind == Token::Kind::end) break;
      if (t.kind == Token::Kind::open || t.kind == Token::Kind::close) fallback_ = 0;
      if (t.kind == Token::Kind::open) {
        open_group(t, pos);
        continue;
      }
      if (t.kind == Token::Kind::close) {
        if (stack_.empty() || close_group(t)) return finish();
        continue;
      }
      if (stack_.empty()) return finish();
      pos = step(t);
    }
    return finish();  // the outer group never closed
  }

 private:
  void open_group(const Token& t, size_t pos) {
    RtfFrame f;
    if (!stack_.empty()) {
      const RtfFrame& outer = stack_.back();
      f.skip = outer.skip;
      f.font_table = outer.font_table;
      f.row_props = outer.row_props;
      f.unicode_skip = outer.unicode_skip;
      f.style = outer.style;
      f.code_page = outer.code_page;
    }
    f.start = t.begin;
    const Token peek = next_token(rtf_, pos);
    const bool starred = peek.kind == Token::Kind::symbol && peek.word == "*";
    const Token named = starred ? next_token(rtf_, peek.end) : peek;
    if (named.kind == Token::Kind::word && named.word == "fonttbl") f.font_table = true;
    if (named.kind == Token::Kind::word && named.word == "nesttableprops") f.row_props = true;
    // A picture is one character of the text (an object in the control).
    if (!f.skip && peek.kind == Token::Kind::word && peek.word == "pict") {
      f.picture = true;
    }
    // \*\shppict holds the picture the control shows.
    const bool shape_picture = named.kind == Token::Kind::word && named.word == "shppict";
    if ((starred && !shape_picture) ||
        (peek.kind == Token::Kind::word && is_destination(peek.word))) {
      f.skip = true;
    }
    stack_.push_back(std::move(f));
  }

  // Gives true when the outer group closed.
  bool close_group(const Token& t) {
    RtfFrame done = std::move(stack_.back());
    stack_.pop_back();
    if (stack_.empty()) {
      if (walk_.characters == stop_ && !trailing_break_) {
        walk_.stopped_at = t.begin;
        walk_.open = {};
      }
      walk_.ok = true;
      return true;
    }
    RtfFrame& outer = stack_.back();
    if (done.picture) {
      Token at = t;
      at.begin = done.start;
      open_rows_for_text(at);
      character(at, t.end, Kind::code_point, kObject, kObject);
    }
    if (done.font_table && !outer.font_table) {
      // The control takes the default font once the fonts are known.
      if (const int* cp = font_code_page(default_font_)) outer.code_page = *cp;
    }
    // The document's own tables go with the formatting of the outer group.
    if (done.skip && stack_.size() == 1 && !outer.skip) {
      outer.state.append(rtf_.substr(done.start, t.end - done.start));
    }
    return false;
  }

  // One token inside the document; gives where the next one starts.
  size_t step(const Token& t) {
    RtfFrame& frame = stack_.back();
    if (t.kind == Token::Kind::word && t.word == "bin") {
      return std::min(rtf_.size(), t.end + static_cast<size_t>(std::max<int64_t>(0, t.param)));
    }
    if (frame.font_table) {
      describe_font(t);
      return t.end;
    }
    if (frame.skip) {
      if (frame.row_props && t.kind == Token::Kind::word && t.word == "nestrow") end_row(t, true);
      return t.end;
    }
    if (t.kind == Token::Kind::word) return word(t, frame);
    if (t.kind == Token::Kind::symbol) return symbol(t);
    // A byte of text: in a double-byte code page a lead byte takes the next.
    if (fallback_ > 0) {
      --fallback_;
      return t.end;
    }
    open_rows_for_text(t);
    const int cp = frame.code_page;
    const uint8_t b = static_cast<uint8_t>(t.byte);
    if (cp == kSymbolCodePage) {
      return character(t, t.end, Kind::byte, b, b >= 0x20 ? static_cast<char16_t>(0xF000 + b) : b);
    }
    if (b < 0x80) return ascii_run(t);
    if (cp == 65001) return utf8_character(t);
    const CodePage* page = code_page(cp);
    if (!page) page = code_page(1252);
    // What Windows shows for bytes that are no character: '?', or in code
    // page 932 its own default, the middle dot.
    const char16_t none = cp == 932 ? u'\u30FB' : u'?';
    if (page->is_lead(b)) {
      const Token trail = next_token(rtf_, t.end);
      if (!is_byte(trail)) return character(t, t.end, Kind::byte, b, none);
      const char16_t unit = page->pair(b, static_cast<uint8_t>(trail.byte));
      return character(t, trail.end, Kind::pair, b << 8 | trail.byte, unit ? unit : none);
    }
    const char16_t unit = page->single(b);
    return character(t, t.end, Kind::byte, b, unit ? unit : none);
  }

  // A byte below 0x80 is itself in every code page read here; the plain
  // bytes after it go on without a token each.
  size_t ascii_run(Token t) {
    size_t end = character(t, t.end, Kind::byte, t.byte, static_cast<char16_t>(t.byte));
    while (end < rtf_.size()) {
      const auto c = static_cast<uint8_t>(rtf_[end]);
      if (c >= 0x80 || c == '\\' || c == '{' || c == '}' || c == '\r' || c == '\n') break;
      t.begin = end;
      t.end = end + 1;
      t.byte = c;
      end = character(t, t.end, Kind::byte, c, c);
    }
    return end;
  }

  // Bytes in code page 65001: a UTF-8 sequence is one character (two
  // surrogates beyond the plane); a broken one is U+FFFD.
  size_t utf8_character(const Token& t) {
    const uint8_t b = static_cast<uint8_t>(t.byte);
    const int n = b >= 0xF0 && b < 0xF5 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 && b < 0xE0 ? 2 : 0;
    uint32_t cp = b & (n == 4 ? 0x07 : n == 3 ? 0x0F : 0x1F);
    size_t end = t.end;
    for (int k = 1; k < n; ++k) {
      const Token next = next_token(rtf_, end);
      if (!is_byte(next) || (next.byte & 0xC0) != 0x80) {
        cp = 0xFFFD;
        break;
      }
      cp = cp << 6 | (next.byte & 0x3F);
      end = next.end;
    }
    if (n == 0 || (n == 3 && cp < 0x800) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF)) {
      cp = 0xFFFD;
    }
    if (cp < 0x10000) return character(t, end, Kind::code_point, cp, static_cast<char16_t>(cp));
    character(t, end, Kind::code_point, cp, static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
    return character(t, end, Kind::code_point, cp,
                     static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
  }

  size_t word(const Token& t, RtfFrame& frame) {
    const std::string_view w = t.word;
    if (w == "u") {
      open_rows_for_text(t);
      const size_t end = character(t, t.end, Kind::code_point,
                                   static_cast<uint32_t>(static_cast<uint16_t>(t.param)),
                                   static_cast<char16_t>(t.param));
      fallback_ = frame.unicode_skip;
      return end;
    }
    if (w == "par" || w == "sect" || w == "page") {
      open_rows_for_text(t);
      return paragraph_break(t);
    }
    if (w == "line") {
      open_rows_for_text(t);
      return character(t, t.end, Kind::line_break, '\r', 0x0B);
    }
    if (const char16_t unit = named_character(w)) {
      open_rows_for_text(t);
      return character(t, t.end, unit < 0x80 ? Kind::byte : Kind::code_point, unit, unit);
    }
    if (w == "cell" || w == "nestcell") return cell(t, w == "cell" ? 1 : 2);
    if (w == "row") return end_row(t, false);
    if (w == "nestrow") return end_row(t, true);
    if (w == "intbl") {
      in_table_ = true;
      open_rows_at_paragraph_start(t);
    } else if (w == "itap") {
      level_ = static_cast<int>(std::clamp(t.value32(), 0, 64));
      in_table_ = level_ > 0;
    } else if (w == "pard") {
      in_table_ = false;
      level_ = 1;
    } else if (w == "uc") {
      frame.unicode_skip = t.value32();
    } else if (w == "ansicpg") {
      frame.code_page = t.value32();
    } else if (w == "deff") {
      default_font_ = t.value32();
    } else if (w == "f") {
      if (const int* cp = font_code_page(t.value32())) frame.code_page = *cp;
    }
    follow_style(frame.style, t);
    frame.state.append(rtf_.substr(t.begin, t.end - t.begin));
    if (frame.state.back() != ' ') frame.state.push_back(' ');
    return t.end;
  }

  size_t symbol(const Token& t) {
    const char c = t.word.empty() ? 0 : t.word[0];
    if (t.word == "par") {
      open_rows_for_text(t);
      return paragraph_break(t);
    }
    char16_t unit = 0;
    if (c == '~') unit = 0x00A0;
    if (c == '_') unit = 0x2011;
    if (c == '\\' || c == '{' || c == '}') unit = static_cast<char16_t>(c);
    if (!unit) return t.end;  // \- and the rest show nothing
    open_rows_for_text(t);
    return character(t, t.end, unit < 0x80 ? Kind::byte : Kind::code_point, unit, unit);
  }

  void describe_font(const Token& t) {
    if (t.kind != Token::Kind::word) return;
    if (t.word == "f") {
      font_ = t.value32();
      // A font without a charset reads as the system's. (Past thousands of
      // fonts, hostile RTF, more are not worth looking through.)
      if (fonts_.size() < kMaxFonts && !font_code_page(font_)) fonts_.push_back({font_, 0});
    } else if (t.word == "fcharset" || t.word == "cpg") {
      const int cp = t.word == "cpg" ? t.value32() : charset_code_page(t.value32());
      if (int* known = font_code_page(font_)) *known = cp;
    }
  }
  int* font_code_page(long font) {
    for (auto& [number, cp] : fonts_) {
      if (number == font) return &cp;
    }
    return nullptr;
  }

  // Table rows: the control marks where each starts and ends ("\r\n") and
  // ends each cell with a tab. A row opens with the first text of a
  // paragraph in a table (nested rows one level deeper each).
  void open_rows(const Token& t, int level) {
    while (open_rows_ < level) {
      character(t, t.begin, Kind::line_break, '\r', u'\r', 2);
      ++open_rows_;
    }
  }
  // \intbl after some of a paragraph's text: the control puts the row's
  // start before the paragraph.
  void open_rows_at_paragraph_start(const Token& t) {
    const bool at_start = paragraph_characters_ == 0;
    if (at_start || paragraph_characters_ > kMaxHeldParagraph) return open_rows(t, level_);
    // The characters before it move on: a stop among them is no longer
    // where it was asked for, and is given up.
    if (stop_paragraph_ == paragraphs_ && stop_paragraph_characters_ > 0) {
      walk_.stopped_at = std::string_view::npos;
    }
    std::vector<TextCharacter> marks;
    while (open_rows_ < level_) {
      if (each_) {
        marks.push_back({Kind::line_break, '\r', held_.front().style, held_.front().begin,
                         held_.front().begin, u'\r', 2});
      }
      walk_.characters += 2;
      ++open_rows_;
    }
    held_.insert(held_.begin(), marks.begin(), marks.end());
  }

  void open_rows_for_text(const Token& t) {
    if (in_table_) open_rows(t, level_);
  }
  size_t cell(const Token& t, int level) {
    if (!in_table_ && open_rows_ == 0) return t.end;  // no table: nothing
    open_rows(t, std::max(level, in_table_ ? level_ : 1));
    return character(t, t.end, Kind::byte, '\t', u'\t');
  }
  // \row ends the row and every row nested in it; \nestrow one nested row.
  size_t end_row(const Token& t, bool nested) {
    if (open_rows_ <= (nested ? 1 : 0)) return t.end;
    open_rows_ = nested ? open_rows_ - 1 : 0;
    return character(t, t.end, Kind::line_break, '\r', u'\r', 2);
  }

  size_t paragraph_break(const Token& t) {
    const size_t end = character(t, t.end, Kind::line_break, '\r', u'\r');
    trailing_break_ = true;
    last_break_at_ = t.begin;
    return end;
  }

  // Counts one character stored from `t` to `end`, where a cut or the stop
  // may come before it.
  size_t character(const Token& t, size_t end, Kind kind, uint32_t value, char16_t unit,
                   uint8_t width = 1) {
    if (each_) flush_break();  // what `cut_here` knows includes the character before
    if (cut_here_ && (*cut_here_)(walk_.characters, after_break_)) {
      size_t state = 0;
      for (const RtfFrame& f : stack_) state += f.state.size() + 1;
      if (state > kMaxCutState) {
        walk_.cuts_refused = true;
        cut_here_ = nullptr;
      } else {
        walk_.cuts.push_back({t.begin, stack_});
      }
    }
    if (walk_.characters == stop_) {
      // Right after a row's start mark that is stored with this character
      // no cut can fall: the mark would go with it.
      if (!(mark_at_ == t.begin && after_break_)) {
        walk_.stopped_at = t.begin;
        walk_.open = stack_;
        stop_paragraph_ = paragraphs_;
        stop_paragraph_characters_ = paragraph_characters_;
      }
      stop_ = std::string_view::npos;  // runs on to check that the rest is balanced
    }
    if (width == 2) mark_at_ = t.begin;
    walk_.characters += width;
    if (kind == Kind::line_break) {
      ++paragraphs_;
      paragraph_characters_ = 0;
    } else {
      ++paragraph_characters_;
    }
    after_break_ = kind == Kind::line_break;
    if (each_) {
      TextCharacter c{kind, value, stack_.back().style, t.begin, end, unit, width};
      if (kind == Kind::code_point && t.kind == Token::Kind::word && t.word == "u") {
        c.end = fallback_end(end, stack_.back().unicode_skip);
      }
      held_.push_back(c);
    }
    trailing_break_ = false;
    return end;
  }

  // The characters of the paragraph so far are held back: a row's start may
  // still go before them, and the control drops a paragraph break that
  // ends the text. Sent once the next paragraph starts (or, for a long
  // paragraph, as it grows).
  void flush_break() {
    const bool ended = !held_.empty() && held_.back().kind == Kind::line_break;
    if (!ended && held_.size() < kMaxHeldParagraph) return;
    send_held();
  }
  void send_held() {
    for (const TextCharacter& c : held_) (*each_)(c);
    held_.clear();
  }

  // Where the fallback of a \u ends: the bytes the control skips after it.
  size_t fallback_end(size_t pos, int skip) const {
    for (int k = 0; k < skip; ++k) {
      const Token t = next_token(rtf_, pos);
      if (!is_byte(t)) break;
      pos = t.end;
    }
    return pos;
  }

  RtfWalk finish() {
    if (trailing_break_) {
      walk_.characters -= 1;
      walk_.dropped_break_at = last_break_at_;
      if (!held_.empty()) held_.pop_back();
    }
    if (each_) send_held();
    return std::move(walk_);
  }

  std::string_view rtf_;
  size_t stop_;
  const EachCharacter* each_;
  const CutHere* cut_here_;
  RtfWalk walk_;
  std::vector<RtfFrame> stack_;
  int fallback_ = 0;                         // bytes of a \u's fallback still to skip
  std::vector<std::pair<long, int>> fonts_;  // code page by font number
  long font_ = 0, default_font_ = -1;
  bool in_table_ = false;  // the paragraph is in a table (\intbl)
  int level_ = 1;          // its nesting (\itapN)
  int open_rows_ = 0;
  bool trailing_break_ = false;              // the last character was a paragraph break
  bool after_break_ = false;                 // the last character was a break of any kind
  size_t last_break_at_ = 0;                 // where the last paragraph break is stored
  std::vector<TextCharacter> held_;          // the paragraph's characters not yet sent
  size_t mark_at_ = std::string_view::npos;  // where the last row mark is stored
  size_t paragraphs_ = 0;                    // breaks so far
  size_t paragraph_characters_ = 0;          // characters since the last break
  size_t stop_paragraph_ = SIZE_MAX, stop_paragraph_characters_ = 0;  // where the stop came
};

}  // namespace

size_t plain_text_step(std::string_view text, size_t i) {
  if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') return i + 2;
  if (is_gbk_lead_byte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) return i + 2;
  return i + 1;
}

RtfWalk walk_rtf(std::string_view rtf, size_t stop, const EachCharacter* each,
                 const CutHere* cut_here) {
  return Walker(rtf, stop, each, cut_here).run();
}

void for_each_text_character(std::string_view content, const EachCharacter& each) {
  if (looks_like_rtf(content)) {
    walk_rtf(content, std::string_view::npos, &each);
    return;
  }
  const CodePage& gbk = gbk_code_page();
  for (size_t i = 0; i < content.size();) {
    const size_t next = plain_text_step(content, i);
    const auto b = static_cast<uint8_t>(content[i]);
    if (b == '\r' || b == '\n') {
      each({Kind::line_break, '\r', 0, i, next, u'\r', 1});
    } else if (next - i == 2) {
      const auto trail = static_cast<uint8_t>(content[i + 1]);
      const char16_t unit = gbk.pair(b, trail);
      each({Kind::pair, static_cast<uint32_t>(b << 8 | trail), 0, i, next, unit ? unit : u'\xFFFD',
            1});
    } else {
      const char16_t unit = gbk.single(b);
      each({Kind::byte, b, 0, i, next, unit ? unit : u'\xFFFD', 1});
    }
    i = next;
  }
}

size_t chapter_text_length(std::string_view content) {
  if (looks_like_rtf(content)) return walk_rtf(content, std::string_view::npos).characters;
  size_t n = 0;
  for (size_t i = 0; i < content.size(); i = plain_text_step(content, i)) ++n;
  return n;
}

}  // namespace folivra
