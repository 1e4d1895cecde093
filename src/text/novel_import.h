#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "book/book.h"
#include "text/text_import.h"
#include "text/text_rtf.h"

namespace folivra {

// The largest text file taken in (a novel of ten million characters is a
// tenth of it), so that an import never holds gigabytes.
inline constexpr uint64_t kMaxNovelBytes = 256u << 20;

// Whether bytes in `encoding` are no text at all: a NUL character (a
// picture, a program, a file of zeros), which no chapter could keep.
bool looks_binary(std::string_view bytes, TextEncoding encoding);

// Chapters ready for a book: GBK names, RTF contents in `font`.
struct ImportedChapters {
  std::vector<Chapter> chapters;
  size_t names_replaced = 0;  // characters of names GBK could not hold
  size_t lines_split = 0;     // lines longer than a control takes, made several
};
ImportedChapters chapters_of(const std::vector<TextChapter>& found, const RtfFont& font);

// The lines of a whole text as one chapter's, blank lines at both ends dropped.
TextChapter whole_text_chapter(std::u16string name, std::u16string_view text);

// Names in natural order: runs of digits compare by their value, so that
// "第2章" comes before "第10章".
bool natural_less(std::u16string_view a, std::u16string_view b);

}  // namespace folivra
