// 分卷: volumes found from names and marks, and the operations that move and
// delete a volume with its chapters as one undoable step.
#include "text/volumes.h"

#include <gtest/gtest.h>

#include "document/document.h"
#include "text/chapter_numbers.h"
#include "text/novel_import.h"
#include "text/plain_text.h"
#include "text/text_rtf.h"

namespace folivra {
namespace {

std::string gbk(std::u16string_view text) { return gbk_field(text); }

Chapter chapter_of(std::u16string_view name, std::string content) {
  Chapter chapter;
  chapter.name = gbk(name);
  chapter.content = std::move(content);
  return chapter;
}

constexpr const char* kEmptyRtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 SimSun;}}\\pard\\par}";
constexpr const char* kTextRtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 SimSun;}}\\pard text\\par}";

// 序章 (before the first volume), 第一卷 with two chapters, 第二卷 holding
// none, 第三卷 with one, and a "第四卷" that holds text and is a chapter.
Book shaped_book() {
  Book book;
  book.chapters = {chapter_of(u"序章", kTextRtf),  chapter_of(u"第一卷 风起", kEmptyRtf),
                   chapter_of(u"第1章", kTextRtf), chapter_of(u"第2章", kTextRtf),
                   chapter_of(u"第二卷", ""),      chapter_of(u"第三卷：归途", kEmptyRtf),
                   chapter_of(u"第3章", kTextRtf), chapter_of(u"第四卷 终", kTextRtf)};
  book.chapter_count = 8;
  return book;
}

std::vector<std::string> names(const Document& doc) {
  std::vector<std::string> out;
  for (int p = 1; p <= doc.count(); ++p)
    out.push_back(utf16_to_utf8(gbk_to_utf16(doc.chapter(p).name)));
  return out;
}

TEST(Volumes, HeadingsAreVolumesOnlyWhileTheyHoldNoText) {
  for (std::u16string_view name : {u"第一卷", u"第12卷 风起云涌", u"第三部：归来", u"第二篇",
                                   u"第四集", u"卷一 少年游", u"上卷", u"下部 终章", u"　第五卷"}) {
    EXPECT_TRUE(is_volume_heading(name)) << utf16_to_utf8(name);
  }
  for (std::u16string_view name : {u"第一章", u"第一卷起了风", u"卷帘人", u"上部队", u"第卷",
                                   u"部署", u"12. 第一卷", u"上集"}) {
    EXPECT_FALSE(is_volume_heading(name)) << utf16_to_utf8(name);
  }
  const Book book = shaped_book();
  EXPECT_EQ(volume_positions(book), (std::vector<int>{2, 5, 6}));
  const std::vector<int> volumes = volume_positions(book);
  EXPECT_EQ(volume_end(volumes, 8, 2), 4);
  EXPECT_EQ(volume_end(volumes, 8, 5), 5);  // a volume with no chapters
  EXPECT_EQ(volume_end(volumes, 8, 6), 8);
  EXPECT_EQ(volume_holding(volumes, 1), 0);  // chapters before the first volume
  EXPECT_EQ(volume_holding(volumes, 4), 2);
  EXPECT_EQ(volume_holding(volumes, 8), 6);
}

TEST(Volumes, TheMarkMakesAnyEmptyChapterAVolumeAndReadsAsNoText) {
  Document doc;
  doc.replace(shaped_book());
  EXPECT_TRUE(chapter_text16(volume_content()).empty());
  EXPECT_TRUE(doc.set_volume(1, true).empty());  // 序章 holds text
  ASSERT_FALSE(doc.insert_volume(9, gbk(u"尾声")).empty());
  EXPECT_TRUE(is_volume(doc.chapter(9)));
  EXPECT_EQ(volume_positions(doc.book()).back(), 9);
  EXPECT_TRUE(doc.set_volume(5, false).empty());  // a heading without the mark stays
  ASSERT_FALSE(doc.set_volume(9, false).empty());
  EXPECT_FALSE(is_volume(doc.chapter(9)));
  EXPECT_EQ(doc.undo_name(), gbk(u"取消分卷 尾声"));
  doc.undo();
  EXPECT_TRUE(is_volume(doc.chapter(9)));
}

