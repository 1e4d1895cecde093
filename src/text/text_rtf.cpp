#include "text/text_rtf.h"

#include <array>
#include <cstdio>
#include <memory>

#include "text/plain_text.h"

namespace folivra {

namespace {

// Every two-byte GBK character by its UTF-16 unit (0: none), made once by
// decoding all of them in one go. 0x80 is the euro sign in code page 936.
class GbkTable {
 public:
  GbkTable() {
    std::string all;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
      for (int trail = 0x40; trail <= 0xFE; ++trail) {
        if (trail == 0x7F) continue;
        all += static_cast<char>(lead);
        all += static_cast<char>(trail);
      }
    }
    const std::u16string units = gbk_to_utf16(all);
    if (units.size() * 2 == all.size()) {
      for (size_t i = 0; i < units.size(); ++i) add(units[i], all.substr(i * 2, 2));
    } else {
      // A converter that did not keep one unit per pair: one at a time.
      for (size_t i = 0; i < all.size(); i += 2) {
        const std::u16string one = gbk_to_utf16(all.substr(i, 2));
        if (one.size() == 1) add(one[0], all.substr(i, 2));
      }
    }
  }
  // The two bytes, or 0 when GBK has no such character.
  uint16_t operator[](char16_t unit) const { return pairs_[unit]; }
  // The unit of two bytes, U+FFFD when they are no GBK character.
  char16_t unit_of(uint16_t pair) const { return units_[pair] ? units_[pair] : u'\xFFFD'; }

 private:
  void add(char16_t unit, std::string_view pair) {
    if (unit == 0xFFFD || unit < 0x80) return;
    const auto code = static_cast<uint16_t>(static_cast<unsigned char>(pair[0]) << 8 |
                                            static_cast<unsigned char>(pair[1]));
    units_[code] = unit;
    if (!pairs_[unit]) pairs_[unit] = code;
  }
  std::array<uint16_t, 65536> pairs_{};
  std::array<char16_t, 65536> units_{};
};

const GbkTable& gbk_table() {
  static const std::unique_ptr<GbkTable> table = std::make_unique<GbkTable>();
  return *table;
}

void append_hex_byte(std::string& out, unsigned byte) {
  static const char kHex[] = "0123456789abcdef";
  out += "\\'";
  out += kHex[byte >> 4];
  out += kHex[byte & 15];
}

void append_rtf_text(std::string& out, std::u16string_view text) {
  const GbkTable& gbk = gbk_table();
  for (const char16_t c : text) {
    if (c == u'\\' || c == u'{' || c == u'}') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == u'\t') {
      out += "\\tab ";
    } else if (c >= 0x20 && c < 0x80) {
      out += static_cast<char>(c);
    } else if (const uint16_t pair = c >= 0x80 ? gbk[c] : 0) {
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

char16_t gbk_pair_unit(uint16_t pair) { return gbk_table().unit_of(pair); }

std::string gbk_field(std::u16string_view text, size_t* replaced) {
  const GbkTable& gbk = gbk_table();
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == 0) continue;
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (const uint16_t pair = gbk[c]) {
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
