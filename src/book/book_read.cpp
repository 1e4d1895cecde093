#include <utility>

#include "book/book_file.h"
#include "book/file_io.h"

namespace folivra {

ReadStatus read_book(const std::filesystem::path& path, std::string_view password, Book& book,
                     ReadReport* report, const ReadOptions& options) {
  std::string bytes;
  const ReadStatus status = read_book_file(path, bytes);
  if (status != ReadStatus::ok) return status;
  return parse_book(std::move(bytes), password, book, nullptr, report, options);
}

ReadStatus read_book_file(const std::filesystem::path& path, std::string& bytes) {
  switch (read_file_checked(path, "ZQB", kMaxBookFileSize, bytes)) {
    case FileCheck::ok:
      return ReadStatus::ok;
    case FileCheck::cannot_open:
      return ReadStatus::cannot_open;
    case FileCheck::wrong_start:
    case FileCheck::too_large:
      return ReadStatus::format_error;
  }
  return ReadStatus::cannot_open;
}

}  // namespace folivra
