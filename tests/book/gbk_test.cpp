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
  // What a stray byte becomes differs between code page tables (a private-use
  // character on Windows, U+FFFD elsewhere); the text around it must survive.
  const std::string stray = gbk_to_utf8(
      "a\xFF"
      "b\xD0\xC2");
  EXPECT_EQ(stray.substr(0, 1), "a");
  EXPECT_EQ(stray.substr(stray.size() - 4), "b\xE6\x96\xB0");
  const std::string cut = gbk_to_utf8("\xD0\xC2\xD0");
  EXPECT_EQ(cut.substr(0, 3), "\xE6\x96\xB0") << "a lead byte at the end";
  EXPECT_GT(cut.size(), 3u);
}

}  // namespace
}  // namespace folivra
