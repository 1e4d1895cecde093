#include "app/ini_file.h"

#include <gtest/gtest.h>

namespace folivra {
namespace {

TEST(IniFile, ReadsAsTheProfileFunctionsDo) {
  const std::string text =
      "; a comment\r\n[Windows]\r\nwidth=600\r\n  Height = 450 "
      "\r\n\r\n[font]\r\nname=\"\xBA\xDA\xCC\xE5\"\r\n"
      "[Windows]\r\nwidth=1\r\n";
  EXPECT_EQ(ini_lookup(text, "Windows", "width"), "600") << "the first section of a name counts";
  EXPECT_EQ(ini_lookup(text, "windows", "HEIGHT"), "450");
  EXPECT_EQ(ini_lookup(text, "Font", "name"), "\xBA\xDA\xCC\xE5") << "quotes come off";
  EXPECT_EQ(ini_lookup(text, "Font", "size"), std::nullopt);
  EXPECT_EQ(ini_lookup(text, "Nothing", "width"), std::nullopt);
  EXPECT_EQ(ini_lookup("[A]\nk=v", "A", "k"), "v") << "bare line feeds and no last break";
}

TEST(IniFile, WritesKeepEverythingElse) {
  std::string text;
  text = ini_with(text, "Windows", "width", "600");
  EXPECT_EQ(text, "[Windows]\r\nwidth=600\r\n");
  text = ini_with(text, "Windows", "height", "450");
  text = ini_with(text, "Font", "name", "\xBA\xDA\xCC\xE5");
  text = ini_with(text, "WINDOWS", "Width", "700");
  EXPECT_EQ(text, "[Windows]\r\nWidth=700\r\nheight=450\r\n[Font]\r\nname=\xBA\xDA\xCC\xE5\r\n");

  const std::string hand = "; mine\r\n[Windows]\r\nwidth=1\r\n\r\n[Other]\r\nx=y";
  EXPECT_EQ(ini_with(hand, "Windows", "top", "5"),
            "; mine\r\n[Windows]\r\nwidth=1\r\ntop=5\r\n\r\n[Other]\r\nx=y");
  EXPECT_EQ(ini_with(hand, "Other", "z", "1"), hand + "\r\nz=1\r\n");
  EXPECT_EQ(ini_without_section(hand, "windows"), "; mine\r\n[Other]\r\nx=y");
  EXPECT_EQ(ini_without_section(hand, "Other"), "; mine\r\n[Windows]\r\nwidth=1\r\n\r\n");
  EXPECT_EQ(ini_without_section(hand, "None"), hand);
}

}  // namespace
}  // namespace folivra
