#include "text/text_layout.h"

#include <gtest/gtest.h>

#include "book/gbk.h"
#include "text/plain_text.h"

namespace folivra {
namespace {

// The text the plan leaves, applied to the plain text directly.
std::u16string laid_out(std::u16string_view text, const LayoutOptions& options = {},
                        int* paragraphs = nullptr) {
  const LayoutPlan plan = plan_layout(text, options);
  if (paragraphs) *paragraphs = plan.paragraphs;
  std::u16string out;
  size_t at = 0;
  for (const ContentReplacement& r : plan.replacements) {
    EXPECT_GE(r.start, at) << "in order, not overlapping";
    out.append(text.substr(at, r.start - at));
    out += r.text;
    at = r.start + r.length;
  }
  return out.append(text.substr(at));
}

TEST(TextLayout, IndentsTrimsAndCollapsesBlankLines) {
  int touched = 0;
  EXPECT_EQ(laid_out(u"\r  \r第一段。  \r\r\r\u3000\u3000第二段。\r  开头有空格\r\r", {}, &touched),
            u"\u3000\u3000第一段。\r\u3000\u3000第二段。\r\u3000\u3000开头有空格");
  EXPECT_EQ(touched, 8);
  LayoutOptions one;
  one.blank_lines = 1;
  one.indent = false;
  EXPECT_EQ(laid_out(u"\u3000\u3000甲。\r乙。\r\r\r丙。", one), u"甲。\r\r乙。\r\r丙。");
  EXPECT_EQ(laid_out(u"\u3000\u3000已经排好。\r\u3000\u3000第二段。", {}, &touched),
            u"\u3000\u3000已经排好。\r\u3000\u3000第二段。");
  EXPECT_EQ(touched, 0) << "nothing to adjust";
  EXPECT_TRUE(plan_layout(u"\r \r", {}).replacements.empty()) << "blank only: left alone";
}

TEST(TextLayout, PunctuationAfterChineseOnlyNeverItsFalseFriends) {
  EXPECT_EQ(laid_out(u"他说,我们走吧!好吗?走:现在;是(真的)\"好\"..."),
            u"\u3000\u3000他说，我们走吧！好吗？走：现在；是（真的）“好”……");
  // Decimals, URLs and English sentences inside Chinese text stay.
  EXPECT_EQ(laid_out(u"价格是3.14元,网址www.example.com.他说 Hello, world. 然后走了."),
            u"\u3000\u3000价格是3.14元，网址www.example.com.他说 Hello, world. 然后走了。");
  EXPECT_EQ(laid_out(u"f(x) = 1.5, \"quoted\"."), u"\u3000\u3000f(x) = 1.5, \"quoted\".");
  LayoutOptions keep;
  keep.punctuation = false;
  EXPECT_EQ(laid_out(u"他说,走.", keep), u"\u3000\u3000他说,走.");
}

// On the stored RTF: every character keeps its formatting, \uN included,
// and the result reads back as the laid-out text.
TEST(TextLayout, OnRtfKeepsFormatsAndEveryCharacter) {
  const std::string rtf = gbk_of(
      "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fcharset134 宋体;}}\\f0\\fs24 "
      "  {\\b 粗体}的开头,\\u26032?字.  \\par\\par\\par {\\i 斜体}结尾!\\par}");
  int touched = 0;
  const std::optional<std::string> out = layout_content(rtf, {}, &touched);
  ASSERT_TRUE(out);
  EXPECT_EQ(chapter_text16(*out), u"\u3000\u3000粗体的开头，新字。\r\u3000\u3000斜体结尾！");
  EXPECT_EQ(touched, 4);
  EXPECT_NE(out->find(gbk_of("{\\b 粗体}")), std::string::npos) << *out;
  EXPECT_NE(out->find(gbk_of("斜体}")), std::string::npos) << *out;
  EXPECT_NE(out->find("{\\i "), std::string::npos) << *out;
  EXPECT_NE(out->find("\\fs24"), std::string::npos);
  int again = 0;
  EXPECT_EQ(layout_content(*out, {}, &again), *out) << "laying out again changes nothing";
  EXPECT_EQ(again, 0);
}

}  // namespace
}  // namespace folivra
