#pragma once

#include "book/book.h"

namespace folivra {

// How the content editor may show a chapter. Only an editable chapter ever
// takes the editor's text back; the others are shown read-only, a damaged
// one empty, so that nothing the user did not type replaces what is stored.
enum class ChapterLook {
  editable,   // a text chapter (kind 1) of RTF or plain text
  read_only,  // another kind: shown as it is, never stored into
  damaged,    // stored bytes that do not decode, or RTF no control can take
};

ChapterLook chapter_look(const Chapter& chapter);

// The content as far as a control is given it: up to the first NUL.
std::string_view shown_content(const Chapter& chapter);

}  // namespace folivra
