// Finding text in chapters: the UTF-16 text the control holds, literal and
// regular-expression patterns, replacements, and the whole book's hits.
#include "text/text_search.h"

#include <gtest/gtest.h>

#include "book/gbk.h"
#include "text/book_search.h"
#include "text/plain_text.h"

namespace folivra {
namespace {

std::vector<TextMatch> all(std::u16string_view pattern, std::u16string_view text,
                           SearchOptions options = {}) {
  const std::optional<TextPattern> p = TextPattern::make(pattern, options);
  EXPECT_TRUE(p.has_value());
  return p ? p->find_all(text) : std::vector<TextMatch>{};
}

TEST(ChapterText16, UnitsAreTheControlsCharacterPositions) {
  // 你好 in GBK, a paragraph, \u-escaped 𝄞 (two units) with its fallback, a
  // line break, a font table that is no text.
  const std::string rtf =
      "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0 \\'cb\\'ce\\'cc\\'e5;}}\\f0 \\'c4\\'e3\\'ba\\'c3"
      "\\par A\\u-10188?\\u-8930?B\\line \\{x\\}}";
  EXPECT_EQ(chapter_text16(rtf), u"你好\rA\U0001D11EB\r{x}");
  EXPECT_EQ(chapter_text16(gbk_of("纯文本")), u"纯文本");
  EXPECT_EQ(gbk_to_utf16(gbk_of("第1章")), u"第1章");
}

TEST(TextPattern, LiteralCaseWordsAndRegex) {
  const std::u16string text = u"Lin met lin; LINE and 林 met 林溪。";
  EXPECT_EQ(all(u"lin", text).size(), 3u) << "case folds: Lin, lin, LIN(E)";
  EXPECT_EQ(all(u"lin", text, {.match_case = true}), (std::vector<TextMatch>{{8, 3}}));
  EXPECT_EQ(all(u"lin", text, {.whole_word = true}).size(), 2u) << "LINE is another word";
  EXPECT_EQ(all(u"林", text, {.whole_word = true}).size(), 2u) << "Chinese has no word bounds";
  EXPECT_EQ(all(u"ＡＢ", u"ａｂ and ＡＢ").size(), 2u) << "full-width letters fold too";
  EXPECT_EQ(all(u"l[a-z]n", text, {.regex = true}).size(), 3u);
  EXPECT_EQ(all(u"林.", text, {.regex = true}), (std::vector<TextMatch>{{22, 2}, {28, 2}}));
  EXPECT_EQ(all(u"aa", u"aaaa").size(), 2u) << "matches do not overlap";
  EXPECT_FALSE(TextPattern::make(u"", {}));
  EXPECT_FALSE(TextPattern::make(u"(unclosed", {.regex = true}));
  EXPECT_TRUE(all(u"x*", u"abc", {.regex = true}).empty()) << "empty matches select nothing";
  EXPECT_EQ(all(u"^b.*$", u"ab\rbc\rb", {.regex = true}), (std::vector<TextMatch>{{3, 2}, {6, 1}}))
      << "paragraph by paragraph: anchors at each paragraph, no match across one";
  const std::u16string long_line(200000, u'a');
  EXPECT_EQ(all(u"a+", long_line + u"\r" + long_line, {.regex = true}).size(), 400u)
      << "a long paragraph is matched in pieces of 1,000 and does not exhaust the stack";
}

TEST(TextPattern, NextPreviousAndReplacements) {
  const std::u16string text = u"a1 b2 a3";
  const TextPattern digits = *TextPattern::make(u"([ab])(\\d)", {.regex = true});
  EXPECT_EQ(digits.find_next(text, 1), (TextMatch{3, 2}));
  EXPECT_EQ(digits.find_previous(text, 5), (TextMatch{3, 2}));
  EXPECT_EQ(digits.find_previous(text, 1), std::nullopt);
  EXPECT_EQ(digits.find_next(text, 7), std::nullopt) << "no wrapping";
  EXPECT_EQ(digits.replacement(text, {3, 2}, u"$2$1"), u"2b");
  const TextPattern bounded = *TextPattern::make(u"\\ba\\d", {.regex = true});
  EXPECT_EQ(bounded.find_all(u"xa1 a2").size(), 1u);
  EXPECT_EQ(bounded.replacement(u"xa1 a2", {4, 2}, u"[$&]"), u"[a2]");
  const TextPattern literal = *TextPattern::make(u"$1", {});
  EXPECT_EQ(literal.replacement(u"$1", {0, 2}, u"$&"), u"$&") << "literal text stays literal";
  EXPECT_EQ(context_line(u"first\rsecond hit here\rthird", {13, 3}, 4), u"ond hit her");
}

TEST(BookSearch, InformationNamesAndTextsInOrderAndStops) {
  Book book;
  book.title = gbk_of("林中记");
  book.intro = gbk_of("写林溪");
  for (const char* name : {"第一章 林", "第二章"}) {
    Chapter chapter;
    chapter.name = gbk_of(name);
    chapter.content = "{\\rtf1 \\'c1\\'d6\\par x \\'c1\\'d6}";  // 林, then x 林
    book.chapters.push_back(chapter);
  }
  const TextPattern lin = *TextPattern::make(u"林", {});
  std::vector<BookHit> hits;
  EXPECT_TRUE(search_book(book, lin, true, [&](const BookHit& h) {
    hits.push_back(h);
    return true;
  }));
  ASSERT_EQ(hits.size(), 7u);
  EXPECT_EQ(hits[0].field, HitField::title);
  EXPECT_EQ(hits[1].field, HitField::intro);
  EXPECT_EQ(hits[2].field, HitField::name);
  EXPECT_EQ(hits[3].position, 1);
  EXPECT_EQ(hits[4].match, (TextMatch{4, 1})) << "after the paragraph and 'x '";
  EXPECT_EQ(hits[4].context, u"x 林");
  EXPECT_EQ(hits[6].position, 2);

  size_t seen = 0;
  EXPECT_FALSE(search_book(book, lin, false, [&](const BookHit&) { return ++seen < 3; }));
  EXPECT_EQ(seen, 3u);
  std::atomic<bool> stop = true;
  seen = 0;
  EXPECT_FALSE(search_book(
      book, lin, false, [&](const BookHit&) { return ++seen, true; }, &stop));
  EXPECT_EQ(seen, 2u) << "the information is searched, no chapter once stopped";
}

}  // namespace
}  // namespace folivra
