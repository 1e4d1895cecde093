#include <algorithm>
#include <utility>

#include "book/book_file.h"
#include "book/byte_reader.h"
#include "book/field_cipher.h"

namespace folivra {

namespace {

// The smallest chapter record: a kind and two items of length 0.
constexpr int64_t kMinChapterRecord = 12;

class ItemReader {
 public:
  ItemReader(ByteReader& in, std::string_view key) : in_(in), key_(key) {}

  std::string bytes() {
    std::string plain = in_.read_bytes(in_.read_int32(), true);
    return key_.empty() ? plain : decrypt_field(std::move(plain), key_);
  }
  std::string text() { return text_until_nul(bytes()); }

 private:
  ByteReader& in_;
  std::string_view key_;
};

}  // namespace

ReadStatus parse_book(std::string bytes, std::string_view password, Book& book, size_t* consumed) {
  ByteReader in(std::move(bytes));
  if (in.read_text(3) != "ZQB") return ReadStatus::format_error;
  book.format_version = in.read_double();
  book.flags = static_cast<uint32_t>(in.read_int32());
  if (book.flags & kFlagProtected) {
    if (in.read_text(16) != password_check_value(password)) return ReadStatus::password_error;
    book.password = std::string(password);
    book.password_hint = ItemReader(in, {}).text();
  }
  ItemReader item(in, book.password);
  book.title = item.text();
  book.author = item.text();
  book.book_type = item.text();
  book.time = in.read_date_time();
  book.intro = item.text();
  book.cover = item.bytes();

  const int32_t count = in.read_int32();
  const int64_t remaining = std::max<int64_t>(int64_t{in.length()} - in.position(), 0);
  if (count < 0 || count > remaining / kMinChapterRecord) return ReadStatus::format_error;
  book.chapter_count = count;
  book.chapters.assign(static_cast<size_t>(count), Chapter{});
  for (int32_t i = 0; i < count; ++i) {
    Chapter& chapter = book.chapters[static_cast<size_t>(i)];
    chapter.number = i + 1;
    chapter.kind = in.read_int32();
    if (chapter.kind == 0) chapter.kind = 1;
    chapter.name = item.text();
    chapter.content = item.bytes();
  }
  if (consumed) *consumed = static_cast<size_t>(in.position());
  return ReadStatus::ok;
}

BookLock peek_book_lock(std::string_view bytes) {
  ByteReader in{std::string(bytes)};
  if (in.read_text(3) != "ZQB") return {};
  in.read_double();
  if (!(in.read_int32() & kFlagProtected)) return {};
  BookLock lock;
  lock.check_value = in.read_text(16);
  lock.hint = in.read_text(in.read_int32(), true);
  return lock;
}

}  // namespace folivra
