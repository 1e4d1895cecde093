// The code page tables kept in the tree (tools/code_page_tables.cpp).
#include <iterator>

#include "book/code_page.h"

namespace folivra {

namespace {
#include "book/code_page_data.inc"
#include "book/gbk_table_data.inc"

// Each table is made the first time it is asked for (thread-safe statics).
template <const char16_t* Single>
const CodePage* single_byte() {
  static const CodePage page(Single, {});
  return &page;
}
template <const char16_t* Single, const unsigned char* Pairs, size_t N>
const CodePage* double_byte() {
  static const CodePage page(Single, std::span<const unsigned char>(Pairs, N));
  return &page;
}

}  // namespace

const CodePage* code_page(int number) {
  switch (number) {
    case 0:
    case 936:
      return double_byte<kSingle936, kPairs936, std::size(kPairs936)>();
    case 932:
      return double_byte<kSingle932, kPairs932, std::size(kPairs932)>();
    case 949:
      return double_byte<kSingle949, kPairs949, std::size(kPairs949)>();
    case 950:
      return double_byte<kSingle950, kPairs950, std::size(kPairs950)>();
    case 1361:
      return double_byte<kSingle1361, kPairs1361, std::size(kPairs1361)>();
    case 874:
      return single_byte<kSingle874>();
    case 1250:
      return single_byte<kSingle1250>();
    case 1251:
      return single_byte<kSingle1251>();
    case 1252:
      return single_byte<kSingle1252>();
    case 1253:
      return single_byte<kSingle1253>();
    case 1254:
      return single_byte<kSingle1254>();
    case 1255:
      return single_byte<kSingle1255>();
    case 1256:
      return single_byte<kSingle1256>();
    case 1257:
      return single_byte<kSingle1257>();
    case 1258:
      return single_byte<kSingle1258>();
    case 437:
      return single_byte<kSingle437>();
    case 850:
      return single_byte<kSingle850>();
    case 10000:
      return single_byte<kSingle10000>();
    default:
      return nullptr;
  }
}

}  // namespace folivra
