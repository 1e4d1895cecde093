#include "fuzz/rtf_reference.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "book/code_page.h"
#include "text/code_pages.h"
#include "text/rtf_token.h"

namespace folivra {

namespace {

constexpr int kMaxDepth = 1000;
constexpr size_t kHeldParagraph = 4096;  // the walk's: a longer paragraph's start is sent

enum class Item { character, paragraph, line_break, row_mark };

struct Unit {
  Item item;
  char16_t unit;
};

// One group's settings, passed down by value: what a group changes, its end undoes.
struct Settings {
  bool skip = false, font_table = false, row_props = false;
  int uc = 1;
  int code_page = 1252;
};

class Reference {
 public:
  explicit Reference(std::string_view rtf) : rtf_(rtf) {}

  std::optional<std::u16string> text() {
    Settings top;
    size_t pos = 0;
    const Token first = read(pos);
    if (first.kind != Token::Kind::open) return std::u16string();
    if (!group(pos, top, 1)) return std::nullopt;
    if (!out_.empty() && out_.back().item == Item::paragraph) out_.pop_back();
    std::u16string text;
    for (const Unit& u : out_) {
      text += u.item == Item::row_mark ? u"\r\n" : std::u16string(1, u.unit);
    }
    return text;
  }

 private:
  Token read(size_t& pos) {
    const Token t = next_token(rtf_, pos);
    pos = t.end;
    return t;
  }

  // The group whose '{' ends before `pos`, to its '}' (or the end); false
  // when it nests deeper than this reader follows.
  bool group(size_t& pos, Settings s, int depth) {
    if (depth > kMaxDepth) return false;
    fallback_ = 0;
    const Token peek = next_token(rtf_, pos);
    const bool starred = peek.kind == Token::Kind::symbol && peek.word == "*";
    const Token named = starred ? next_token(rtf_, peek.end) : peek;
    const auto names = [&](std::string_view w) {
      return named.kind == Token::Kind::word && named.word == w;
    };
    const bool picture = !s.skip && peek.kind == Token::Kind::word && peek.word == "pict";
    const bool fonts_here = !s.font_table && names("fonttbl");
    s.font_table = s.font_table || fonts_here;
    s.row_props = s.row_props || names("nesttableprops");
    if ((starred && !names("shppict")) ||
        (peek.kind == Token::Kind::word && is_destination(peek.word))) {
      s.skip = true;
    }
    for (;;) {
      const Token t = read(pos);
      if (t.kind == Token::Kind::end) return finished_ = true;
      if (t.kind == Token::Kind::open) {
        const bool inner_fonts = !s.font_table;
        if (!group(pos, s, depth + 1)) return false;
        if (finished_) return true;
        fallback_ = 0;
        // Once the fonts are known, the default one is the group's.
        if (inner_fonts && fonts_read_) {
          fonts_read_ = false;
          if (const int* cp = font(default_font_)) s.code_page = *cp;
        }
        continue;
      }
      if (t.kind == Token::Kind::close) {
        fallback_ = 0;
        fonts_read_ = fonts_here;
        if (picture) {
          rows_for_text();
          add(Item::character, 0xFFFC);
        }
        if (depth == 1) finished_ = true;
        return true;
      }
      if (t.kind == Token::Kind::word && t.word == "bin") {
        pos = std::min(rtf_.size(), pos + static_cast<size_t>(std::max<int64_t>(0, t.param)));
        continue;
      }
      if (s.font_table) {
        font_word(t);
        continue;
      }
      if (s.skip) {
        if (s.row_props && t.kind == Token::Kind::word && t.word == "nestrow") end_row(true);
        continue;
      }
      if (t.kind == Token::Kind::word) {
        word(t, s);
      } else if (t.kind == Token::Kind::symbol) {
        symbol(t);
      } else if (fallback_ > 0) {
        --fallback_;
      } else {
        byte(t, s, pos);
      }
    }
  }

  void font_word(const Token& t) {
    if (t.kind != Token::Kind::word) return;
    if (t.word == "f") {
      font_ = t.value32();
      if (fonts_.size() < 4096 && !font(font_)) fonts_.push_back({font_, 0});
    } else if ((t.word == "fcharset" || t.word == "cpg") && font(font_)) {
      *font(font_) = t.word == "cpg" ? t.value32() : charset_code_page(t.value32());
    }
  }
  int* font(long number) {
    for (auto& f : fonts_) {
      if (f.first == number) return &f.second;
    }
    return nullptr;
  }

