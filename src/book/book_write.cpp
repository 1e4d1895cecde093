#include "book/book_encoding.h"
#include "book/book_file.h"
#include "book/book_time.h"
#include "book/file_io.h"

namespace folivra {

int write_book(const std::filesystem::path& path, Book& book, const WriteOptions& options) {
  const std::string image = encode_book(book, current_date_time());
  if (image.empty() || !replace_file_contents(path, image, options.keep_backup)) return -1;
  bring_in_line(book);
  return 0;
}

}  // namespace folivra
