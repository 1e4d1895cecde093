// 字数 by the web-novel rule, on plain GBK text and on RTF as the editor writes it.
#include "text/word_count.h"

#include <gtest/gtest.h>

#include "book/gbk.h"

namespace folivra {
namespace {

TEST(WordCount, ChineseLatinAndPunctuation) {
  // 他说：“Hello, world 2026！” — 他 说 Hello world 2026 = 5; ：“, ！” count nothing.
  const WordCount mixed = count_words(gbk_of("他说：“Hello, world 2026！”"));
  EXPECT_EQ(mixed.words, 5u);
  EXPECT_EQ(mixed.characters, 23u);
  EXPECT_EQ(mixed.characters_no_space, 21u);

  EXPECT_EQ(count_words(gbk_of("ＡＢ１２ かな")).words, 6u) << "full-width letters, kana";
  EXPECT_EQ(count_words(gbk_of("第一章\r\n\r\n　　天亮了。")).words, 6u)
      << "breaks and 　 count nothing";
  EXPECT_EQ(count_words(gbk_of("　　天亮了。")).characters_no_space, 4u);
  EXPECT_EQ(count_words("").words, 0u);
  EXPECT_EQ(count_words("abc\r\ndef").words, 2u) << "a line break ends a word";
}

TEST(WordCount, RtfCountsItsTextOnly) {
  const std::string rtf =
      "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0 SimSun;}}{\\*\\generator Riched20;}"
      "\\f0 \\'cc\\'ec\\'c1\\'c1 OK\\par \\b x\\u20013?y\\b0\\tab{\\pict 0123abcd}}";
  const WordCount count = count_words(rtf);
  // 天 亮 OK | x中y: "x" starts a word, 中 counts one, "y" another word.
  EXPECT_EQ(count.words, 6u);
  EXPECT_EQ(count.characters, 10u) << "天亮, space, OK, x中y, tab, the picture (an object)";
  EXPECT_EQ(count.characters_no_space, 8u);
  EXPECT_EQ(count_words("{\\rtf1 {\\fonttbl{\\f0 Arial;}}}").words, 0u);
  EXPECT_EQ(count_words("{\\rtf1 abc").words, 1u) << "an unclosed group still counts its text";
}

TEST(WordCount, TheControlsTextCountsAsTheStoredChapter) {
  // What the status bar counts while typing equals the count of what is stored.
  const std::string rtf =
      "{\\rtf1\\ansi\\ansicpg936 \\'cb\\'fb\\'cb\\'b5\\'a3\\'ba Hello, world 2026\\par "
      "\\'a1\\'a1\\'a1\\'a1\\'cc\\'ec\\'c1\\'c1\\'a1\\'a3 \\u-10174?\\u-8265?ab}";
  const WordCount stored = count_words(rtf);
  const WordCount typed = count_words(u"他说： Hello, world 2026\r　　天亮。 \U00020BB7ab");
  EXPECT_EQ(typed.words, stored.words);
  EXPECT_EQ(typed.words, 9u) << "他 说 Hello world 2026 天 亮 𠮷 ab";
  EXPECT_EQ(typed.characters, stored.characters);
  EXPECT_EQ(typed.characters_no_space, stored.characters_no_space);
  EXPECT_EQ(count_words(std::u16string_view(u"ab\rcd")).words, 2u);
}

TEST(WordCount, TheReadmesExamples) {
  const auto words = [](std::u16string_view text) { return count_words(text).words; };
  EXPECT_EQ(words(u"Hello"), 1u);
  EXPECT_EQ(words(u"Москва"), 1u);
  EXPECT_EQ(words(u"2026"), 1u);
  EXPECT_EQ(words(u"abc123"), 1u);
  EXPECT_EQ(words(u"天亮了"), 3u);
  EXPECT_EQ(words(u"〇"), 1u);
  EXPECT_EQ(words(u"かな"), 2u);
  EXPECT_EQ(words(u"한글"), 2u);
  EXPECT_EQ(words(u"ＡＢ１２"), 4u);
  EXPECT_EQ(words(u"，。――！"), 0u);
  EXPECT_EQ(words(u"他说：“Hello, world 2026！”"), 5u);
  EXPECT_EQ(words(u"Ελληνικά café ÆØÅ"), 3u) << "accents and other alphabets join words";
}

}  // namespace
}  // namespace folivra
