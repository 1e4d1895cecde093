#include "text/rtf_check.h"

#include <cstddef>
#include <cstdint>

namespace folivra {

namespace {

constexpr size_t kMaxWordLetters = 64;  // the format itself says 32
constexpr size_t kMaxParameterDigits = 12;

bool is_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

bool breaks_line(std::string_view word) {
  return word == "par" || word == "line" || word == "row" || word == "cell" || word == "page" ||
         word == "sect";
}

}  // namespace

bool looks_like_rtf(std::string_view content) { return content.starts_with("{\\rtf"); }

bool rtf_fits_control(std::string_view rtf, int max_depth) {
  int depth = 0;
  size_t i = 0;
  while (i < rtf.size()) {
    const char c = rtf[i];
    if (c == '{') {
      if (++depth > max_depth) return false;
      ++i;
    } else if (c == '}') {
      --depth;
      ++i;
    } else if (c == '\r' || c == '\n') {
      ++i;
    } else if (c != '\\') {
      ++i;
    } else if (i + 1 < rtf.size() && is_letter(rtf[i + 1])) {
      const size_t start = ++i;
      while (i < rtf.size() && is_letter(rtf[i])) ++i;
      if (i - start > kMaxWordLetters) return false;
      const std::string_view word = rtf.substr(start, i - start);
      const bool negative = i < rtf.size() && rtf[i] == '-';
      if (negative) ++i;
      const size_t digits = i;
      uint64_t parameter = 0;
      while (i < rtf.size() && is_digit(rtf[i])) {
        parameter = parameter * 10 + static_cast<uint64_t>(rtf[i] - '0');
        ++i;
      }
      if (i - digits > kMaxParameterDigits) return false;
      if (i < rtf.size() && rtf[i] == ' ') ++i;
      if (word == "bin") {
        // Binary data may hold anything, braces included: step over it. The
        // control reads the count as 32 bits, so a count past that makes it
        // parse the bytes behind as RTF: never let it.
        if (negative || parameter > INT32_MAX) return false;
        if (parameter > rtf.size() - i) return true;  // binary to the end
        i += static_cast<size_t>(parameter);
      }
    } else {
      i += 2;  // a control symbol: \\, \{, \}, \'xx's first byte, \~ ...
    }
  }
  return true;
}

size_t count_line_breaks(std::string_view content) {
  size_t breaks = 0;
  if (!looks_like_rtf(content)) {
    for (size_t i = 0; i < content.size(); ++i) {
      if (content[i] == '\n' ||
          (content[i] == '\r' && (i + 1 == content.size() || content[i + 1] != '\n'))) {
        ++breaks;
      }
    }
    return breaks;
  }
  for (size_t i = 0; i + 1 < content.size(); ++i) {
    if (content[i] != '\\') continue;
    if (!is_letter(content[i + 1])) {
      ++i;  // \\, \{ ... : not a word
      continue;
    }
    size_t end = i + 1;
    while (end < content.size() && is_letter(content[end])) ++end;
    if (breaks_line(content.substr(i + 1, end - i - 1))) ++breaks;
    i = end - 1;
  }
  return breaks;
}

}  // namespace folivra
