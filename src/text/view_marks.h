#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace folivra {

// What the editor lays over a chapter only while showing it: the writing
// view's line spacing, and the colours of a dark page. Both are values no
// author writes, so that the RTF the control gives back is cleared of them
// exactly.
struct ViewMarks {
  int spacing = 0;     // \slN\slmult1 laid over every paragraph (0: none)
  bool night = false;  // the colours were turned for a dark page
};

// On a dark page, text in the automatic colour is shown in this one.
inline constexpr uint8_t kNightRed = 0xDC, kNightGreen = 0xDD, kNightBlue = 0xD8;

// The line spacing (in tenths of a line, 11 to 20) as the marked \sl value:
// one twentieth of a line more than asked, in twips.
int marked_spacing(int tenths);

// For a dark page: every colour of the colour table turned to its opposite
// (dark text light, light highlights dark), and text in the automatic
// colour given the night colour.
std::string with_night_colours(std::string_view rtf);

// `rtf` without the marks: the spacing words go (the paragraphs are single
// spaced again); after a dark page the colours are turned back and the
// night colour is the automatic colour again (it leaves the table, the
// colour numbers behind it closing up).
std::string without_view_marks(std::string_view rtf, const ViewMarks& marks);

}  // namespace folivra
