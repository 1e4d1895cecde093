#include "text/chapter_numbers.h"

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

// A run of Chinese numerals at `at`: its value and length (0: none).
size_t read_chinese(std::u16string_view s, size_t at, long& value) {
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

bool is_digit(char16_t c) { return (c >= u'0' && c <= u'9') || (c >= u'０' && c <= u'９'); }

size_t read_digits(std::u16string_view s, size_t at, long& value, bool& full_width) {
  value = 0;
  size_t i = at;
  for (; i < s.size() && i - at < 9 && is_digit(s[i]); ++i) {
    full_width = s[i] >= u'０';
    value = value * 10 + (full_width ? s[i] - u'０' : s[i] - u'0');
  }
  return i - at;
}

bool is_volume_unit(char16_t c) { return c == u'卷' || c == u'部' || c == u'篇' || c == u'集'; }

// What may follow a heading's word: nothing, a space or a separator before
// its title ("第一卷 风起", "第一卷：风起"); not more of a sentence.
bool heading_ends(std::u16string_view name, size_t at) {
  if (at >= name.size()) return true;
  return std::u16string_view(u" \u3000\t:：·.、-—_（(【[「《").find(name[at]) !=
         std::u16string_view::npos;
}

bool is_chapter_unit(char16_t c) { return c == u'章' || c == u'回' || c == u'节' || c == u'節'; }

}  // namespace

ChapterNumber chapter_number_of(std::u16string_view name) {
  ChapterNumber n;
  size_t at = 0;
  while (at < name.size() && (name[at] == u' ' || name[at] == u'\u3000')) ++at;
  if (at < name.size() && name[at] == u'第') {
    const size_t start = at + 1;
    long value = 0;
    size_t length = read_digits(name, start, value, n.full_width);
    n.chinese = length == 0;
    if (n.chinese) length = read_chinese(name, start, value);
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
  const size_t length = read_digits(name, at, value, n.full_width);
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

bool is_volume_heading(std::u16string_view name) {
  size_t at = 0;
  while (at < name.size() && (name[at] == u' ' || name[at] == u'\u3000')) ++at;
  name.remove_prefix(at);
  if (name.size() < 2) return false;
  long value = 0;
  bool full_width = false;
  auto numeral = [&](size_t from) {
    const size_t digits = read_digits(name, from, value, full_width);
    return digits ? digits : read_chinese(name, from, value);
  };
  if (name[0] == u'第') {  // 第一卷, 第2部 …
    const size_t length = numeral(1);
    return length && 1 + length < name.size() && is_volume_unit(name[1 + length]) &&
           heading_ends(name, 2 + length);
  }
  if (name[0] == u'卷') {  // 卷一, 卷2
    const size_t length = numeral(1);
    return length && heading_ends(name, 1 + length);
  }
  if (std::u16string_view(u"上中下").find(name[0]) != std::u16string_view::npos) {  // 上卷
    return name[1] != u'集' && is_volume_unit(name[1]) && heading_ends(name, 2);
  }
  return false;
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
  long first = -1, next = -1;
  for (size_t i = 0; i < names.size(); ++i) {
    if (i < restarts.size() && restarts[i]) {
      next = first;
      continue;
    }
    const ChapterNumber n = chapter_number_of(names[i]);
    if (!n.found) continue;
    if (first < 0) first = next = n.value;  // the numbers run on from the first one's
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
