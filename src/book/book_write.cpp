#include <utility>

#include "book/book_encoding.h"
#include "book/book_file.h"
#include "book/book_time.h"
#include "book/file_io.h"

namespace folivra {

int write_book(const std::filesystem::path& path, Book& book, const WriteOptions& options) {
  EncodedItems items;
  std::string image = encode_book(book, current_date_time(), 0x7FFFFFFF, &items);
  if (image.empty() || !replace_file_contents(path, image, options.keep_backup)) return -1;
  bring_in_line(book);
  adopt_image(book, std::move(image), items);
  return 0;
}

}  // namespace folivra
