#include <utility>

#include "book/book_encoding.h"
#include "book/book_file.h"
#include "book/book_time.h"
#include "book/file_io.h"

namespace folivra {

WrittenBook write_book_file(const std::filesystem::path& path, const Book& book,
                            const WriteOptions& options) {
  WrittenBook written;
  written.image =
      encode_book(book, current_date_time(), 0x7FFFFFFF, &written.items, options.progress);
  if (!written.image.empty() && !replace_file_contents(path, written.image, options.keep_backup)) {
    written.image.clear();
  }
  return written;
}

void adopt_written_book(Book& book, WrittenBook written) {
  bring_in_line(book);
  adopt_image(book, std::move(written.image), written.items);
}

int write_book(const std::filesystem::path& path, Book& book, const WriteOptions& options) {
  WrittenBook written = write_book_file(path, book, options);
  if (written.image.empty()) return -1;
  adopt_written_book(book, std::move(written));
  return 0;
}

}  // namespace folivra
