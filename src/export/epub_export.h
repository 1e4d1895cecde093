#pragma once

#include <string>

#include "book/book.h"

namespace folivra {

// The book as an EPUB 3 publication: title, author, language zh, the
// introduction as its description, the cover (JPEG, PNG or GIF) as its cover
// image, a table of contents, and one XHTML file per chapter whose
// paragraphs keep bold, italic and underline. Empty when it cannot be a ZIP.
std::string book_epub(const Book& book);

// A ZIP without ZIP64 holds 65,535 files; six are the publication's own.
inline constexpr size_t kMaxEpubChapters = 65535 - 6;

}  // namespace folivra
