#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace folivra {

// What the editor lays over a chapter only while showing it (the writing
// view's line spacing, light text on a dark page): values no author writes,
// so that the RTF the control gives back is cleared of them exactly.
struct ViewMarks {
  int spacing = 0;        // \slN\slmult1 of every paragraph laid over (0: none)
  bool colour = false;    // text in the marked colour was in `original` before
  int32_t original = -1;  // 0x00BBGGRR, or -1: the automatic colour
};
inline constexpr uint8_t kViewRed = 0xDC, kViewGreen = 0xDD, kViewBlue = 0xD8;

// The line spacing (in tenths of a line, 11 to 20) as the marked \sl value:
// one twentieth of a line more than asked, in twips.
int marked_spacing(int tenths);

// `rtf` without the marks: the spacing words go (the paragraphs are single
// spaced again) and the marked colour becomes the original one again (an
// automatic colour leaves the colour table, the numbers behind it closing up).
std::string without_view_marks(std::string_view rtf, const ViewMarks& marks);

}  // namespace folivra