TEST(Volumes, AVolumeMovesAndGoesWithItsChaptersAsOneStep) {
  Document doc;
  doc.replace(shaped_book());
  const std::vector<std::string> before = names(doc);
  // 第三卷 and its chapter before 第一卷.
  ASSERT_EQ(doc.move_run(6, 7, 2).size(), 2u);
  EXPECT_EQ(names(doc), (std::vector<std::string>{"序章", "第三卷：归途", "第3章", "第一卷 风起",
                                                  "第1章", "第2章", "第二卷", "第四卷 终"}));
  EXPECT_EQ(doc.undo_name(), gbk(u"移动分卷 第三卷：归途"));
  doc.undo();
  EXPECT_EQ(names(doc), before);
  // 第一卷 and its two chapters behind 第二卷.
  ASSERT_EQ(doc.move_run(2, 4, 3).size(), 3u);
  EXPECT_EQ(names(doc), (std::vector<std::string>{"序章", "第二卷", "第一卷 风起", "第1章", "第2章",
                                                  "第三卷：归途", "第3章", "第四卷 终"}));
  doc.undo();
  EXPECT_EQ(names(doc), before);
  doc.redo();
  doc.undo();
  EXPECT_TRUE(doc.move_run(2, 4, 7).empty());  // past the end
  ASSERT_EQ(doc.remove_run(2, 4).size(), 3u);
  EXPECT_EQ(names(doc),
            (std::vector<std::string>{"序章", "第二卷", "第三卷：归途", "第3章", "第四卷 终"}));
  EXPECT_EQ(doc.undo_name(), gbk(u"删除分卷 第一卷 风起"));
  doc.undo();
  EXPECT_EQ(names(doc), before);
  EXPECT_EQ(doc.chapter(3).content, kTextRtf);
}

TEST(Volumes, RenamesLaidOntoAMoveGoBackWithIt) {
  Document doc;
  doc.replace(shaped_book());
  doc.move(4, 3);
  doc.amend_last({{3, std::nullopt, gbk(u"第1章")}, {4, std::nullopt, gbk(u"第2章")}});
  EXPECT_EQ(names(doc)[2], "第1章");
  EXPECT_EQ(doc.chapter(3).content, kTextRtf);
  doc.undo();
  EXPECT_EQ(names(doc), names([] {
              Document fresh;
              fresh.replace(shaped_book());
              return fresh;
            }()));
}

TEST(Volumes, AnImportedNovelKeepsItsVolumes) {
  const std::u16string text =
      u"书名：山河\n\n第一卷 风起\n\n第一章 出发\n他走了。\n第二章 渡河\n河很宽。\n"
      u"第二卷 归途\n卷首语：回家。\n第三章 到家\n到了。\n第三卷\n";
  const ChapterSplit split = split_chapters(text, default_heading_rule());
  Book book;
  book.chapters = chapters_of(split.chapters, RtfFont{}).chapters;
  std::vector<std::string> names;
  for (const Chapter& chapter : book.chapters)
    names.push_back(utf16_to_utf8(gbk_to_utf16(chapter.name)));
  ASSERT_EQ(names, (std::vector<std::string>{"序", "第一卷 风起", "第一章 出发", "第二章 渡河",
                                             "第二卷 归途", "第三章 到家", "第三卷"}));
  // 第二卷 holds its own foreword: a chapter, not a volume.
  EXPECT_EQ(volume_positions(book), (std::vector<int>{2, 7}));
}

TEST(Volumes, RenumberingPerVolumeStartsEachVolumeAgain) {
  const std::vector<std::u16string> names = {u"第1章",  u"第一卷", u"第3章 a", u"第九章 b",
                                             u"第二卷", u"第7章",  u"第008章"};
  const std::vector<bool> restarts = {false, true, false, false, true, false, false};
  EXPECT_EQ(
      renumbered_names(names, restarts),
      (std::vector<std::u16string>{u"", u"", u"第1章 a", u"第二章 b", u"", u"第1章", u"第002章"}));
  EXPECT_EQ(renumbered_names(names), (std::vector<std::u16string>{u"", u"", u"第2章 a", u"第三章 b",
                                                                  u"", u"第4章", u"第005章"}));
}

}  // namespace
}  // namespace folivra
