// TXT novels coming in: their encodings, their chapter headings, and a round
// trip back to the same lines through the RTF the editor keeps.
#include "text/text_import.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "book/gb18030.h"
#include "text/novel_import.h"
#include "text/rtf_check.h"
#include "text/plain_text.h"
#include "text/word_count.h"

namespace folivra {
namespace {

std::vector<std::u16string> names_of(const ChapterSplit& split) {
  std::vector<std::u16string> names;
  for (const TextChapter& c : split.chapters) names.push_back(c.name);
  return names;
}

TEST(TextImport, EncodingsAreDetectedFromRealBytes) {
  struct Case {
    std::string bytes;
    TextEncoding encoding;
    std::u16string text;
  };
  const std::vector<Case> cases = {
      {"\xEF\xBB\xBF\xE4\xB8\xAD\xE6\x96\x87", TextEncoding::utf8_bom, u"中文"},
      {std::string("\xFF\xFE\x2D\x4E\x87\x65", 6), TextEncoding::utf16le, u"中文"},
      {std::string("\xFE\xFF\x4E\x2D\x65\x87", 6), TextEncoding::utf16be, u"中文"},
      {"\xE4\xB8\xAD\xE6\x96\x87 ok", TextEncoding::utf8, u"中文 ok"},
      {"plain ASCII", TextEncoding::utf8, u"plain ASCII"},
      // 隆 (C2 A1) is also U+00A1 in UTF-8: the rest of the file decides.
      {"\xC2\xA1\xD6\xD0\xCE\xC4", TextEncoding::gb18030, u"隆中文"},
      {"\xB5\xDA\xD2\xBB\xD5\xC2" + gb18030_four_bytes(0x20000) + "\xA1\xA3", TextEncoding::gb18030,
       u"第一章\U00020000。"},
      // Valid UTF-8 but for its last, cut character.
      {"\xE4\xB8\xAD\xE6\x96", TextEncoding::gb18030, u""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(detect_encoding(c.bytes), c.encoding) << c.bytes;
    if (!c.text.empty()) {
      EXPECT_EQ(decode_text(c.bytes, c.encoding), c.text) << c.bytes;
    }
  }
  // A NUL character is no text, in any encoding: no chapter could keep it.
  using namespace std::string_literals;
  EXPECT_TRUE(looks_binary("a\0b"s, TextEncoding::utf8));
  EXPECT_FALSE(looks_binary("\xFF\xFE\x2D\x4E\x87\x65"s, TextEncoding::utf16le));
  EXPECT_TRUE(looks_binary("\xFF\xFE\x2D\x4E\0\0"s, TextEncoding::utf16le));
  // A surrogate without its partner is U+FFFD; a pair is one character.
  EXPECT_EQ(decode_text("\xFF\xFE\x01\xD8\x02\xD8\x00\xDC\x00\xDCz\x00"s, TextEncoding::utf16le),
            u"\xFFFD\U00010800\xFFFDz");
  // An override decodes what it is told, bad bytes as U+FFFD.
  EXPECT_EQ(decode_text("a\xFF"
                        "b",
                        TextEncoding::utf8),
            u"a\xFFFD"
            "b");
  EXPECT_EQ(encoding_named("gbk"), TextEncoding::gb18030);
  EXPECT_EQ(encoding_named("utf-16"), TextEncoding::utf16le);
  EXPECT_FALSE(encoding_named("latin1"));
}

// A generated novel with every usual heading form, and lines that only
// look like one.
TEST(TextImport, HeadingsAreFoundAndFalseFriendsAreNot) {
  const std::u16string novel =
      u"书名：远行\r\n作者：某人\r\n\r\n"
      u"楔子\r\n　　那一年，雪下得很大。\r\n"
      u"第一卷 风起\r\n"
      u"第一章 出门\r\n　　他说第一章写得好。\r\n\r\n　　第二天他走了。\r\n"
      u"第12章\r\n　　十二。\r\n"
      u"第一百二十三回 归来\r\n　　第一百二十三回不是开头。\r\n"
      u"第二章写得好，他说。\r\n"
      u"  Chapter 12: Home\r\n text\r\n"
      u"番外一 春\r\n春天。\r\n"
      u"尾声\r\n完。\r\n"
      u"后记\r\n谢谢。\r\n";
  const ChapterSplit split = split_chapters(novel, default_heading_rule());
  ASSERT_EQ(split.outcome, RuleOutcome::split);
  const std::vector<TextChapter>* chapters = &split.chapters;
  EXPECT_EQ(names_of(split),
            (std::vector<std::u16string>{u"序", u"楔子", u"第一卷 风起", u"第一章 出门", u"第12章",
                                         u"第一百二十三回 归来", u"Chapter 12: Home", u"番外一 春",
                                         u"尾声", u"后记"}));
  // Nothing is lost: the lines before the first heading, blank lines inside,
  // the indentation and the false friends stay in their chapters.
  EXPECT_EQ((*chapters)[0].lines, (std::vector<std::u16string>{u"书名：远行", u"作者：某人"}));
  EXPECT_EQ((*chapters)[3].lines,
            (std::vector<std::u16string>{u"　　他说第一章写得好。", u"", u"　　第二天他走了。"}));
  EXPECT_EQ((*chapters)[5].lines.back(), u"第二章写得好，他说。");
  EXPECT_TRUE((*chapters)[2].lines.empty()) << "a volume heading with nothing under it";

  // A rule of the user's own; a broken one is refused.
  const ChapterSplit own = split_chapters(novel, u"^第.+章.*$");
  ASSERT_EQ(own.chapters.size(), 4u);
  EXPECT_EQ(own.chapters.back().name, u"第二章写得好，他说。") << "the user's rule takes it";
  EXPECT_EQ(split_chapters(novel, u"第(章").outcome, RuleOutcome::invalid);
  // A rule that backtracks without end is stopped at its limit, at once.
  const auto started = std::chrono::steady_clock::now();
  const ChapterSplit endless =
      split_chapters(u"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaab\n" + novel, u"(a+)+$");
  EXPECT_EQ(endless.outcome, RuleOutcome::too_complex);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
  // No heading at all: one chapter of everything.
  const ChapterSplit none = split_chapters(u"一行\n二行\n", default_heading_rule());
  ASSERT_EQ(none.chapters.size(), 1u);
  EXPECT_EQ(none.chapters.front().name, u"正文");
}

// Novels as they circulate: headings behind a site's prefix, a heading
// running on into its poem, a table of contents at the head, a heading
// scraped twice, and a user's rule of any length.
TEST(TextImport, HeadingsAsScrapedTextsCarryThem) {
  const std::u16string novel =
      u"三国演义\r\n目录\r\n第一回 宴桃园豪杰三结义\r\n第二回 张翼德怒鞭督邮\r\n"
      u"第三回 议温明董卓叱丁原\r\n\r\n"
      u"正文 第一回 宴桃园豪杰三结义\r\n　　滚滚长江东逝水。\r\n"
      u"《三国演义》正文 第二回 张翼德怒鞭督邮\r\n　　且说董卓。\r\n"
      u"正文 第三回 议温明董卓叱丁原\r\n　　且说曹操。\r\n"
      u"VIP章节 第4章 网文\r\n　　内容。\r\n"
      u"第五回　景阳冈武松打虎　潘金莲嫌夫卖风月　词曰：这是一段很长的开场诗句，写在回目同一行里，"
      u"一直写下去。\r\n　　话说。\r\n"
      u"第六回 重复\r\n第六回 重复\r\n　　重复的正文。\r\n";
  const ChapterSplit split = split_chapters(novel, default_heading_rule());
  ASSERT_EQ(split.outcome, RuleOutcome::split);
  EXPECT_EQ(names_of(split), (std::vector<std::u16string>{
                                 u"序", u"第一回 宴桃园豪杰三结义", u"第二回 张翼德怒鞭督邮",
                                 u"第三回 议温明董卓叱丁原", u"第4章 网文",
                                 u"第五回　景阳冈武松打虎　潘金莲嫌夫卖风月", u"第六回 重复"}));
  EXPECT_EQ(split.chapters[0].lines,
            (std::vector<std::u16string>{u"三国演义", u"目录", u"第一回 宴桃园豪杰三结义",
                                         u"第二回 张翼德怒鞭督邮", u"第三回 议温明董卓叱丁原"}))
      << "the table of contents stays text";
  EXPECT_EQ(split.chapters[5].lines.front(),
            u"词曰：这是一段很长的开场诗句，写在回目同一行里，一直写下去。")
      << "the poem opens the chapter's text";
  EXPECT_EQ(split.chapters[6].lines, (std::vector<std::u16string>{u"　　重复的正文。"}));
  // What the head says of the book.
  const ChapterSplit head = split_chapters(u"《远行》\n书名：远行记\n作者： 某人\n\n第一章\n正文\n",
                                           default_heading_rule());
  EXPECT_EQ(head.title, u"远行") << "the first line's 《…》 first";
  EXPECT_EQ(head.author, u"某人");
  EXPECT_EQ(head.chapters[0].lines.size(), 3u) << "the lines stay in the text";
  EXPECT_EQ(split.title, u"") << "三国演义 says nothing of itself";
  // A rule of the user's own says how long a heading may be.
  const std::u16string long_heading = u"第1回 " + std::u16string(50, u'长') + u"\n正文\n";
  EXPECT_EQ(split_chapters(long_heading, u"^第[0-9]+回.*$").chapters.front().name.size(), 54u);
}

// A text cut at a fixed width (about 40 columns) comes back as paragraphs;
// text with a paragraph per line is left as it is.
TEST(TextImport, LinesCutAtAFixedWidthAreJoinedIntoParagraphs) {
  const std::u16string sentence = u"楚汉分争，天下大乱，百姓流离失所，英雄并起，逐鹿中原。";
  std::u16string paragraphs[3];
  for (int p = 0; p < 3; ++p) {
    for (int k = 0; k < 8; ++k) paragraphs[p] += sentence;
  }
  std::u16string wrapped = u"第一章 楚汉\r\n";
  for (const std::u16string& paragraph : paragraphs) {
    const std::u16string text = u"　　" + paragraph;
    for (size_t at = 0; at < text.size(); at += 20) wrapped += text.substr(at, 20) + u"\r\n";
  }
  const ChapterSplit split = split_chapters(wrapped, default_heading_rule());
  EXPECT_TRUE(split.unwrapped);
  ASSERT_EQ(split.chapters.size(), 1u);
  EXPECT_EQ(split.chapters[0].lines,
            (std::vector<std::u16string>{u"　　" + paragraphs[0], u"　　" + paragraphs[1],
                                         u"　　" + paragraphs[2]}));
  EXPECT_FALSE(split_chapters(wrapped, default_heading_rule(), Unwrap::off).unwrapped);
  std::u16string plain = u"第一章 楚汉\r\n";
  for (int k = 0; k < 30; ++k) plain += u"　　" + sentence + u"\r\n";
  EXPECT_FALSE(split_chapters(plain, default_heading_rule()).unwrapped)
      << "every line ends its sentence: a paragraph each";
}

TEST(TextImport, TextComesBackLineForLineThroughTheBook) {
  const std::vector<TextChapter> found = {{u"第一章 雪\U0001F600",
                                           {u"　　雪{下}得\\很大\t。", u"", u"", u"\U00020000字外",
                                            u"end", u"誠乗亄亇: trail bytes \\ { }"}},
                                          {u"第二章", {u"short"}}};
  const ImportedChapters imported = chapters_of(found, RtfFont{});
  ASSERT_EQ(imported.chapters.size(), 2u);
  EXPECT_EQ(imported.names_replaced, 1u) << "the emoji GBK lacks, counted once";
  EXPECT_EQ(imported.chapters[0].name, "\xB5\xDA\xD2\xBB\xD5\xC2 \xD1\xA9?");
  for (size_t i = 0; i < found.size(); ++i) {
    const std::vector<std::string> lines = plain_lines(imported.chapters[i].content);
    ASSERT_EQ(lines.size(), found[i].lines.size());
    for (size_t k = 0; k < lines.size(); ++k) EXPECT_EQ(utf8_to_utf16(lines[k]), found[i].lines[k]);
  }
  EXPECT_NE(imported.chapters[0].content.find("\\fcharset134 \\'cb\\'ce\\'cc\\'e5;"),
            std::string::npos)
      << "in the editor's font";
  EXPECT_EQ(count_words(imported.chapters[1].content).words, 1);
}

// A line longer than the control takes becomes paragraphs it takes, cut
// after a sentence where there is one; no character is lost or added.
TEST(TextImport, ALineTooLongForTheControlIsCutAfterASentence) {
  std::u16string sentences;
  while (sentences.size() < 3 * kMaxControlParagraph) sentences += u"这是一段很长的话。";
  const std::u16string word(kMaxControlParagraph + 5, u'a');  // no sentence ends
  const std::vector<TextChapter> found = {{u"第一章", {u"短", sentences, word + u"\U00020000"}}};
  const ImportedChapters imported = chapters_of(found, RtfFont{});
  EXPECT_EQ(imported.lines_split, 2u);
  const std::vector<std::string> lines = plain_lines(imported.chapters[0].content);
  ASSERT_GE(lines.size(), 6u);
  std::u16string joined;
  for (size_t i = 1; i < lines.size(); ++i) {
    const std::u16string line = utf8_to_utf16(lines[i]);
    EXPECT_LE(line.size(), kMaxControlParagraph);
    EXPECT_FALSE(line.empty());
    joined += line;
    if (joined.size() < sentences.size()) {
      EXPECT_EQ(line.back(), u'。') << i;
    }
  }
  EXPECT_EQ(joined, sentences + word + u"\U00020000");
}

TEST(TextImport, FilesSortInNaturalOrder) {
  std::vector<std::u16string> names = {u"第10章.txt", u"第2章.txt",    u"第1章.txt",
                                       u"序.txt",     u"第０３章.txt", u"第002章.txt"};
  std::sort(names.begin(), names.end(), natural_less);
  EXPECT_EQ(names, (std::vector<std::u16string>{u"序.txt", u"第1章.txt", u"第2章.txt",
                                                u"第002章.txt", u"第０３章.txt", u"第10章.txt"}));
}

}  // namespace
}  // namespace folivra
