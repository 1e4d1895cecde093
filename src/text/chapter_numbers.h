#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace folivra {

// A chapter name's leading number, as written: "第十二章 …" (Chinese
// numerals), "第12章 …", "第012回 …", "12. …", "12、…". Volume headings
// (第一卷/部/篇/集) carry no chapter number.
struct ChapterNumber {
  bool found = false;
  long value = 0;
  size_t start = 0, length = 0;  // where the numeral stands in the name
  bool chinese = false;          // 十二 rather than 12
  size_t width = 0;              // digits written, for zero-padded numbers
  bool full_width = false;       // １２ rather than 12
};
ChapterNumber chapter_number_of(std::u16string_view name);

// The numeral of `value` as Chinese text (一, 十, 十二, 一百零五, 两千 is 二千).
std::u16string chinese_numeral(long value);

// 重排章节编号: the names of the numbered chapters renumbered to run on
// from the smallest number among them (a moved first chapter does not
// carry its number to the front), each in the style it was written in; the
// rest unchanged. The new names, position by position (empty: unchanged).
// With `restarts` (one flag per name), numbering starts again after every
// flagged name (a volume's chapters numbered on their own), from the same
// smallest number.
std::vector<std::u16string> renumbered_names(const std::vector<std::u16string>& names,
                                             const std::vector<bool>& restarts = {});

}  // namespace folivra
