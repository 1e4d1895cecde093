#include "text/plain_text.h"

#include "book/gbk.h"
#include "text/chapter_cut.h"

namespace folivra {

void append_utf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | cp >> 6);
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | cp >> 12);
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | cp >> 18);
    out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::vector<std::string> plain_lines(std::string_view content) {
  std::vector<std::string> lines(1);
  std::string gbk;    // GBK pairs waiting to be converted with their neighbours
  uint32_t high = 0;  // a high surrogate waiting for its partner
  const auto flush = [&] {
    lines.back() += gbk_to_utf8(gbk);
    gbk.clear();
  };
  for_each_text_character(content, [&](const TextCharacter& ch) {
    using Kind = TextCharacter::Kind;
    if (ch.kind == Kind::pair || (ch.kind == Kind::byte && ch.value < 0x80)) {
      if (ch.kind == Kind::pair) gbk += static_cast<char>(ch.value >> 8);
      gbk += static_cast<char>(ch.value & 0xFF);
      return;
    }
    flush();
    const uint32_t cp = ch.kind == Kind::byte ? 0xFFFD : ch.value;
    // \uN writes a character beyond the plane as two surrogates.
    if (high && cp >= 0xDC00 && cp <= 0xDFFF) {
      append_utf8(lines.back(), 0x10000 + ((high - 0xD800) << 10) + (cp - 0xDC00));
      high = 0;
      return;
    }
    if (high) append_utf8(lines.back(), 0xFFFD);
    high = 0;
    if (ch.kind == Kind::line_break) {
      lines.emplace_back();
    } else if (cp >= 0xD800 && cp <= 0xDBFF) {
      high = cp;
    } else {
      append_utf8(lines.back(), cp >= 0xDC00 && cp <= 0xDFFF ? 0xFFFD : cp);
    }
  });
  flush();
  if (high) append_utf8(lines.back(), 0xFFFD);
  return lines;
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
  const std::vector<std::string> lines = plain_lines(content);
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) out += u'\r';
    out += utf8_to_utf16(lines[i]);
  }
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
