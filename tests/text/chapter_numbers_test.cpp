#include "text/chapter_numbers.h"

#include <gtest/gtest.h>

namespace folivra {
namespace {

TEST(ChapterNumbers, ReadsTheNumberAsWritten) {
  EXPECT_EQ(chapter_number_of(u"第十二章 渡河").value, 12);
  EXPECT_TRUE(chapter_number_of(u"第十二章 渡河").chinese);
  EXPECT_EQ(chapter_number_of(u"第一百零五回 夜雨").value, 105);
  EXPECT_EQ(chapter_number_of(u"第两千零一章").value, 2001);
  EXPECT_EQ(chapter_number_of(u"第012章").width, 3u);
  EXPECT_EQ(chapter_number_of(u"12. 开始").value, 12);
  EXPECT_EQ(chapter_number_of(u"３、出发").value, 3);
  EXPECT_FALSE(chapter_number_of(u"第一卷 风起").found) << "a volume heading";
  EXPECT_FALSE(chapter_number_of(u"序章").found);
  EXPECT_FALSE(chapter_number_of(u"2024年的冬天").found);
  EXPECT_FALSE(chapter_number_of(u"第").found);
}

TEST(ChapterNumbers, ChineseNumerals) {
  const std::pair<long, std::u16string_view> cases[] = {{1, u"一"},
                                                        {10, u"十"},
                                                        {12, u"十二"},
                                                        {20, u"二十"},
                                                        {105, u"一百零五"},
                                                        {110, u"一百一十"},
                                                        {1001, u"一千零一"},
                                                        {1010, u"一千零一十"},
                                                        {10000, u"一万"},
                                                        {10086, u"一万零八十六"},
                                                        {23456, u"二万三千四百五十六"}};
  for (const auto& [value, text] : cases) EXPECT_EQ(chinese_numeral(value), text) << value;
  for (long v = 1; v < 30000; v += 37) {
    std::u16string name(u"第");
    name.append(chinese_numeral(v)).append(u"章");
    EXPECT_EQ(chapter_number_of(name).value, v) << v;
  }
}

TEST(ChapterNumbers, RenumberingKeepsEachStyleAndRunsOnFromTheFirst) {
  const std::vector<std::u16string> names = {u"序章",        u"第一章 出发",  u"第三章 渡河",
                                             u"第一卷 风起", u"第004章 山谷", u"7. 夜雨",
                                             u"第五回 尾声"};
  const std::vector<std::u16string> renamed = renumbered_names(names);
  EXPECT_EQ(renamed, (std::vector<std::u16string>{u"", u"", u"第二章 渡河", u"", u"第003章 山谷",
                                                  u"4. 夜雨", u""}));
  EXPECT_EQ(renumbered_names({u"第十章", u"第十二章", u"第十三章"}),
            (std::vector<std::u16string>{u"", u"第十一章", u"第十二章"}));
  EXPECT_EQ(renumbered_names({u"序", u"尾声"}), (std::vector<std::u16string>{u"", u""}));
}

}  // namespace
}  // namespace folivra
