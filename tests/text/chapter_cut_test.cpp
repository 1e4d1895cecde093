// Cutting and joining chapter contents as zqb does, at the ends and in the
// middle of double-byte text, in plain text and in RTF.
#include "text/chapter_cut.h"

#include <gtest/gtest.h>

#include "book/gbk.h"
#include "text/plain_text.h"
#include "text/rtf_check.h"

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
  EXPECT_EQ(chapter_text_length(rtf), 15u) << "the control drops the break that ends the text";
  const auto halves = cut_chapter_content(rtf, 9);  // after the double-byte character
  ASSERT_TRUE(halves);
  EXPECT_EQ(halves->first,
            "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0 SimSun;}}\\f0 plain \\b bo\\'d6\\'d0}");
  EXPECT_EQ(halves->second,
            "{\\rtf1 \\ansi \\ansicpg936 {\\fonttbl{\\f0 SimSun;}}\\f0 \\b ld\\b0  end\\par}");
  EXPECT_EQ(chapter_text_length(halves->first), 9u);
  EXPECT_EQ(chapter_text_length(halves->second), 6u);

  const auto inside = cut_chapter_content("{\\rtf1 a{\\i bc}d}", 2);
  ASSERT_TRUE(inside);
  EXPECT_EQ(inside->first, "{\\rtf1 a{\\i b}}");
  EXPECT_EQ(inside->second, "{\\rtf1 {\\i c}d}");

  const auto at_end = cut_chapter_content(rtf, 15);
  ASSERT_TRUE(at_end);
  EXPECT_EQ(chapter_text_length(at_end->first), 15u);
  EXPECT_EQ(chapter_text_length(at_end->second), 0u);
  EXPECT_FALSE(cut_chapter_content(rtf, 16));
  EXPECT_FALSE(cut_chapter_content("{\\rtf1 abc", 1)) << "unbalanced";
}

std::vector<TextCharacter> characters_of(std::string_view content) {
  std::vector<TextCharacter> out;
  for_each_text_character(content, [&](const TextCharacter& c) { out.push_back(c); });
  return out;
}

bool same(const std::vector<TextCharacter>& a, const std::vector<TextCharacter>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].kind != b[i].kind || a[i].value != b[i].value || a[i].style != b[i].style)
      return false;
  }
  return true;
}

TEST(ChapterCut, PiecesCutAfterLineBreaksCarryTheirFormattingAndMakeTheWhole) {
  // A bold group and an italic run open across paragraph ends, tables, a
  // \uN with its fallback, GBK pairs, \line, a last paragraph without \par.
  std::string rtf =
      "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 SimSun;}}"
      "{\\*\\generator Test;}\\viewkind4\\uc1\\pard\\qc\\f0\\fs24 ";
  for (int p = 0; p < 40; ++p) {
    rtf += p % 7 == 3 ? "{\\b bold \\'d6\\'d0\\par more\\line " : "";
    rtf += "para " + std::to_string(p) + " \\u20013?\\'ce\\'c4";
    rtf += p % 5 == 1 ? " \\i slanted" : "";
    rtf += p % 7 == 3 ? "}" : "";
    rtf += p % 5 == 2 ? " \\i0\\pard\\ql" : "";
    rtf += p + 1 < 40 ? "\\par\r\n" : "";
  }
  rtf += "}";
  const std::vector<TextCharacter> whole = characters_of(rtf);
  for (const size_t size : {size_t{1}, size_t{10}, size_t{100}}) {
    const std::vector<std::string> pieces = cut_into_pieces(rtf, size);
    ASSERT_GT(pieces.size(), 1u) << size;
    std::vector<TextCharacter> joined;
    for (size_t k = 0; k < pieces.size(); ++k) {
      const std::vector<TextCharacter> part = characters_of(pieces[k]);
      ASSERT_TRUE(rtf_fits_control(pieces[k]));
      EXPECT_EQ(chapter_text_length(pieces[k]), part.size()) << "balanced: " << pieces[k];
      joined.insert(joined.end(), part.begin(), part.end());
      const bool ends_in_line_break =
          !part.empty() && part.back().kind == TextCharacter::Kind::line_break;
      if (k + 1 < pieces.size() && !ends_in_line_break) {
        // Put into a selection, a piece keeps the paragraph break it ends
        // with, which a whole text drops: the whole has a break there.
        EXPECT_GE(part.size() + 1, size);
        ASSERT_LT(joined.size(), whole.size());
        EXPECT_EQ(whole[joined.size()].kind, TextCharacter::Kind::line_break) << "after a break";
        joined.push_back(whole[joined.size()]);
      }
    }
    EXPECT_TRUE(same(joined, whole)) << "size " << size;
    EXPECT_EQ(pieces[1].substr(0, 25), "{\\rtf1 \\ansi \\ansicpg936 ");
  }
  EXPECT_EQ(cut_into_pieces(rtf, 100000), std::vector<std::string>{rtf}) << "short: one piece";
  EXPECT_EQ(cut_into_pieces("{\\rtf1 a\\par b", 1), std::vector<std::string>{"{\\rtf1 a\\par b"})
      << "unbalanced: one piece";
  std::string wordy = "{\\rtf1 ";
  for (int i = 0; i < 30000; ++i) wordy += "\\b x\\par ";
  EXPECT_EQ(cut_into_pieces(wordy + "}", 100).size(), 1u)
      << "past 64 KB of formatting to repeat: one piece";

  const std::string text = gbk_of("第一行\r\n第二行\n\r\n末行");
  const std::vector<std::string> lines = cut_into_pieces(text, 1);
  EXPECT_EQ(lines, (std::vector<std::string>{gbk_of("第一行\r\n"), gbk_of("第二行\n"), "\r\n",
                                             gbk_of("末行")}));
}

