#include <gtest/gtest.h>

#include <string>

#include "text/rtf_check.h"

namespace folivra {
namespace {

TEST(RtfCheck, WhatTheEditorWritesPasses) {
  const std::string chapter =
      "{\\rtf1\\ansi\\ansicpg936\\deff0\\nouicompat{\\fonttbl{\\f0\\fnil\\fcharset134 "
      "\\'cb\\'ce\\'cc\\'e5;}}\r\n{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1 \r\n"
      "\\pard\\f0\\fs24\\lang2052 \\'b5\\'da\\'d2\\'bb\\'d5\\'c2\\b bold\\b0\\par\r\n}";
  EXPECT_TRUE(looks_like_rtf(chapter));
  EXPECT_TRUE(rtf_fits_control(chapter));
  EXPECT_FALSE(looks_like_rtf("plain text"));
  EXPECT_FALSE(looks_like_rtf(""));
}

TEST(RtfCheck, HostileRtfIsFlagged) {
  EXPECT_FALSE(rtf_fits_control(std::string(100000, '{') + "x" + std::string(100000, '}')))
      << "deep nesting";
  EXPECT_FALSE(rtf_fits_control("{\\rtf1 \\" + std::string(1 << 20, 'a') + " x}"))
      << "a megabyte control word";
  EXPECT_FALSE(rtf_fits_control("{\\rtf1 \\fs" + std::string(40, '9') + " x}"))
      << "an endless parameter";
  // Millions of empty paragraphs are counted, for the editor to show them as text.
  std::string pars = "{\\rtf1 ";
  for (int i = 0; i < 2000000; ++i) pars += "\\par";
  EXPECT_EQ(count_line_breaks(pars + "}"), 2000000u);
  EXPECT_EQ(count_line_breaks("a\r\nb\rc\nd"), 3u);
  EXPECT_EQ(count_line_breaks("{\\rtf1 a\\line b\\\\par c\\parx\\pard\\par}"), 2u)
      << "an escaped backslash and longer words are no breaks";

  // Many paragraphs of real text are fine, and \bin data is not parsed.
  std::string text = "{\\rtf1 ";
  for (int i = 0; i < 200000; ++i) text += "\\'b5\\'da\\'d2\\'bb line\\par\r\n";
  EXPECT_TRUE(rtf_fits_control(text + "}"));
  EXPECT_TRUE(rtf_fits_control("{\\rtf1 {\\pict\\bin5 {{{{{}}"));
  EXPECT_TRUE(rtf_fits_control("{\\rtf1 \\bin999999 abc"));
  EXPECT_TRUE(rtf_fits_control(std::string(32, '{') + std::string(32, '}')));
  EXPECT_TRUE(rtf_fits_control("{\\rtf1 {\\pict\\bin2147483647 {{{{{}}"));
  EXPECT_FALSE(rtf_fits_control(std::string(33, '{') + std::string(33, '}')))
      << "33 nested groups crash Wine's control";
  EXPECT_TRUE(rtf_fits_control(std::string(3000, '{') + std::string(3000, '}'), kAnyDepth))
      << "sound apart from its depth: shown as its text";

  // The control reads a count as 32 bits: 4294967297 is 1 to it, and the
  // nesting behind the one byte is parsed. Such a count passes nothing.
  const std::string nest = std::string(5000, '{') + std::string(5000, '}');
  EXPECT_FALSE(rtf_fits_control("{\\rtf1 \\bin4294967297 x" + nest + "}"));
  EXPECT_FALSE(rtf_fits_control("{\\rtf1 \\bin999999999999 x" + nest + "}"));
  EXPECT_FALSE(rtf_fits_control("{\\rtf1 \\bin2147483648 x" + nest + "}"));
  EXPECT_FALSE(rtf_fits_control("{\\rtf1 \\bin-5 x" + nest + "}"));

  // Cells inside a nested row's properties end Wine's control (a real
  // document, reduced): refused for the control, sound for our own walk.
  const std::string odd =
      "{\\rtf1 \\intbl\\cellx5027\\itap2{\\*\\nesttableprops\\trowd { }{x}{ }\\nestcell\\nestrow}"
      "{ }\\cell \\cell \\cell\\row}";
  EXPECT_FALSE(rtf_fits_control(odd));
  EXPECT_FALSE(rtf_tables_fit_control(odd));
  EXPECT_TRUE(rtf_fits_control(odd, kAnyDepth));
  const std::string nested_table =
      "{\\rtf1 \\trowd\\cellx4000\\intbl a\\cell\\itap2 b\\nestcell"
      "{\\*\\nesttableprops \\trowd\\cellx2000 \\nestrow}\\itap1 \\cell\\row}";
  EXPECT_TRUE(rtf_fits_control(nested_table)) << "a nested table as Word writes it";
}

}  // namespace
}  // namespace folivra
