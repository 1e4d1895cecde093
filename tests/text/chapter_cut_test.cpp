// Cutting and joining chapter contents as zqb does, at the ends and in the
// middle of double-byte text, in plain text and in RTF.
#include "text/chapter_cut.h"

#include <gtest/gtest.h>

#include "book/gbk.h"

namespace folivra {
namespace {

TEST(ChapterCut, PlainTextCountsGbkCharactersAndLineBreaksAsOne) {
  const std::string text = gbk_of("ab中文\r\ncd");
  EXPECT_EQ(chapter_text_length(text), 7u);
  const auto middle = cut_chapter_content(text, 3);
  ASSERT_TRUE(middle);
  EXPECT_EQ(middle->first, gbk_of("ab中"));
  EXPECT_EQ(middle->second, gbk_of("文\r\ncd"));
  const auto start = cut_chapter_content(text, 0);
  ASSERT_TRUE(start);
  EXPECT_EQ(start->first, "");
  EXPECT_EQ(start->second, text);
  const auto end = cut_chapter_content(text, 7);
  ASSERT_TRUE(end);
  EXPECT_EQ(end->first, text);
  EXPECT_EQ(end->second, "");
  EXPECT_FALSE(cut_chapter_content(text, 8));
  EXPECT_EQ(join_chapter_contents(middle->first, middle->second), gbk_of("ab中\r\n文\r\ncd"));
}

TEST(ChapterCut, RtfKeepsTablesAndFormattingOnBothSides) {
  const std::string rtf =
      "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0 SimSun;}}\\f0 plain \\b bo\\'d6\\'d0ld\\b0  "
      "end\\par}";
  EXPECT_EQ(chapter_text_length(rtf), 16u);
  const auto halves = cut_chapter_content(rtf, 9);  // after the double-byte character
  ASSERT_TRUE(halves);
  EXPECT_EQ(halves->first,
            "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0 SimSun;}}\\f0 plain \\b bo\\'d6\\'d0}");
  EXPECT_EQ(halves->second,
            "{\\rtf1 \\ansi \\ansicpg936 {\\fonttbl{\\f0 SimSun;}}\\f0 \\b ld\\b0  end\\par}");
  EXPECT_EQ(chapter_text_length(halves->first), 9u);
  EXPECT_EQ(chapter_text_length(halves->second), 7u);

  const auto inside = cut_chapter_content("{\\rtf1 a{\\i bc}d}", 2);
  ASSERT_TRUE(inside);
  EXPECT_EQ(inside->first, "{\\rtf1 a{\\i b}}");
  EXPECT_EQ(inside->second, "{\\rtf1 {\\i c}d}");

  const auto at_end = cut_chapter_content(rtf, 16);
  ASSERT_TRUE(at_end);
  EXPECT_EQ(chapter_text_length(at_end->first), 16u);
  EXPECT_EQ(chapter_text_length(at_end->second), 0u);
  EXPECT_FALSE(cut_chapter_content(rtf, 17));
  EXPECT_FALSE(cut_chapter_content("{\\rtf1 abc", 1)) << "unbalanced";
}

TEST(ChapterCut, UnicodeAndItsFallbackAreOneCharacter) {
  EXPECT_EQ(chapter_text_length("{\\rtf1\\uc1 x\\u20013?y}"), 3u);
  EXPECT_EQ(chapter_text_length("{\\rtf1\\uc2 x\\u20013\\'d6\\'d0y}"), 3u);
}

TEST(ChapterCut, JoinedRtfStartsANewParagraphWithTheFirstTables) {
  const std::string a = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 one}";
  const std::string b = "{\\rtf1\\ansi{\\fonttbl{\\f0 Other;}}\\f0 \\b two}";
  const std::string joined = join_chapter_contents(a, b);
  EXPECT_EQ(joined, "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 one\\par {\\ansi\\f0 \\b two}}");
  EXPECT_EQ(chapter_text_length(joined), 7u);
  EXPECT_EQ(chapter_text_length(join_chapter_contents(a, gbk_of("中{x}"))), 8u)
      << "plain text joins escaped";
}

}  // namespace
}  // namespace folivra
