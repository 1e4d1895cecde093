#include "text/word_count.h"

#include "text/rtf_walk.h"

namespace folivra {

namespace {

enum class Class { word, letter, space, other };

bool within(uint32_t c, uint32_t first, uint32_t last) { return c >= first && c <= last; }

// Letters and digits of the alphabetic scripts: runs of them are one word.
bool alphabetic(uint32_t c) {
  if (c < 0x80) {
    return within(c, '0', '9') || within(c, 'A', 'Z') || within(c, 'a', 'z');
  }
  if (c == 0xD7 || c == 0xF7) return false;  // × and ÷
  return within(c, 0x00C0, 0x02AF) ||        // Latin with accents, IPA
         within(c, 0x0300, 0x036F) ||        // combining accents
         within(c, 0x0370, 0x03FF) ||        // Greek
         within(c, 0x0400, 0x052F) ||        // Cyrillic
         within(c, 0x0531, 0x0587) ||        // Armenian
         within(c, 0x05D0, 0x05EA) ||        // Hebrew
         within(c, 0x0620, 0x064A) ||        // Arabic
         within(c, 0x0E01, 0x0E4E) ||        // Thai
         within(c, 0x1E00, 0x1FFF);          // Latin (Vietnamese) and Greek, extended
}

// Characters that count one each: CJK ideographs (〇 among them), kana,
// hangul, bopomofo, and full-width digits and letters.
bool counts_alone(uint32_t c) {
  return c == 0x3007 || within(c, 0x2E80, 0x2FDF) ||                  // radicals
         (within(c, 0x3041, 0x30FF) && c != 0x30FB) ||                // kana
         within(c, 0x3105, 0x312F) || within(c, 0x31A0, 0x31BF) ||    // bopomofo
         within(c, 0x31F0, 0x31FF) || within(c, 0xFF66, 0xFF9D) ||    // more kana
         within(c, 0x1100, 0x11FF) || within(c, 0x3131, 0x318E) ||    // jamo
         within(c, 0xAC00, 0xD7A3) ||                                 // hangul
         within(c, 0x3400, 0x4DBF) || within(c, 0x4E00, 0x9FFF) ||    // ideographs
         within(c, 0xF900, 0xFAFF) || within(c, 0x20000, 0x3FFFF) ||  // more of them
         within(c, 0xFF10, 0xFF19) || within(c, 0xFF21, 0xFF3A) || within(c, 0xFF41, 0xFF5A);
}

Class class_of(uint32_t c) {
  if (c == ' ' || c == '\t' || c == 0xA0 || c == 0x3000 || within(c, 0x2000, 0x200A)) {
    return Class::space;
  }
  if (alphabetic(c)) return Class::letter;
  return counts_alone(c) ? Class::word : Class::other;
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

// Takes UTF-16 units one at a time, pairing surrogates; a lone one is a
// character of no class.
class UnitCounter {
 public:
  void add(char16_t u) {
    if (high_ && u >= 0xDC00 && u <= 0xDFFF) {
      counter_.add(class_of(0x10000 + ((high_ - 0xD800u) << 10) + (u - 0xDC00u)));
      high_ = 0;
      return;
    }
    end_high();
    if (u == u'\r' || u == u'\n' || u == 0x0B) {
      counter_.line_break();
    } else if (u >= 0xD800 && u <= 0xDBFF) {
      high_ = u;
    } else {
      counter_.add(class_of(u));
    }
  }
  const WordCount& count() {
    end_high();
    return counter_.count();
  }

 private:
  void end_high() {
    if (high_) counter_.add(Class::other);
    high_ = 0;
  }
  Counter counter_;
  char16_t high_ = 0;
};

}  // namespace

WordCount count_words(std::u16string_view text) {
  UnitCounter counter;
  for (const char16_t u : text) counter.add(u);
  return counter.count();
}

WordCount count_words(std::string_view content) {
  UnitCounter counter;
  for_each_text_character(content, [&](const TextCharacter& ch) {
    if (ch.kind == TextCharacter::Kind::line_break) {
      counter.add(u'\r');
    } else {
      counter.add(ch.unit);
    }
  });
  return counter.count();
}

}  // namespace folivra
