#include <cstdint>

#include "book/block_codec.h"
#include "book/book_encoding.h"
#include "book/book_file.h"
#include "book/book_time.h"
#include "book/byte_buffer.h"
#include "book/field_cipher.h"
#include "book/le_bytes.h"

namespace folivra {

namespace {

void put_int32(ByteBuffer& out, uint32_t value) {
  char b[4];
  store_le32(b, value);
  out.append({b, 4});
}

void put_double(ByteBuffer& out, double value) {
  std::string b;
  append_double(b, value);
  out.append(b);
}

void put_item(ByteBuffer& out, std::string_view plain) {
  const std::string block = compress_block(plain);
  put_int32(out, static_cast<uint32_t>(block.size()));
  out.append(block);
}

uint32_t flags_for(const Book& book) {
  return book.password.empty() ? book.flags & ~kFlagProtected : book.flags | kFlagProtected;
}

}  // namespace

// Encodes without touching the book, so a failed save can leave it as it was.
std::string encode_book(const Book& book, double now) {
  const std::string& key = book.password;
  auto field = [&](const std::string& plain) {
    return key.empty() ? plain : encrypt_field(plain, key);
  };
  ByteBuffer out;
  out.append("ZQB");
  put_double(out, 1.0);
  put_int32(out, flags_for(book));
  if (!key.empty()) {
    out.append(password_check_value(key));
    put_item(out, book.password_hint);
  }
  put_item(out, field(book.title));
  put_item(out, field(book.author));
  put_item(out, field(book.book_type));
  put_double(out, now);
  put_item(out, field(book.intro));
  put_item(out, field(book.cover));
  put_int32(out, static_cast<uint32_t>(book.chapters.size()));
  for (const Chapter& chapter : book.chapters) {
    put_int32(out, static_cast<uint32_t>(chapter.kind));
    put_item(out, field(chapter.name));
    put_item(out, field(chapter.content));
  }
  return out.take();
}

void bring_in_line(Book& book) {
  book.flags = flags_for(book);
  book.chapter_count = static_cast<int32_t>(book.chapters.size());
}

std::string write_book_image(Book& book) {
  bring_in_line(book);
  return encode_book(book, current_date_time());
}

}  // namespace folivra
