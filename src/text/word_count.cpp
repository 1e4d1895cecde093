#include "text/word_count.h"

#include "text/chapter_cut.h"

namespace folivra {

namespace {

enum class Class { word, letter, space, other };

bool ascii_alnum(uint32_t c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// A GBK pair: rows A1..A9 hold symbols, except full-width digits and letters
// (row A3), kana (A4, A5), Greek and Cyrillic (A6, A7) and pinyin (A8).
Class class_of_pair(uint32_t pair) {
  const uint32_t lead = pair >> 8, trail = pair & 0xFF;
  if (pair == 0xA1A1) return Class::space;  // the full-width space
  if (lead == 0xA3) {
    const bool alnum = (trail >= 0xB0 && trail <= 0xB9) || (trail >= 0xC1 && trail <= 0xDA) ||
                       (trail >= 0xE1 && trail <= 0xFA);
    return alnum ? Class::word : Class::other;
  }
  if (lead == 0xA1 || lead == 0xA2 || lead == 0xA9) return Class::other;
  return Class::word;
}

Class class_of_code_point(uint32_t c) {
  if (c < 0x80) {
    if (ascii_alnum(c)) return Class::letter;
    return c == ' ' || c == '\t' ? Class::space : Class::other;
  }
  if (c == 0x3000 || c == 0xA0) return Class::space;
  if ((c >= 0x00C0 && c <= 0x024F && c != 0xD7 && c != 0xF7) || (c >= 0x0370 && c <= 0x04FF)) {
    return Class::letter;  // Latin, Greek and Cyrillic letters join a word
  }
  const bool cjk = (c >= 0x2E80 && c <= 0x2FDF) || (c >= 0x3040 && c <= 0x30FF) ||
                   (c >= 0x3100 && c <= 0x31FF) || (c >= 0x3400 && c <= 0x4DBF) ||
                   (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) ||
                   (c >= 0xF900 && c <= 0xFAFF) || (c >= 0x20000 && c <= 0x3FFFF);
  const bool full_width_alnum =
      (c >= 0xFF10 && c <= 0xFF19) || (c >= 0xFF21 && c <= 0xFF3A) || (c >= 0xFF41 && c <= 0xFF5A);
  return cjk || full_width_alnum ? Class::word : Class::other;
}

// Counts character by character; a line break ends a word and counts nothing.
class Counter {
 public:
  void line_break() { in_word_ = false; }
  void add(Class c) {
    ++count_.characters;
    if (c != Class::space) ++count_.characters_no_space;
    if (c == Class::letter) {
      if (!in_word_) ++count_.words;
      in_word_ = true;
      return;
    }
    in_word_ = false;
    if (c == Class::word) ++count_.words;
  }
  const WordCount& count() const { return count_; }

 private:
  WordCount count_;
  bool in_word_ = false;  // inside a run of letters and digits
};

}  // namespace

WordCount count_words(std::u16string_view text) {
  Counter counter;
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t c = text[i];
    if (c == u'\r' || c == u'\n' || c == 0x0B) {
      counter.line_break();
      continue;
    }
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    }
    counter.add(class_of_code_point(c));
  }
  return counter.count();
}

WordCount count_words(std::string_view content) {
  Counter counter;
  uint32_t high = 0;  // \uN writes a character beyond the plane as two surrogates
  for_each_text_character(content, [&](const TextCharacter& ch) {
    using Kind = TextCharacter::Kind;
    const bool code_point = ch.kind == Kind::code_point;
    if (high && code_point && ch.value >= 0xDC00 && ch.value <= 0xDFFF) {
      counter.add(class_of_code_point(0x10000 + ((high - 0xD800) << 10) + (ch.value - 0xDC00)));
      high = 0;
      return;
    }
    if (high) counter.add(Class::other);
    high = 0;
    if (ch.kind == Kind::line_break) {
      counter.line_break();
    } else if (code_point && ch.value >= 0xD800 && ch.value <= 0xDBFF) {
      high = ch.value;
    } else {
      counter.add(ch.kind == Kind::pair ? class_of_pair(ch.value) : class_of_code_point(ch.value));
    }
  });
  if (high) counter.add(Class::other);
  return counter.count();
}

}  // namespace folivra
