// What reaches the rich-edit control: never more than it lays out in a
// second or two under Wine; beyond that the chapter's own text, read-only.
#include "document/chapter_look.h"

#include <gtest/gtest.h>

#include "text/plain_text.h"
#include "text/rtf_check.h"
#include "text/rtf_walk.h"

namespace folivra {
namespace {

Chapter text_chapter(std::string content) {
  Chapter chapter;
  chapter.kind = 1;
  chapter.content = std::move(content);
  return chapter;
}

std::string escaped(size_t characters) {  // 你 again and again, as the editor writes it
  std::string out;
  for (size_t i = 0; i < characters; ++i) out += "\\'c4\\'e3";
  return out;
}

// The control lays out a paragraph in time that grows with the square of its
// length: one of 24,000 characters still fits the bound, two of 16,000 do,
// one of 25,000 does not.
TEST(ChapterLook, LongParagraphsBeyondWhatTheControlLaysOutAreShownAsTextInPieces) {
  // Long stored bytes are no long paragraph: 20,000 characters in 160,000
  // bytes, in five paragraphs.
  std::string five = "{\\rtf1\\ansicpg936 ";
  for (int i = 0; i < 5; ++i) five += escaped(4000) + "\\par ";
  EXPECT_EQ(chapter_look(text_chapter(five + "}")), ChapterLook::editable);
  EXPECT_EQ(chapter_look(text_chapter("{\\rtf1\\ansicpg936 " + escaped(24000) + "}")),
            ChapterLook::editable);
  EXPECT_EQ(chapter_look(text_chapter("{\\rtf1\\ansicpg936 " + escaped(16000) + "\\par " +
                                      escaped(16000) + "}")),
            ChapterLook::editable);
  EXPECT_EQ(chapter_look(text_chapter(std::string(16000, 'x') + "\r\n" + std::string(16000, 'y'))),
            ChapterLook::editable);

  EXPECT_EQ(chapter_look(text_chapter("{\\rtf1 " + std::string(25000, 'a') + "}")),
            ChapterLook::too_long);
  // \pard is no paragraph break: one paragraph of 32,000 characters.
  EXPECT_EQ(chapter_look(text_chapter("{\\rtf1\\ansicpg936 " + escaped(16000) + "\\pard " +
                                      escaped(16000) + "}")),
            ChapterLook::too_long);
  EXPECT_EQ(chapter_look(text_chapter(std::string(25000, 'x'))), ChapterLook::too_long);

  // A decompression bomb's chapter: 16 MB in one paragraph.
  const std::string bomb = "{\\rtf1 " + std::string(16 << 20, 'a') + "}";
  EXPECT_EQ(chapter_look(text_chapter(bomb)), ChapterLook::too_long);
  const std::string preview = text_preview(text_chapter(bomb), ChapterLook::too_long);
  EXPECT_TRUE(rtf_fits_control(preview));
  EXPECT_EQ(chapter_look(text_chapter(preview)), ChapterLook::editable) << "the control takes it";
  const std::vector<std::string> lines = plain_lines(preview);
  size_t characters = 0;
  for (size_t i = 1; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].find_first_not_of('a'), std::string::npos);
    characters += lines[i].size();
  }
  EXPECT_GE(characters, 100000u) << "the start of the text, as much as is laid out at once";
  EXPECT_NE(lines[0].find("多于编辑器一次能排版的"), std::string::npos);
}

TEST(ChapterLook, MoreCharactersThanTheControlTakesAreShownAsText) {
  const std::string paragraph = escaped(300) + "\\par ";
  std::string many = "{\\rtf1\\ansicpg936 ";
  for (size_t i = 0; i < kMaxShownCharacters / 301; ++i) many += paragraph;  // and its break
  EXPECT_EQ(chapter_look(text_chapter(many + "}")), ChapterLook::editable);
  EXPECT_EQ(chapter_look(text_chapter(many + paragraph + paragraph + "}")), ChapterLook::too_long);
}

}  // namespace
}  // namespace folivra
