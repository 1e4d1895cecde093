#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace folivra {

// 字数 as web-novel platforms count it: each CJK character (hanzi, kana,
// hangul) and each full-width digit or letter counts one, each run of ASCII
// letters and digits counts one word; punctuation, symbols and whitespace
// count nothing. Beside it, the plain character counts.
struct WordCount {
  size_t words = 0;                // 字数
  size_t characters = 0;           // every character but line breaks
  size_t characters_no_space = 0;  // the same without spaces, tabs and 　

  WordCount& operator+=(const WordCount& other) {
    words += other.words;
    characters += other.characters;
    characters_no_space += other.characters_no_space;
    return *this;
  }
};

// The count of a chapter's content (RTF, or plain GBK text).
WordCount count_words(std::string_view content);

// The count of text as the editor's control holds it (UTF-16, '\r' between
// paragraphs), for the chapter being typed in and for a selection.
WordCount count_words(std::u16string_view text);

}  // namespace folivra
