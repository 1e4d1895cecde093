// The code page tables read from Windows' own converter when first asked
// for, for the carried reader, which must stay small: the tables kept in
// the tree were read from the same converter (tools/code_page_tables.cpp).
#include <windows.h>

#include <iterator>
#include <memory>

#include "book/code_page.h"

namespace folivra {

namespace {

wchar_t one_unit(UINT cp, const char* bytes, int n, DWORD flags = MB_ERR_INVALID_CHARS) {
  wchar_t out[4] = {};
  return MultiByteToWideChar(cp, flags, bytes, n, out, 4) == 1 ? out[0] : 0;
}

std::unique_ptr<CodePage> read_code_page(UINT cp) {
  CPINFO info{};
  if (!GetCPInfo(cp, &info)) return nullptr;
  std::array<char16_t, 128> single{};
  std::vector<char16_t> pairs;
  if (info.MaxCharSize == 2) pairs.assign(65536, 0);
  for (int b = 0x80; b <= 0xFF; ++b) {
    const char byte = static_cast<char>(b);
    if (!pairs.empty() && IsDBCSLeadByteEx(cp, static_cast<BYTE>(b))) {
      single[b - 0x80] = CodePage::kLeadByte;
      for (int trail = 0x21; trail <= 0xFF; ++trail) {
        const char pair[2] = {byte, static_cast<char>(trail)};
        pairs[b << 8 | trail] = one_unit(cp, pair, 2);
      }
      continue;
    }
    wchar_t u = one_unit(cp, &byte, 1);
    if (!u && (u = one_unit(cp, &byte, 1, 0)) == L'?') u = 0;
    single[b - 0x80] = u;
  }
  return std::make_unique<CodePage>(single, std::move(pairs));
}

}  // namespace

const CodePage* code_page(int number) {
  // Each read the first time it is asked for. The small reader, the one
  // user of these, reads a book on one thread.
  static constexpr int kKnown[] = {874,  932,  936,  949,  950,  1250, 1251, 1252, 1253,
                                   1254, 1255, 1256, 1257, 1258, 1361, 437,  850,  10000};
  static std::unique_ptr<CodePage> pages[std::size(kKnown)];
  if (number == 0) number = 936;
  for (size_t i = 0; i < std::size(kKnown); ++i) {
    if (kKnown[i] != number) continue;
    if (!pages[i]) pages[i] = read_code_page(static_cast<UINT>(number));
    return pages[i].get();
  }
  return nullptr;
}

}  // namespace folivra
