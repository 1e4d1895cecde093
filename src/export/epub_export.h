#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "book/book.h"
#include "export/zip_archive.h"

namespace folivra {

// The book as an EPUB 3 publication: title, author, language zh, the
// introduction as its description, the cover (JPEG, PNG or GIF) as its cover
// image, a table of contents, and one XHTML file per chapter whose
// paragraphs keep bold, italic and underline. Empty when it cannot be a ZIP.
std::string book_epub(const Book& book);

// The same written as it goes, for a book read a few chapters at a time:
// the publication's fixed files, each batch of chapters in order, then the
// files that list them (which need only the chapters' names, kept here).
// False once writing failed or the publication cannot be a ZIP.
class EpubWriter {
 public:
  explicit EpubWriter(std::function<bool(std::string_view)> write);
  bool begin();
  bool add_chapters(std::span<const Chapter> chapters);
  bool finish(const Book& book);

 private:
  ZipWriter zip_;
  std::vector<std::string> names_;  // as the pages and the contents show them
  std::vector<bool> volumes_;       // which of them are volumes
};

// A ZIP without ZIP64 holds 65,535 files; six are the publication's own.
inline constexpr size_t kMaxEpubChapters = 65535 - 6;

}  // namespace folivra
