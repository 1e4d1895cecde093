// The writing view's spacing and light text, laid over a chapter while it is
// shown, come off the RTF the control gives back and nothing else does.
#include "text/view_marks.h"

#include <gtest/gtest.h>

#include "text/plain_text.h"

namespace folivra {
namespace {

TEST(ViewMarks, TheSpacingAndTheLightTextComeOffAndTheAuthorsFormatsStay) {
  const ViewMarks marks{marked_spacing(15), true};
  EXPECT_EQ(marks.spacing, 372);
  // As the control writes a chapter shown at 1.5 lines on a dark page: the
  // marked colour second in the table, red text after it.
  const std::string shown =
      "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil SimSun;}}\r\n"
      "{\\colortbl "
      ";\\red0\\green0\\blue255;\\red220\\green221\\blue216;\\red255\\green0\\blue0;}\r\n"
      "\\pard\\sl372\\slmult1\\cf2\\f0\\fs24 plain \\cf1 blue\\cf3  red\\cf2  and \\b "
      "bold\\b0\\par\r\n"
      "\\pard\\sl-372\\slmult1\\qc\\cf2 centred\\par\r\n"
      "\\pard\\sl360\\slmult1\\highlight3 the author's own 1.5\\par\r\n}";
  const std::string back = without_view_marks(shown, marks);
  EXPECT_EQ(back,
            "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil SimSun;}}\r\n"
            "{\\colortbl ;\\red0\\green0\\blue255;\\red255\\green0\\blue0;}\r\n"
            "\\pard\\cf0\\f0\\fs24 plain \\cf1 blue\\cf2  red\\cf0  and \\b bold\\b0\\par\r\n"
            "\\pard\\qc\\cf0 centred\\par\r\n"
            "\\pard\\sl360\\slmult1\\highlight2 the author's own 1.5\\par\r\n}");
  EXPECT_EQ(chapter_text16(back), chapter_text16(shown)) << "not a character more or less";
}

TEST(ViewMarks, TextOfAColourOfItsOwnGetsItBack) {
  ViewMarks marks;
  marks.colour = true;
  marks.original = 0x00804020;  // blue 0x80, green 0x40, red 0x20
  EXPECT_EQ(without_view_marks("{\\rtf1{\\colortbl ;\\red220\\green221\\blue216;}\\cf1 x\\par}", marks),
            "{\\rtf1{\\colortbl ;\\red32\\green64\\blue128;}\\cf1 x\\par}");
}

TEST(ViewMarks, WithoutMarksOrTheirValuesNothingChanges) {
  const std::string rtf =
      "{\\rtf1{\\colortbl ;\\red220\\green221\\blue217;}\\sl373\\slmult1\\cf1 x\\par}";
  EXPECT_EQ(without_view_marks(rtf, {}), rtf);
  EXPECT_EQ(without_view_marks(rtf, {marked_spacing(15), true}), rtf)
      << "a colour one away and a spacing one twip away are the author's";
  // A chapter that never had a colour table.
  EXPECT_EQ(without_view_marks("{\\rtf1 \\sl372\\slmult1 a\\par}", {372, true}), "{\\rtf1 a\\par}");
}

}  // namespace
}  // namespace folivra