TEST(ChapterCut, UnicodeAndItsFallbackAreOneCharacter) {
  EXPECT_EQ(chapter_text_length("{\\rtf1\\uc1 x\\u20013?y}"), 3u);
  EXPECT_EQ(chapter_text_length("{\\rtf1\\uc2 x\\u20013\\'d6\\'d0y}"), 3u);
}

TEST(ChapterCut, JoinedRtfStartsANewParagraphAndKeepsTheSecondsFontsAndColours) {
  const std::string a = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 one}";
  const std::string b = "{\\rtf1\\ansi{\\fonttbl{\\f0 Other;}}\\f0 \\b two}";
  const std::string joined = join_chapter_contents(a, b);
  EXPECT_EQ(
      joined,
      "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1 Other;}}\\f0 one\\par {\\ansi\\f1 \\b two}}");
  // The same font keeps its number; colours move after the first's.
  const std::string c =
      "{\\rtf1\\ansi\\deff1{\\fonttbl{\\f0 Other;}{\\f1 Arial;}}{\\colortbl "
      ";\\red1\\green2\\blue3;}"
      "\\cf1 three \\f0 four}";
  const std::string d =
      "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl ;\\red9\\green9\\blue9;}\\f0 one}";
  EXPECT_EQ(join_chapter_contents(d, c),
            "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1 Other;}}{\\colortbl ;\\red9\\green9\\blue9;"
            "\\red1\\green2\\blue3;}\\f0 one\\par {\\f0 \\ansi\\cf2 three \\f1 four}}");
  EXPECT_EQ(chapter_text_length(joined), 7u);
  EXPECT_EQ(chapter_text_length(join_chapter_contents(a, gbk_of("中{x}"))), 8u)
      << "plain text joins escaped";
}

}  // namespace
}  // namespace folivra

namespace folivra {
namespace {

// Joined, two texts are the first, one break, the second, whatever breaks
// end them; the second keeps its pictures and other groups, only its tables
// go (its text takes the first's fonts).
TEST(ChapterJoin, OneBreakBetweenAndNothingOfTheSecondsTextLost) {
  const std::string ends_in_break = "{\\rtf1\\ansi\\ansicpg936 a\\par}";
  const std::string plain = "{\\rtf1\\ansi\\ansicpg936 b}";
  const std::string empty = "{\\rtf1\\ansi\\ansicpg936 }";
  const std::string pictured =
      "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fcharset134 SimSun;}}{\\header h}\\f0 "
      "x{\\pict\\wmetafile8 0102}y}";
  for (const std::string& first : {ends_in_break, plain, empty}) {
    for (const std::string& second : {ends_in_break, plain, empty, pictured}) {
      const std::string joined = join_chapter_contents(first, second);
      EXPECT_EQ(chapter_text16(joined), chapter_text16(first) + u"\r" + chapter_text16(second))
          << first << " + " << second;
    }
  }
  const std::string joined = join_chapter_contents(plain, pictured);
  EXPECT_NE(joined.find("{\\pict\\wmetafile8 0102}"), std::string::npos);
  EXPECT_NE(joined.find("{\\header h}"), std::string::npos);
  EXPECT_EQ(chapter_text16(joined), u"b\rx\uFFFCy");
}

}  // namespace
}  // namespace folivra
