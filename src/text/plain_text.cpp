#include "text/plain_text.h"

#include "book/gbk.h"
#include "text/rtf_walk.h"

namespace folivra {

void append_plain_text(std::string& out, std::string_view content, std::string_view line_end) {
  const size_t start = out.size();
  size_t line_start = start;
  char16_t high = 0;  // a high surrogate waiting for its partner
  const auto end_high = [&] {
    if (high) append_utf8(out, 0xFFFD);
    high = 0;
  };
  for_each_text_character(content, [&](const TextCharacter& ch) {
    const char16_t u = ch.unit;
    if (high && u >= 0xDC00 && u <= 0xDFFF) {
      append_utf8(out, 0x10000 + ((high - 0xD800u) << 10) + (u - 0xDC00u));
      high = 0;
      return;
    }
    end_high();
    if (ch.kind == TextCharacter::Kind::line_break) {
      // A table row's marks are no lines of their own.
      if (ch.width == 1 || out.size() > line_start) {
        out += line_end;
        line_start = out.size();
      }
    } else if (u >= 0xD800 && u <= 0xDBFF) {
      high = u;
    } else if (u >= 0x20 || u == u'\t') {  // control characters are no text to export
      append_utf8(out, u >= 0xDC00 && u <= 0xDFFF ? 0xFFFD : u);
    }
  });
  end_high();
}

std::vector<std::string> plain_lines(std::string_view content) {
  std::string text;
  append_plain_text(text, content, "\n");
  std::vector<std::string> lines;
  for (size_t start = 0;;) {
    const size_t end = text.find('\n', start);
    lines.emplace_back(text, start, end == std::string::npos ? std::string::npos : end - start);
    if (end == std::string::npos) return lines;
    start = end + 1;
  }
}

std::u16string utf8_to_utf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    if (b < 0x80) {
      out += static_cast<char16_t>(b);
      ++i;
      continue;
    }
    const size_t n = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
    uint32_t cp = b & (0x7F >> n);
    for (size_t k = 1; k < n && i + k < utf8.size(); ++k) {
      cp = cp << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    }
    i += n;
    if (cp >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
  }
  return out;
}

std::u16string gbk_to_utf16(std::string_view gbk) { return utf8_to_utf16(gbk_to_utf8(gbk)); }

std::u16string chapter_text16(std::string_view content) {
  std::u16string out;
  // Seldom more units than stored bytes; pages reserved and never written
  // cost nothing.
  out.reserve(content.size());
  for_each_text_character(content, [&](const TextCharacter& ch) {
    out.push_back(ch.unit);
    if (ch.width == 2) out.push_back(u'\n');
  });
  return out;
}

std::string utf16_to_utf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size() * 3);
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t cp = text[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[++i] - 0xDC00u);
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    append_utf8(out, cp);
  }
  return out;
}

}  // namespace folivra
