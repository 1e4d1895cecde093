#include "export/reader_image.h"

#include <algorithm>

#include "book/book_file.h"
#include "book/le_bytes.h"

namespace folivra {

namespace {

constexpr std::string_view kEndMarker = "END";

uint32_t u32_at(std::string_view bytes, size_t offset) {
  return offset + 4 <= bytes.size() ? load_le32(bytes.data() + offset) : 0;
}

}  // namespace

std::string reader_executable(std::string_view reader, Book& book) {
  std::string out(reader);
  out += write_book_image(book);
  out += kEndMarker;
  return out;
}

std::optional<std::string> book_image_of(std::string_view exe) {
  const size_t start = pe_image_end(exe);
  if (start == 0 || exe.substr(start, 3) != "ZQB") return std::nullopt;
  std::string image(exe.substr(start));
  Book book;
  size_t end = 0;
  // The password is not needed to find the end: a wrong one stops before the
  // fields, so measure with an unprotected reading of the layout instead.
  const BookLock lock = peek_book_lock(image);
  if (!lock.check_value.empty()) {
    // Protected fields are read as bytes without decrypting: only their lengths matter.
    std::string as_plain = image;
    as_plain[11] = static_cast<char>(as_plain[11] & ~1);
    const size_t hint_length = 4 + u32_at(image, 31);
    as_plain.erase(15, 16 + hint_length);
    if (parse_book(as_plain, "", book, &end) != ReadStatus::ok) return std::nullopt;
    end += 16 + hint_length;
  } else if (parse_book(image, "", book, &end) != ReadStatus::ok) {
    return std::nullopt;
  }
  if (end > image.size() || image.substr(end, 3) != kEndMarker) return std::nullopt;
  image.resize(end);
  return image;
}

}  // namespace folivra
