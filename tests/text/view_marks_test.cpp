// The writing view's spacing and a dark page's colours, laid over a chapter
// while it is shown, come off the RTF the control gives back and nothing
// else does.
#include "text/view_marks.h"

#include <gtest/gtest.h>

#include "text/plain_text.h"

namespace folivra {
namespace {

TEST(ViewMarks, TheSpacingComesOffAndTheAuthorsOwnStays) {
  const ViewMarks marks{marked_spacing(15), false};
  EXPECT_EQ(marks.spacing, 372);
  const std::string shown =
      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil SimSun;}}\r\n"
      "\\pard\\sl372\\slmult1\\f0\\fs24 plain \\b bold\\b0\\par\r\n"
      "\\pard\\sl-372\\slmult1\\qc centred\\par\r\n"
      "\\pard\\sl360\\slmult1 the author's own 1.5\\par\r\n\\sl373\\slmult1 x}";
  EXPECT_EQ(without_view_marks(shown, marks),
            "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil SimSun;}}\r\n"
            "\\pard\\f0\\fs24 plain \\b bold\\b0\\par\r\n"
            "\\pard\\qc centred\\par\r\n"
            "\\pard\\sl360\\slmult1 the author's own 1.5\\par\r\n\\sl373\\slmult1 x}");
  EXPECT_EQ(without_view_marks(shown, {}), shown);
}

TEST(ViewMarks, NightColoursAreTurnedAndTurnedBack) {
  const std::string day =
      "{\\rtf1\\ansi{\\colortbl ;\\red200\\green0\\blue0;\\red255\\green255\\blue0;}"
      "plain \\cf1 red\\cf0  again \\highlight2 marked\\highlight0 \\plain after\\par}";
  const std::string night = with_night_colours(day);
  EXPECT_EQ(
      night,
      "{\\rtf1\\ansi{\\colortbl ;\\red55\\green255\\blue255;\\red0\\green0\\blue255;"
      "\\red220\\green221\\blue216;}\\cf3 "
      "plain \\cf1 red\\cf3  again \\highlight2 marked\\highlight0 \\plain \\cf3 after\\par}");
  EXPECT_EQ(chapter_text16(night), chapter_text16(day));
  // As the control might write it back: the night colour first in its table.
  const std::string written =
      "{\\rtf1\\ansi{\\colortbl ;\\red220\\green221\\blue216;\\red55\\green255\\blue255;"
      "\\red0\\green0\\blue255;}\r\n\\cf1 plain \\cf2 red\\cf1  again \\highlight3 marked\\par}";
  EXPECT_EQ(without_view_marks(written, {0, true}),
            "{\\rtf1\\ansi{\\colortbl ;\\red200\\green0\\blue0;\\red255\\green255\\blue0;}\r\n"
            "\\cf0 plain \\cf1 red\\cf0  again \\highlight2 marked\\par}");
}

TEST(ViewMarks, AChapterWithoutColoursGetsATableOnlyAtNight) {
  const std::string day = "{\\rtf1\\ansi text\\par}";
  const std::string night = with_night_colours(day);
  EXPECT_EQ(night, "{\\rtf1{\\colortbl ;\\red220\\green221\\blue216;}\\cf1 \\ansi text\\par}");
  EXPECT_EQ(without_view_marks(night, {0, true}), "{\\rtf1{\\colortbl ;}\\cf0 \\ansi text\\par}");
  EXPECT_EQ(chapter_text16(without_view_marks(night, {0, true})), u"text");
}

TEST(ViewMarks, OnlyAGroupOfItsOwnIsTheColourTable) {
  // \colortbl in the middle of the document (a damaged file) is no table:
  // nothing is inverted or added inside the text.
  const std::string odd = "{\\rtf1\\ansi [\\colortbl\\red0\\green0\\blue0; text\\plain  more}";
  const std::string night = with_night_colours(odd);
  EXPECT_EQ(chapter_text16(night), chapter_text16(odd));
  EXPECT_EQ(chapter_text16(without_view_marks(night, {0, true})), chapter_text16(odd));
}

}  // namespace
}  // namespace folivra
