#pragma once

#include <cstddef>
#include <string_view>

namespace folivra {

// Numerals as chapter and volume headings write them. Each reads a run at
// `at` and gives its value and length (0: none there).
// Chinese: 十二, 一百零五, 两千, 〇/零, up to 12 characters.
size_t read_chinese_numeral(std::u16string_view s, size_t at, long& value);
// Arabic digits, half- or full-width (１２), up to 9 of them.
size_t read_arabic_numeral(std::u16string_view s, size_t at, long& value, bool& full_width);

}  // namespace folivra
