#include "app/ini_values.h"

#include <climits>

namespace folivra {

int parse_ini_int(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > INT_MAX) value = static_cast<long long>(INT_MAX) + 1;  // saturate, never overflow
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

std::string ini_int_text(int value) { return std::to_string(value); }

bool parse_ini_bool(std::string_view text) { return text == "true" || text == kIniTrueChinese; }

std::string ini_bool_text(bool value) { return value ? "true" : "false"; }

}  // namespace folivra
