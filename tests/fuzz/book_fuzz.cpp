// libFuzzer target: the book reader and the block codec on arbitrary bytes.
// Beyond not crashing, a book that reads must survive being written and
// read again unchanged.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "book/block_codec.h"
#include "book/book_file.h"

using namespace folivra;

namespace {

bool same_content(const Book& a, const Book& b) {
  if (a.title != b.title || a.author != b.author || a.book_type != b.book_type ||
      a.intro != b.intro || a.cover != b.cover || a.password_hint != b.password_hint ||
      a.chapters.size() != b.chapters.size()) {
    return false;
  }
  for (size_t i = 0; i < a.chapters.size(); ++i) {
    if (a.chapters[i].kind != b.chapters[i].kind || a.chapters[i].name != b.chapters[i].name ||
        a.chapters[i].content != b.chapters[i].content) {
      return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string plain = decompress_block(bytes);
  if (!plain.empty() && decompress_block(compress_block(plain)) != plain) std::abort();

  peek_book_lock(bytes);
  Book book;
  if (parse_book(bytes, "pw", book) != ReadStatus::ok) return 0;
  Book copy = book;
  const std::string image = write_book_image(copy);
  Book again;
  if (parse_book(image, book.password, again) != ReadStatus::ok) std::abort();
  if (!same_content(book, again)) std::abort();
  return 0;
}
