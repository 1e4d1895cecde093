#include "text/text_replace.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "book/gbk.h"
#include "text/chapter_cut.h"
#include "text/plain_text.h"
#include "text/rtf_check.h"

namespace folivra {
namespace {

std::vector<uint8_t> styles(const std::string& content) {
  std::vector<uint8_t> out;
  for_each_text_character(content, [&](const TextCharacter& c) { out.push_back(c.style); });
  return out;
}

std::string replaced(const std::string& content, std::vector<ContentReplacement> r) {
  const std::optional<std::string> out = replace_in_content(content, r);
  EXPECT_TRUE(out.has_value()) << content;
  return out.value_or("");
}

// A chapter as another program would store it: fonts, colours, bold,
// italic, a \uN with its fallback, a character beyond the BMP, groups.
const std::string kFormatted =
    "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}"
    "{\\f1\\fswiss Arial;}}{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
    "\\viewkind4\\uc1\\pard\\f0\\fs24 \\'b5\\'da\\'d2\\'bb plain {\\b bold \\'d5\\'c2}"
    " {\\i\\cf1 red italic\\u8226?}\\par\r\n{\\f1 Arial \\ul under\\ulnone  \\u-10179?\\u-8704?}"
    " end\\par\r\n}";

TEST(ReplaceInContent, EverythingOutsideTheReplacedTextStaysByteForByte) {
  const std::u16string text = chapter_text16(kFormatted);
  const size_t at = text.find(u"bold");
  ASSERT_NE(at, std::u16string::npos);
  const std::string out = replaced(kFormatted, {{at, 4, u"粗体"}});
  EXPECT_EQ(chapter_text16(out), std::u16string(text).replace(at, 4, u"粗体"));
  const size_t bold = kFormatted.find("bold");
  EXPECT_EQ(out.substr(0, bold), kFormatted.substr(0, bold));
  EXPECT_EQ(out.substr(bold + 16), kFormatted.substr(bold + 4));
  EXPECT_EQ(out.substr(bold, 16), "\\'b4\\'d6\\'cc\\'e5") << "the replacement as GBK escapes";

  // Every character keeps its style; the replacement takes the style at its start.
  std::vector<uint8_t> expected = styles(kFormatted);
  expected.erase(expected.begin() + static_cast<long>(at) + 2,
                 expected.begin() + static_cast<long>(at) + 4);
  EXPECT_EQ(styles(out), expected);
  EXPECT_EQ(styles(out)[at], kBold);
}

TEST(ReplaceInContent, ManyReplacementsAcrossGroupsAndUnicode) {
  const std::u16string text = chapter_text16(kFormatted);
  std::vector<ContentReplacement> all;
  std::u16string expected = text;
  // Replace every "i" and the bullet, from the end so the expectation stays simple.
  for (size_t i = text.size(); i-- > 0;) {
    if (text[i] == u'i' || text[i] == u'\u2022') {
      all.insert(all.begin(), {i, 1, u"{\\}"});
      expected.replace(i, 1, u"{\\}");
    }
  }
  ASSERT_GE(all.size(), 4u);
  const std::string out = replaced(kFormatted, all);
  EXPECT_EQ(chapter_text16(out), expected);
  const std::vector<uint8_t> before = styles(kFormatted), after = styles(out);
  size_t bold_before = 0, bold_after = 0;
  for (uint8_t s : before) bold_before += (s & kBold) != 0;
  for (uint8_t s : after) bold_after += (s & kBold) != 0;
  EXPECT_EQ(bold_before, bold_after) << "nothing becomes bold, nothing stops being";
}

TEST(ReplaceInContent, AMatchSpanningGroupsKeepsTheirFormattingWords) {
  const std::string rtf = "{\\rtf1 {\\b ab}cd}";
  EXPECT_EQ(replaced(rtf, {{1, 2, u"X"}}), "{\\rtf1 {\\b aX}d}");
  EXPECT_EQ(styles("{\\rtf1 {\\b aX}d}"), (std::vector<uint8_t>{kBold, kBold, 0}));
  // Text right after a control word gets its delimiter.
  EXPECT_EQ(replaced("{\\rtf1\\ansicpg936 x\\b\\'b5\\'dax}", {{1, 1, u"abc"}}),
            "{\\rtf1\\ansicpg936 x\\b abcx}");
  EXPECT_EQ(replaced("{\\rtf1 a\\u8226?b}", {{1, 1, u"*"}}), "{\\rtf1 a*b}")
      << "the \\u goes with its fallback";
  EXPECT_EQ(replaced("{\\rtf1\\ansicpg936 ab}", {{2, 0, u"\u00e9\U0001F600"}}),
            "{\\rtf1\\ansicpg936 ab\\'a8\\'a6{\\uc1\\u-10179?}{\\uc1\\u-8704?}}");
  EXPECT_EQ(replaced("{\\rtf1 ab}", {{2, 0, u"\u00e9"}}), "{\\rtf1 ab{\\uc1\\u233?}}")
      << "where bytes are read in code page 1252, not as GBK";
  EXPECT_EQ(chapter_text16(replaced("{\\rtf1 ab}", {{1, 0, u"\r"}})), u"a\rb");
  EXPECT_FALSE(replace_in_content("{\\rtf1 ab}", {{2, 1, u"x"}})) << "beyond the text";
  EXPECT_FALSE(replace_in_content("{\\rtf1 ab}", {{1, 1, u"x"}, {0, 1, u"y"}})) << "out of order";
}

TEST(ReplaceInContent, PlainTextStaysPlainWhileGbkHoldsTheReplacement) {
  const std::string plain = gbk_of("第一章\r\n林溪走了。");
  EXPECT_EQ(replaced(plain, {{4, 2, u"小明"}}), gbk_of("第一章\r\n小明走了。"));
  const std::string out = replaced(plain, {{4, 2, u"\U0001F600"}});
  EXPECT_TRUE(looks_like_rtf(out));
  EXPECT_EQ(chapter_text16(out), u"第一章\r\U0001F600走了。");
}

}  // namespace
}  // namespace folivra
