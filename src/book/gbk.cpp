#include "book/gbk.h"

#include <vector>

#include "book/code_page.h"

namespace folivra {

namespace {

// GBK bytes by UTF-16 unit (0: none), the reverse of the code page: a
// character with a one-byte form (the euro sign) keeps that form.
const std::vector<uint16_t>& gbk_of_unit() {
  static const std::vector<uint16_t> table = [] {
    const CodePage& page = gbk_code_page();
    std::vector<uint16_t> t(65536, 0);
    for (int lead = 0xFE; lead >= 0x81; --lead) {
      for (int trail = 0xFE; trail >= 0x40; --trail) {
        if (const char16_t u = page.pair(static_cast<uint8_t>(lead), static_cast<uint8_t>(trail))) {
          t[u] = static_cast<uint16_t>(lead << 8 | trail);
        }
      }
    }
    for (int b = 0x80; b <= 0xFF; ++b) {
      if (const char16_t u = page.single(static_cast<uint8_t>(b))) t[u] = static_cast<uint16_t>(b);
    }
    return t;
  }();
  return table;
}

}  // namespace

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

uint16_t gbk_pair_of(char16_t unit) {
  const uint16_t code = gbk_of_unit()[unit];
  return code > 0xFF ? code : 0;
}

std::string gbk_to_utf8(std::string_view gbk) {
  const CodePage& page = gbk_code_page();
  std::string out;
  out.reserve(gbk.size() * 3 / 2);
  for (size_t i = 0; i < gbk.size();) {
    const auto b = static_cast<uint8_t>(gbk[i]);
    if (b < 0x80) {
      out += static_cast<char>(b);
      ++i;
      continue;
    }
    if (page.is_lead(b) && i + 1 < gbk.size()) {
      const auto trail = static_cast<uint8_t>(gbk[i + 1]);
      if (const char16_t u = page.pair(b, trail)) {
        append_utf8(out, u);
        i += 2;
        continue;
      }
      // A bad pair: an ASCII byte after the lead is text of its own.
      append_utf8(out, 0xFFFD);
      i += trail < 0x40 ? 1 : 2;
      continue;
    }
    const char16_t u = page.single(b);
    append_utf8(out, u ? u : 0xFFFD);
    ++i;
  }
  return out;
}

std::optional<std::string> utf8_to_gbk(std::string_view utf8) {
  const std::vector<uint16_t>& table = gbk_of_unit();
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const auto b = static_cast<uint8_t>(utf8[i]);
    if (b < 0x80) {
      out += static_cast<char>(b);
      ++i;
      continue;
    }
    // Only two- and three-byte forms can be GBK (nothing beyond the plane is).
    const size_t n = b >= 0xE0 && b < 0xF0 ? 3 : b >= 0xC2 && b < 0xE0 ? 2 : 0;
    if (n == 0 || i + n > utf8.size()) return std::nullopt;
    uint32_t cp = b & (n == 2 ? 0x1F : 0x0F);
    for (size_t k = 1; k < n; ++k) {
      const auto c = static_cast<uint8_t>(utf8[i + k]);
      if ((c & 0xC0) != 0x80) return std::nullopt;
      cp = cp << 6 | (c & 0x3F);
    }
    if ((n == 3 && cp < 0x800) || cp > 0xFFFF) return std::nullopt;
    const uint16_t code = table[cp];
    if (code == 0) return std::nullopt;
    if (code > 0xFF) out += static_cast<char>(code >> 8);
    out += static_cast<char>(code & 0xFF);
    i += n;
  }
  return out;
}

}  // namespace folivra
