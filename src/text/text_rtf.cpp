#include "text/text_rtf.h"

#include <cstdint>

#include "book/gbk.h"

namespace folivra {

namespace {

void append_hex_byte(std::string& out, unsigned byte) {
  static const char kHex[] = "0123456789abcdef";
  out += "\\'";
  out += kHex[byte >> 4];
  out += kHex[byte & 15];
}

void append_rtf_text(std::string& out, std::u16string_view text) {
  for (const char16_t c : text) {
    if (c == u'\\' || c == u'{' || c == u'}') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == u'\t') {
      out += "\\tab ";
    } else if (c >= 0x20 && c < 0x80) {
      out += static_cast<char>(c);
    } else if (const uint16_t pair = c >= 0x80 ? gbk_pair_of(c) : 0) {
      // As bytes of the document's code page, a quarter of the escapes' size,
      // unless the trail byte would read as RTF's own.
      const char trail = static_cast<char>(pair & 0xFF);
      if (trail == '\\' || trail == '{' || trail == '}') {
        append_hex_byte(out, pair >> 8);
        append_hex_byte(out, pair & 0xFF);
      } else {
        out += static_cast<char>(pair >> 8);
        out += trail;
      }
    } else if (c >= 0x80) {
      out += "\\u" + std::to_string(static_cast<int16_t>(c)) + "?";
    }
  }
}

}  // namespace

std::string rtf_of_lines(const std::vector<std::u16string>& lines, const RtfFont& font) {
  std::string out = "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 ";
  for (const char c : font.name) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 0x80) {
      append_hex_byte(out, b);
    } else if (c != ';' && c != '\\' && c != '{' && c != '}') {
      out += c;
    }
  }
  out += ";}}\\uc1\\pard\\f0\\fs" + std::to_string(font.size * 2) + ' ';
  size_t last_line = out.size();
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) out += "\\par\r\n";
    last_line = out.size();
    append_rtf_text(out, lines[i]);
  }
  // A break that ends the text is not shown: an empty last line needs one more.
  if (lines.size() > 1 && out.size() == last_line) out += "\\par\r\n";
  return out + "}";
}

std::string gbk_field(std::u16string_view text, size_t* replaced) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == 0) continue;
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (const uint16_t pair = gbk_pair_of(c)) {
      out += static_cast<char>(pair >> 8);
      out += static_cast<char>(pair & 0xFF);
    } else {
      // A surrogate pair is one character.
      if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
          text[i + 1] <= 0xDFFF) {
        ++i;
      }
      out += '?';
      if (replaced) ++*replaced;
    }
  }
  return out;
}

}  // namespace folivra