  void word(const Token& t, Settings& s) {
    const std::string_view w = t.word;
    static constexpr std::pair<std::string_view, char16_t> kNamed[] = {
        {"tab", u'\t'},      {"emdash", 0x2014}, {"endash", 0x2013},    {"bullet", 0x2022},
        {"lquote", 0x2018},  {"rquote", 0x2019}, {"ldblquote", 0x201C}, {"rdblquote", 0x201D},
        {"emspace", u' '},   {"enspace", u' '},  {"zwj", 0x200D},       {"zwnj", 0x200C},
        {"ltrmark", 0x200E}, {"rtlmark", 0x200F}};
    for (const auto& [name, unit] : kNamed) {
      if (w == name) {
        rows_for_text();
        add(Item::character, unit);
        return;
      }
    }
    if (w == "u") {
      rows_for_text();
      add(Item::character, static_cast<char16_t>(t.param));
      fallback_ = s.uc;
    } else if (w == "par" || w == "sect" || w == "page") {
      rows_for_text();
      add(Item::paragraph, u'\r');
    } else if (w == "line") {
      rows_for_text();
      add(Item::line_break, 0x0B);
    } else if (w == "cell" || w == "nestcell") {
      if (!in_table_ && rows_ == 0) return;
      open_rows(std::max(w == "cell" ? 1 : 2, in_table_ ? level_ : 1));
      add(Item::character, u'\t');
    } else if (w == "row") {
      end_row(false);
    } else if (w == "nestrow") {
      end_row(true);
    } else if (w == "intbl") {
      in_table_ = true;
      rows_at_paragraph_start();
    } else if (w == "itap") {
      level_ = static_cast<int>(std::clamp(t.value32(), 0, 64));
      in_table_ = level_ > 0;
    } else if (w == "pard") {
      in_table_ = false;
      level_ = 1;
    } else if (w == "uc") {
      s.uc = t.value32();
    } else if (w == "ansicpg") {
      s.code_page = t.value32();
    } else if (w == "deff") {
      default_font_ = t.value32();
    } else if (w == "f") {
      if (const int* cp = font(t.value32())) s.code_page = *cp;
    }
  }

  void symbol(const Token& t) {
    char16_t unit = 0;
    if (t.word == "par") {
      rows_for_text();
      add(Item::paragraph, u'\r');
      return;
    }
    if (t.word == "~") unit = 0xA0;
    if (t.word == "_") unit = 0x2011;
    if (t.word == "\\" || t.word == "{" || t.word == "}") unit = static_cast<char16_t>(t.word[0]);
    if (!unit) return;
    rows_for_text();
    add(Item::character, unit);
  }

  void byte(const Token& t, const Settings& s, size_t& pos) {
    rows_for_text();
    const auto b = static_cast<uint8_t>(t.byte);
    if (s.code_page == kSymbolCodePage) return add(Item::character, b >= 0x20 ? 0xF000 + b : b);
    if (b < 0x80) return add(Item::character, b);
    if (s.code_page == 65001) return utf8(b, pos);
    const CodePage* page = code_page(s.code_page);
    if (!page) page = code_page(1252);
    const char16_t none = s.code_page == 932 ? 0x30FB : u'?';
    if (!page->is_lead(b)) {
      const char16_t u = page->single(b);
      return add(Item::character, u ? u : none);
    }
    const Token trail = next_token(rtf_, pos);
    if (trail.kind != Token::Kind::text && trail.kind != Token::Kind::escape) {
      return add(Item::character, none);
    }
    pos = trail.end;
    const char16_t u = page->pair(b, static_cast<uint8_t>(trail.byte));
    add(Item::character, u ? u : none);
  }

  void utf8(uint8_t b, size_t& pos) {
    const int n = b >= 0xF0 && b < 0xF5 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 && b < 0xE0 ? 2 : 0;
    uint32_t cp = n == 0 ? 0xFFFD : b & (0xFF >> (n + 1));
    for (int k = 1; k < n; ++k) {
      const Token next = next_token(rtf_, pos);
      if ((next.kind != Token::Kind::text && next.kind != Token::Kind::escape) ||
          (next.byte & 0xC0) != 0x80) {
        cp = 0xFFFD;
        break;
      }
      cp = cp << 6 | (next.byte & 0x3F);
      pos = next.end;
    }
    const uint32_t least = n == 4 ? 0x10000 : n == 3 ? 0x800 : 0;
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
    if (cp < 0x10000) return add(Item::character, static_cast<char16_t>(cp));
    add(Item::character, static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
    add(Item::character, static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
  }

  void add(Item item, char16_t unit) { out_.push_back({item, unit}); }

  // Where the paragraph being written starts in out_.
  size_t paragraph_start() const {
    size_t i = out_.size();
    while (i > 0 && out_[i - 1].item == Item::character) --i;
    return i;
  }
  void open_rows(int level) {
    while (rows_ < level) {
      add(Item::row_mark, u'\r');
      ++rows_;
    }
  }
  void rows_for_text() {
    if (in_table_) open_rows(level_);
  }
  void rows_at_paragraph_start() {
    const size_t start = paragraph_start();
    if (out_.size() - start > kHeldParagraph) return open_rows(level_);
    std::vector<Unit> marks;
    for (; rows_ < level_; ++rows_) marks.push_back({Item::row_mark, u'\r'});
    out_.insert(out_.begin() + static_cast<long>(start), marks.begin(), marks.end());
  }
  void end_row(bool nested) {
    if (rows_ <= (nested ? 1 : 0)) return;
    rows_ = nested ? rows_ - 1 : 0;
    add(Item::row_mark, u'\r');
  }

  std::string_view rtf_;
  std::vector<Unit> out_;
  int fallback_ = 0;
  bool finished_ = false;
  bool fonts_read_ = false;  // the group that just closed was the font table
  std::vector<std::pair<long, int>> fonts_;
  long font_ = 0, default_font_ = -1;
  bool in_table_ = false;
  int level_ = 1, rows_ = 0;
};

}  // namespace

std::optional<std::u16string> reference_rtf_text(std::string_view rtf) {
  return Reference(rtf).text();
}

}  // namespace folivra
