#include <utility>

#include "book/book_file.h"
#include "book/file_io.h"

namespace folivra {

ReadStatus read_book(const std::filesystem::path& path, std::string_view password, Book& book) {
  std::string bytes;
  if (!read_whole_file(path, bytes)) return ReadStatus::cannot_open;
  return parse_book(std::move(bytes), password, book);
}

}  // namespace folivra
