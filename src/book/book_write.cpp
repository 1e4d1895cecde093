#include <utility>

#include "book/book_encoding.h"
#include "book/book_file.h"
#include "book/book_time.h"
#include "book/file_io.h"
#include "book/read_report.h"

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

bool book_reads_back(const Book& book) {
  size_t decoded = book.title.size() + book.author.size() + book.book_type.size() +
                   book.intro.size() + book.cover.size() + book.password_hint.size();
  for (const Chapter& c : book.chapters) decoded += c.name.size() + c.content.size();
  if (decoded <= decoded_budget(0)) return true;
  const std::string image = encode_book(book, 0.0, 0x7FFFFFFF, nullptr, {});
  return !image.empty() && decoded <= decoded_budget(image.size());
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
