#include "text/chapter_numbers.h"

#include "text/numerals.h"

namespace folivra {

namespace {

constexpr std::u16string_view kDigits = u"零一二三四五六七八九";

bool is_chapter_unit(char16_t c) { return c == u'章' || c == u'回' || c == u'节' || c == u'節'; }

}  // namespace

ChapterNumber chapter_number_of(std::u16string_view name) {
  ChapterNumber n;
  size_t at = 0;
  while (at < name.size() && (name[at] == u' ' || name[at] == u'\u3000')) ++at;
  if (at < name.size() && name[at] == u'第') {
    const size_t start = at + 1;
    long value = 0;
    size_t length = read_arabic_numeral(name, start, value, n.full_width);
    n.chinese = length == 0;
    if (n.chinese) length = read_chinese_numeral(name, start, value);
    if (length == 0 || start + length >= name.size() || !is_chapter_unit(name[start + length])) {
      return {};
    }
    n.found = true;
    n.value = value;
    n.start = start;
    n.length = length;
    n.width = n.chinese ? 0 : length;
    return n;
  }
  long value = 0;
  const size_t length = read_arabic_numeral(name, at, value, n.full_width);
  if (length == 0 || at + length >= name.size()) return {};
  const char16_t after = name[at + length];
  if (after != u'.' && after != u'、' && after != u'．' && after != u' ' && after != u'\u3000') {
    return {};
  }
  n.found = true;
  n.value = value;
  n.start = at;
  n.length = length;
  n.width = length;
  return n;
}

std::u16string chinese_numeral(long value) {
  if (value <= 0) return u"零";
  static constexpr std::u16string_view kUnits = u"千百十";
  std::u16string out;
  const long tens_of_thousands = value / 10000;
  if (tens_of_thousands > 0) {
    out = chinese_numeral(tens_of_thousands) + u"万";
    value %= 10000;
    if (value == 0) return out;
  }
  bool gap = false;
  const long places[] = {1000, 100, 10, 1};
  for (int i = 0; i < 4; ++i) {
    const long digit = value / places[i] % 10;
    if (digit == 0) {
      gap = !out.empty();
      continue;
    }
    if (gap) out += u'零';
    gap = false;
    // 十二, not 一十二, when ten leads the number.
    if (!(places[i] == 10 && digit == 1 && out.empty())) out += kDigits[static_cast<size_t>(digit)];
    if (i < 3) out += kUnits[static_cast<size_t>(i)];
  }
  return out;
}

std::vector<std::u16string> renumbered_names(const std::vector<std::u16string>& names,
                                             const std::vector<bool>& restarts) {
  std::vector<std::u16string> out(names.size());
  std::vector<ChapterNumber> numbers;
  long first = -1;  // the smallest number: where the numbers start (第0章, 第101章 …)
  for (const std::u16string& name : names) {
    numbers.push_back(chapter_number_of(name));
    if (numbers.back().found && (first < 0 || numbers.back().value < first)) {
      first = numbers.back().value;
    }
  }
  long next = first;
  for (size_t i = 0; i < names.size(); ++i) {
    if (i < restarts.size() && restarts[i]) {
      next = first;
      continue;
    }
    const ChapterNumber& n = numbers[i];
    if (!n.found) continue;
    const long value = next++;
    if (value == n.value) continue;
    std::u16string numeral;
    if (n.chinese) {
      numeral = chinese_numeral(value);
    } else {
      const std::string digits = std::to_string(value);
      for (size_t pad = digits.size(); pad < n.width; ++pad) numeral += n.full_width ? u'０' : u'0';
      for (char d : digits) numeral += n.full_width ? static_cast<char16_t>(u'０' + (d - '0')) : d;
    }
    out[i] = names[i].substr(0, n.start) + numeral + names[i].substr(n.start + n.length);
  }
  return out;
}

}  // namespace folivra
