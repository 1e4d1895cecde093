#include "book/code_page.h"

#include <zlib.h>

#include <algorithm>

namespace folivra {

CodePage::CodePage(const char16_t* single, std::span<const unsigned char> pairs) {
  std::copy(single, single + 128, single_.begin());
  for (int b = 0x80; b <= 0xFF; ++b) lead_[b] = single[b - 0x80] == kLeadByte;
  if (pairs.empty()) return;
  constexpr size_t kFirst = 0x8100, kCount = 0xFF00 - kFirst;
  std::vector<unsigned char> raw(kCount * 2);
  uLongf size = static_cast<uLongf>(raw.size());
  if (uncompress(raw.data(), &size, pairs.data(), static_cast<uLong>(pairs.size())) != Z_OK ||
      size != raw.size()) {
    return;  // a table of the tree's own: never so
  }
  pairs_.assign(65536, 0);
  char16_t unit = 0;
  for (size_t i = 0; i < kCount; ++i) {
    unit = static_cast<char16_t>(unit + (raw[2 * i] | raw[2 * i + 1] << 8));
    pairs_[kFirst + i] = unit;
  }
}

CodePage::CodePage(const std::array<char16_t, 128>& single, std::vector<char16_t> pairs)
    : single_(single), pairs_(std::move(pairs)) {
  for (int b = 0x80; b <= 0xFF; ++b) lead_[b] = single[b - 0x80] == kLeadByte;
}

const CodePage& gbk_code_page() { return *code_page(936); }

}  // namespace folivra
