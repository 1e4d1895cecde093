#include "book/gbk.h"

#include <gtest/gtest.h>

namespace folivra {
namespace {

TEST(Gbk, ConvertsBothWays) {
  const std::string gbk = "\xD0\xC2\xB5\xC4\xCA\xE9\xBC\xAE abc";  // 新的书籍
  EXPECT_EQ(gbk_to_utf8(gbk), "新的书籍 abc");
  EXPECT_EQ(utf8_to_gbk("新的书籍 abc"), gbk);
  EXPECT_EQ(utf8_to_gbk("“引号”，句号。"),
            "\xA1\xB0\xD2\xFD\xBA\xC5\xA1\xB1\xA3\xAC\xBE\xE4\xBA\xC5\xA1\xA3");
  EXPECT_EQ(utf8_to_gbk(""), "");
  EXPECT_EQ(gbk_to_utf8(""), "");
}

TEST(Gbk, RefusesWhatGbkCannotHold) {
  EXPECT_FALSE(utf8_to_gbk("emoji \xF0\x9F\x98\x80"));
  EXPECT_FALSE(utf8_to_gbk("한국어"));
  EXPECT_FALSE(utf8_to_gbk("bad \xFF utf-8"));
}

TEST(Gbk, BadBytesDoNotSpoilTheRest) {
  // As code page 936 on Windows on every platform: 0xFF alone is U+F8F5, a
  // lead byte with nothing after it U+FFFD.
  EXPECT_EQ(gbk_to_utf8("a\xFF"
                        "b\xD0\xC2"),
            "a\uF8F5b新");
  EXPECT_EQ(gbk_to_utf8("\xD0\xC2\xD0"), "新\uFFFD") << "a lead byte at the end";
  EXPECT_EQ(gbk_to_utf8("\x81\x0A"), "\uFFFD\n") << "a line break after a lead byte stays";
}

TEST(Gbk, UserDefinedAreasAreThePrivateUseCharactersOfCodePage936) {
  // The three user-defined areas, 1,894 characters in all, map to
  // U+E000..U+E765 in order (AAA1-AFFE, F8A1-FEFE, A140-A7A0), and back.
  const struct {
    const char* gbk;
    char32_t code_point;
  } kCases[] = {{"\xAA\xA1", 0xE000}, {"\xAA\xA4", 0xE003}, {"\xAF\xFE", 0xE233},
                {"\xF8\xA1", 0xE234}, {"\xFE\xFE", 0xE4C5}, {"\xA1\x40", 0xE4C6},
                {"\xA7\xA0", 0xE765}, {"\xFE\x6A", 0xE82F}};
  for (const auto& c : kCases) {
    std::string utf8;
    utf8 += static_cast<char>(0xE0 | c.code_point >> 12);
    utf8 += static_cast<char>(0x80 | (c.code_point >> 6 & 0x3F));
    utf8 += static_cast<char>(0x80 | (c.code_point & 0x3F));
    EXPECT_EQ(gbk_to_utf8(c.gbk), utf8) << std::hex << static_cast<unsigned>(c.code_point);
    EXPECT_EQ(utf8_to_gbk(utf8), c.gbk) << std::hex << static_cast<unsigned>(c.code_point);
  }
  // Every two-byte character of the table goes back to its own bytes.
  size_t characters = 0;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
      const std::string utf8 = gbk_to_utf8(pair);
      if (utf8 == "\uFFFD") continue;
      ++characters;
      EXPECT_EQ(utf8_to_gbk(utf8), pair) << std::hex << lead << trail;
    }
  }
  EXPECT_EQ(characters, 126u * 190u) << "Windows' code page 936 gives every pair a character";
}

}  // namespace
}  // namespace folivra
