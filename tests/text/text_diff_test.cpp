#include "text/text_diff.h"

#include "text/diff_rtf.h"
#include "text/plain_text.h"

#include <gtest/gtest.h>

namespace folivra {
namespace {

using P = DiffParagraph::Kind;
using C = DiffPiece::Kind;

TEST(TextDiff, ParagraphsAddedRemovedAndChangedWithTheChangedWordsMarked) {
  const std::u16string before = u"第一段。\r他走进了房间。\r将被删去的一段。\r结尾。";
  const std::u16string after = u"第一段。\r新写的一段。\r他慢慢走进了房间。\r结尾。";
  const TextDiff diff = diff_texts(before, after);
  EXPECT_EQ(diff.added, 1);
  EXPECT_EQ(diff.removed, 1);
  EXPECT_EQ(diff.changed, 1);
  std::vector<P> kinds;
  for (const auto& p : diff.paragraphs) kinds.push_back(p.kind);
  EXPECT_EQ(kinds, (std::vector<P>{P::same, P::added, P::changed, P::removed, P::same}));
  const DiffParagraph& changed = diff.paragraphs[2];
  ASSERT_EQ(changed.pieces.size(), 3u);
  EXPECT_EQ(changed.pieces[1].kind, C::added);
  EXPECT_EQ(changed.pieces[1].text, u"慢慢");
  // Either side can be read back from the comparison.
  std::u16string old_side, new_side;
  for (const auto& p : diff.paragraphs) {
    std::u16string o, n;
    for (const auto& piece : p.pieces) {
      if (piece.kind != C::added) o += piece.text;
      if (piece.kind != C::removed) n += piece.text;
    }
    if (p.kind != P::added) old_side += (old_side.empty() ? u"" : u"\r") + o;
    if (p.kind != P::removed) new_side += (new_side.empty() ? u"" : u"\r") + n;
  }
  EXPECT_EQ(old_side, before);
  EXPECT_EQ(new_side, after);
}

TEST(TextDiff, UnlikeParagraphsAreReplacedAndFarApartTextsStayBounded) {
  const TextDiff replaced = diff_texts(u"完全不同的内容", u"another text entirely");
  EXPECT_EQ(replaced.removed, 1);
  EXPECT_EQ(replaced.added, 1);
  EXPECT_EQ(replaced.changed, 0);
  EXPECT_EQ(diff_texts(u"同样\r同样", u"同样\r同样").paragraphs.size(), 2u);

  // 20,000 distinct paragraphs against 20,000 others: beyond the bound of
  // work, all of it is replaced, at once.
  std::u16string a, b;
  for (int i = 0; i < 20000; ++i) {
    for (char c : std::to_string(i)) a += static_cast<char16_t>(c), b += static_cast<char16_t>(c);
    a += u"甲\r";
    b += u"乙乙乙乙乙\r";
  }
  const TextDiff far = diff_texts(a, b);
  EXPECT_EQ(far.removed + far.changed, 20000);
  EXPECT_EQ(far.paragraphs.back().kind, P::same);  // the empty last paragraph
}

// The comparison as the history window shows it reads back, through the
// one RTF reader, as both texts at once, with the marks where they belong.
TEST(TextDiff, AsRtfItReadsBackAsBothTextsWithTheirMarks) {
  const TextDiff diff = diff_texts(u"他走进了{房间}。\r旧段", u"他慢慢走进了{房间}。");
  const std::string rtf = diff_as_rtf(diff, "SimSun", 12);
  EXPECT_EQ(chapter_text16(rtf), u"他慢慢走进了{房间}。\r旧段");
  EXPECT_NE(rtf.find("{\\cf2\\ul \\u24930?\\u24930?}"), std::string::npos) << rtf;
  EXPECT_NE(rtf.find("{\\cf1\\strike \\u26087?\\u27573?}"), std::string::npos) << rtf;
  EXPECT_NE(rtf.find("\\{"), std::string::npos);
}

}  // namespace
}  // namespace folivra
