#pragma once

#include <cstdint>

#include "book/book.h"

namespace folivra {

// How the content editor may show a chapter. Only an editable chapter ever
// takes the editor's text back; the others are shown read-only, a damaged
// one empty, so that nothing the user did not type replaces what is stored.
enum class ChapterLook {
  editable,    // a text chapter (kind 1) of RTF or plain text
  read_only,   // another kind: shown as it is, never stored into
  damaged,     // stored bytes that do not decode, or RTF no control can take
  too_long,    // more paragraphs or characters than a control lays out in a second or two
  too_deep,    // sound RTF nested deeper than a control takes
  odd_tables,  // sound RTF with a nested table the control fails on
};

// Under Wine 20,000 short paragraphs take a quarter of a second, 40,000 take
// seconds: past this a chapter is shown as the start of its text, read-only.
inline constexpr size_t kMaxShownParagraphs = 30000;
// A million characters take it a second; past this a chapter is shown as
// the start of its text, read-only.
inline constexpr size_t kMaxShownCharacters = 1500000;
// Wine's control lays out a paragraph in time that grows with the square of
// its length (2,000 characters of Chinese take it 22 ms, 16,000 730 ms): a
// chapter whose paragraphs' squared lengths add up to more than this takes
// it longer than a second or two.
inline constexpr uint64_t kMaxControlLayout = 600'000'000;

ChapterLook chapter_look(const Chapter& chapter);
// Whether it looks damaged: the first question chapter_look asks, and the
// only one a book's damage report needs answered for every chapter.
bool chapter_damaged(const Chapter& chapter);

// The content as far as a control is given it: up to the first NUL.
std::string_view shown_content(const Chapter& chapter);

// Whether a chapter is shown as its plain text from our own reading of it,
// read-only, instead of being given to the control.
bool shown_as_text(ChapterLook look);

// For a chapter shown as text: the start of its text as plain text (RTF),
// long paragraphs in pieces, within each of the bounds above, after a line
// that says why. The chapter stays as stored.
std::string text_preview(const Chapter& chapter, ChapterLook look);

}  // namespace folivra
