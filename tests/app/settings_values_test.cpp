// The portable parts of settings, recent files, file filters and the font.
#include <gtest/gtest.h>

#include "app/ini_values.h"
#include "app/recent_list.h"
#include "editor/file_filter.h"
#include "ui/font_choice.h"

namespace folivra {
namespace {

TEST(IniValues, IntegersReadLikeAtoi) {
  EXPECT_EQ(parse_ini_int("156"), 156);
  EXPECT_EQ(parse_ini_int("-1"), -1);
  EXPECT_EQ(parse_ini_int("  +42px"), 42);
  EXPECT_EQ(parse_ini_int("12.9"), 12);
  EXPECT_EQ(parse_ini_int("abc"), 0);
  EXPECT_EQ(parse_ini_int(""), 0);
  EXPECT_EQ(parse_ini_int("--5"), 0);
  EXPECT_EQ(parse_ini_int("99999999999999999999"), 2147483647) << "saturates, never wraps";
  EXPECT_EQ(ini_int_text(-480), "-480");
}

TEST(IniValues, OnlyTrueAndZhenAreTrue) {
  EXPECT_TRUE(parse_ini_bool("true"));
  EXPECT_TRUE(parse_ini_bool("\xD5\xE6"));  // 真
  for (const char* other : {"TRUE", "True", "1", "false", "\xBC\xD9", "", "true "}) {
    EXPECT_FALSE(parse_ini_bool(other)) << other;
  }
  EXPECT_FALSE(parse_ini_bool(kIniFalseDefault));
  EXPECT_EQ(ini_bool_text(true), "true");
  EXPECT_EQ(ini_bool_text(false), "false");
}

TEST(RecentList, NewestFirstWithoutRepeats) {
  std::vector<std::string> list;
  for (const char* path : {"A", "B", "A"}) list = with_recent_first(list, path);
  EXPECT_EQ(list, (std::vector<std::string>{"A", "B"}));
  list = with_recent_first({"C:\\x.zqb", "c:\\X.zqb", "D", "C:\\x.zqb"}, "D");
  EXPECT_EQ(list, (std::vector<std::string>{"D", "C:\\x.zqb", "c:\\X.zqb"}))
      << "letter case makes different entries";
}

TEST(RecentList, Captions) {
  EXPECT_EQ(recent_caption(1, "C:\\books\\tale.zqb"), "&1 tale.zqb");
  EXPECT_EQ(recent_caption(5, "C:\\books\\"), "&5 ") << "a path ending in a backslash";
  EXPECT_EQ(recent_caption(2, "D:\\\xCA\xE9\\\xD0\xC2.zqb"), "&2 \xD0\xC2.zqb");
  EXPECT_EQ(recent_caption(3, "C:\\A&B.zqb"), "&3 A&&B.zqb") << "the name's own & is shown";
}

TEST(FileFilter, BarsBecomeZeroBytes) {
  EXPECT_EQ(filter_list(L"A|*.a"), std::wstring(L"A\0*.a\0\0", 7));
  EXPECT_EQ(filter_list(L"A|*.a|B|*.b"), std::wstring(L"A\0*.a\0B\0*.b\0\0", 13));
  EXPECT_EQ(filter_list(kBookFilter), std::wstring(L"ZQB书籍(*.zqb)\0*.zqb\0\0", 20));
}

TEST(FontChoice, PointsAndPixels) {
  EXPECT_EQ(font_height_for(12, 96), -16);
  EXPECT_EQ(points_for_height(-16, 96), 12);
  EXPECT_EQ(font_height_for(9, 96), -12);
  EXPECT_EQ(font_height_for(11, 96), -15) << "14.67 rounds to 15";
  EXPECT_EQ(points_for_height(-15, 96), 11) << "11.25 rounds to 11";
  EXPECT_EQ(font_height_for(12, 120), -20);
  EXPECT_EQ(font_height_for(0, 96), 0) << "size 0 leaves the height to the system";
  EXPECT_EQ(FontChoice{}.name, "\xCB\xCE\xCC\xE5");
  EXPECT_EQ(FontChoice{}.size, 12);
}

}  // namespace
}  // namespace folivra
