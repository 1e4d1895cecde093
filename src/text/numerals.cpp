#include "text/numerals.h"

namespace folivra {

namespace {

constexpr std::u16string_view kDigits = u"零一二三四五六七八九";

int chinese_digit(char16_t c) {
  if (c == u'〇' || c == u'零') return 0;
  if (c == u'两') return 2;
  const size_t at = kDigits.find(c);
  return at == std::u16string_view::npos ? -1 : static_cast<int>(at);
}

int chinese_unit(char16_t c) {
  switch (c) {
    case u'十':
      return 10;
    case u'百':
      return 100;
    case u'千':
      return 1000;
    case u'万':
      return 10000;
  }
  return 0;
}

bool is_digit(char16_t c) { return (c >= u'0' && c <= u'9') || (c >= u'０' && c <= u'９'); }

}  // namespace

size_t read_chinese_numeral(std::u16string_view s, size_t at, long& value) {
  long total = 0, section = 0, digit = -1;
  size_t i = at;
  for (; i < s.size() && i - at < 12; ++i) {
    const int d = chinese_digit(s[i]);
    const int unit = chinese_unit(s[i]);
    if (d >= 0) {
      digit = d;
    } else if (unit == 10000) {
      total = (total + section + (digit > 0 ? digit : 0)) * 10000;
      section = 0;
      digit = -1;
    } else if (unit) {
      section += (digit >= 0 ? digit : 1) * unit;
      digit = -1;
    } else {
      break;
    }
  }
  value = total + section + (digit > 0 ? digit : 0);
  return i - at;
}

size_t read_arabic_numeral(std::u16string_view s, size_t at, long& value, bool& full_width) {
  value = 0;
  size_t i = at;
  for (; i < s.size() && i - at < 9 && is_digit(s[i]); ++i) {
    full_width = s[i] >= u'０';
    value = value * 10 + (full_width ? s[i] - u'０' : s[i] - u'0');
  }
  return i - at;
}

}  // namespace folivra
