// Finding text in chapters: the UTF-16 text the control holds, literal and
// regular-expression patterns, replacements, and the whole book's hits.
#include "text/text_search.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "book/gbk.h"
#include "text/book_search.h"
#include "text/plain_text.h"

namespace folivra {
namespace {

std::vector<TextMatch> all(std::u16string_view pattern, std::u16string_view text,
                           SearchOptions options = {}) {
  const std::optional<TextPattern> p = TextPattern::make(pattern, options);
  EXPECT_TRUE(p.has_value());
  if (!p) return {};
  const TextMatches found = p->find_all(text);
  EXPECT_EQ(found.end, SearchEnd::whole);
  return found.found;
}

TEST(ChapterText16, UnitsAreTheControlsCharacterPositions) {
  // 你好 in GBK, a paragraph, \u-escaped 𝄞 (two units) with its fallback, a
  // line break, a font table that is no text.
  const std::string rtf =
      "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0 \\'cb\\'ce\\'cc\\'e5;}}\\f0 \\'c4\\'e3\\'ba\\'c3"
      "\\par A\\u-10188?\\u-8930?B\\line \\{x\\}}";
  EXPECT_EQ(chapter_text16(rtf), u"你好\rA\U0001D11EB\v{x}");
  EXPECT_EQ(chapter_text16(gbk_of("纯文本")), u"纯文本");
  // As the control reads them (checked against it under Wine, control_corpus):
  // a \u's fallback skip ends with its group; headers, footers and \tc
  // entries are no text, \tcn's is.
  EXPECT_EQ(chapter_text16("{\\rtf1\\ansi {\\u8226}ABC}"), u"\u2022ABC");
  EXPECT_EQ(chapter_text16("{\\rtf1\\ansi a{\\headerl h}{\\footerf f}{\\tc x}{\\tcn y}b}"), u"ayb");
  // A table row starts and ends with "\r\n", each cell ends with a tab; a
  // nested row is a row of its own inside a cell.
  EXPECT_EQ(
      chapter_text16("{\\rtf1 \\trowd\\cellx100\\cellx200\\intbl a\\cell \\itap2 Date\\nestcell "
                     "Comment\\nestcell{\\*\\nesttableprops\\nestrow}{\\nonesttables x}\\itap1 "
                     "b\\cell\\row \\pard c}"),
      u"\r\na\t\r\nDate\tComment\t\r\nb\t\r\nc");
  EXPECT_EQ(chapter_text16("{\\rtf1 x\\cell y\\row z}"), u"xyz") << "no table: no cells";
  EXPECT_EQ(chapter_text16("{\\rtf1\\uc4294967297\\u20013 ab}"), u"\u4E2Db")
      << "parameters are 32 bits, as the control reads them, on every platform";
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
      << "^ and $ anchor at each paragraph; . does not cross one";
  const std::u16string long_line(200000, u'a');
  EXPECT_EQ(all(u"a+", long_line + u"\r" + long_line, {.regex = true}),
            (std::vector<TextMatch>{{0, 200000}, {200001, 200000}}))
      << "a long paragraph is matched whole, without exhausting the stack";
}

TEST(TextPattern, LongParagraphsAreMatchedWhole) {
  // What pieces of a paragraph got wrong: a match across unit 1,000, a run
  // longer than a piece, ^ in the middle of a paragraph, a pair at 999.
  const std::u16string before(999, u'x');
  EXPECT_EQ(all(u"林溪", before + u"林溪", {.regex = true}), (std::vector<TextMatch>{{999, 2}}));
  EXPECT_EQ(all(u"a+", std::u16string(1500, u'a'), {.regex = true}),
            (std::vector<TextMatch>{{0, 1500}}));
  EXPECT_EQ(all(u"(a|b)*x", std::u16string(20000, u'a') + u"x", {.regex = true}),
            (std::vector<TextMatch>{{0, 20001}}))
      << "a group repeated along a long run needs more than the machine stack";
  EXPECT_TRUE(all(u"^b", std::u16string(1000, u'a') + u"b", {.regex = true}).empty());
  EXPECT_EQ(all(u"^b", u"a\r\nb\nb", {.regex = true}), (std::vector<TextMatch>{{3, 1}, {5, 1}}))
      << "CR, LF and CRLF each end a line";
  const std::u16string pair = before + u"\U0001D11E!";
  EXPECT_EQ(all(u"\U0001D11E", pair, {.regex = true}), (std::vector<TextMatch>{{999, 2}}));
  EXPECT_EQ(all(u"x.!", pair, {.regex = true}), (std::vector<TextMatch>{{998, 4}}))
      << "a character beyond the BMP is one character";
  EXPECT_EQ(all(u"\\w+", u"Émile 林溪 ok", {.regex = true}).size(), 3u) << "\\w is Unicode's";
  EXPECT_EQ(all(u"émile", u"ÉMILE", {.regex = true}).size(), 1u) << "case folds beyond ASCII";
  EXPECT_EQ(all(u"lin", u"lin linen lin", {.whole_word = true, .regex = true}),
            (std::vector<TextMatch>{{0, 3}, {10, 3}}));
  EXPECT_EQ(all(u"林", u"林溪林", {.whole_word = true, .regex = true}).size(), 2u)
      << "whole words as the literal search has them: Chinese has no word bounds";
}

TEST(TextPattern, ExpressionsThatNeverEndAreStoppedAtTheirLimit) {
  // Backtracking that grows exponentially with a paragraph's length meets
  // the work limit of one starting position at once.
  const std::u16string run(60, u'a');
  const struct {
    const char16_t* pattern;
    std::u16string text;
  } endless[] = {{u"(.*)*X", u"ok\r" + run + u"\rX"},
                 {u"(a+)+b", u"ok\r" + run + u"c b"},
                 {u"(a|aa)+b", run + u"c b"},
                 {u"(\\w+\\s?)+$", run + u"!"}};
  auto started = std::chrono::steady_clock::now();
  for (const auto& [pattern, text] : endless) {
    const TextPattern p = *TextPattern::make(pattern, {.regex = true});
    EXPECT_EQ(p.find_all(text).end, SearchEnd::too_complex) << text.size();
  }
  EXPECT_EQ(TextPattern::make(u"(a|aa)+$", {.regex = true})->matches_whole(run + u"c"),
            std::nullopt)
      << "a heading rule too";
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
  // Backtracking over every starting position of a long paragraph stays
  // under that limit at each one; the time budget of the text ends it.
  started = std::chrono::steady_clock::now();
  const TextPattern quadratic = *TextPattern::make(u"(?:a|b)*y", {.regex = true});
  EXPECT_EQ(quadratic.find_all(std::u16string(300000, u'a') + u"xy").end, SearchEnd::too_complex);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(4));
  // A stop set from another thread ends a search within one position.
  std::atomic<bool> stop = false;
  std::jthread stopper([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    stop = true;
  });
  started = std::chrono::steady_clock::now();
  EXPECT_EQ(quadratic.find_all(std::u16string(300000, u'a') + u"xy", &stop).end,
            SearchEnd::stopped);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(1000));
}

