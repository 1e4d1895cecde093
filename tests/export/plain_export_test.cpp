// The book as readable text: plain chapters come back as they were, RTF
// gives its text only, and each encoding writes its own bytes.
#include "export/plain_export.h"

#include <gtest/gtest.h>

#include "book/gbk.h"

namespace folivra {
namespace {

Book sample() {
  Book book;
  book.title = gbk_of("山海");
  book.author = gbk_of("林溪");
  book.intro = gbk_of("一部长篇。\r\n第二行");
  Chapter plain;
  plain.name = gbk_of("第一章");
  plain.content = gbk_of("　　天亮了。\r\n\r\n他说：“走。”");
  Chapter rtf;
  rtf.name = gbk_of("第二章");
  rtf.content =
      "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0 SimSun;}}\\f0 \\b \\'ba\\'d3\\b0 "
      "\\u-10179?\\u-8704?\\par}";  // 河, then U+1F600 as a surrogate pair
  book.chapters = {plain, rtf};
  book.chapter_count = 2;
  return book;
}

TEST(PlainExport, TheTextOfEveryChapterAndNoRtf) {
  const std::string expected =
      "山海\r\n作者：林溪\r\n\r\n一部长篇。\r\n第二行\r\n"
      "\r\n第一章\r\n\r\n　　天亮了。\r\n\r\n他说：“走。”\r\n"
      "\r\n第二章\r\n\r\n河\xF0\x9F\x98\x80\r\n";
  EXPECT_EQ(book_plain_text(sample(), PlainEncoding::utf8), expected)
      << "a plain chapter comes back as it was; RTF gives its text, surrogates joined";
  EXPECT_EQ(book_plain_text(sample(), PlainEncoding::utf8_bom).substr(0, 3), "\xEF\xBB\xBF");

  const std::string gbk = book_plain_text(sample(), PlainEncoding::gbk);
  EXPECT_EQ(gbk.substr(0, 6), gbk_of("山海\r\n"));
  EXPECT_NE(gbk.find(gbk_of("　　天亮了。\r\n\r\n他说：“走。”\r\n")), std::string::npos);
  EXPECT_NE(gbk.find(gbk_of("河")), std::string::npos);
  EXPECT_NE(gbk.find('?'), std::string::npos) << "what GBK cannot hold is marked";
}

}  // namespace
}  // namespace folivra