TEST(TextPattern, NextPreviousAndReplacements) {
  const std::u16string text = u"a1 b2 a3";
  const TextPattern digits = *TextPattern::make(u"([ab])(\\d)", {.regex = true});
  const std::vector<TextMatch> found = digits.find_all(text).found;
  EXPECT_EQ(next_match(found, 1), (TextMatch{3, 2}));
  EXPECT_EQ(previous_match(found, 5), (TextMatch{3, 2}));
  EXPECT_EQ(previous_match(found, 1), std::nullopt);
  EXPECT_EQ(next_match(found, 7), std::nullopt) << "no wrapping";
  EXPECT_EQ(digits.replacement(text, {3, 2}, u"$2$1"), u"2b");
  EXPECT_EQ(digits.replacement(text, {3, 2}, u"$$1=$10 ${2}$3"), u"$1=b0 2$3")
      << "$$ is a dollar, $10 is $1 then 0 with two groups, $3 does not exist";
  const TextPattern bounded = *TextPattern::make(u"\\ba\\d", {.regex = true});
  EXPECT_EQ(bounded.find_all(u"xa1 a2").found.size(), 1u);
  EXPECT_EQ(bounded.replacement(u"xa1 a2", {4, 2}, u"[$&]"), u"[a2]");
  // The match itself fills the replacement: lookarounds see the text around it.
  const TextPattern ahead = *TextPattern::make(u"a(?=b)", {.regex = true});
  EXPECT_EQ(ahead.find_all(u"ab ac").found, (std::vector<TextMatch>{{0, 1}}));
  EXPECT_EQ(ahead.replacement(u"ab ac", {0, 1}, u"[$&]"), u"[a]");
  const TextPattern behind = *TextPattern::make(u"(?<=林)(?<given>溪)", {.regex = true});
  EXPECT_EQ(behind.find_all(u"溪 林溪").found, (std::vector<TextMatch>{{3, 1}}));
  EXPECT_EQ(behind.replacement(u"溪 林溪", {3, 1}, u"<${given}>"), u"<溪>");
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
    chapter.content = "{\\rtf1\\ansicpg936 \\'c1\\'d6\\par x \\'c1\\'d6}";  // 林, then x 林
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
