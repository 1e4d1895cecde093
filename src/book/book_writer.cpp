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

void put_block(ByteBuffer& out, std::string_view block) {
  put_int32(out, static_cast<uint32_t>(block.size()));
  out.append(block);
}

void put_item(ByteBuffer& out, std::string_view plain) { put_block(out, compress_block(plain)); }

uint32_t flags_for(const Book& book) {
  return book.password.empty() ? book.flags & ~kFlagProtected : book.flags | kFlagProtected;
}

}  // namespace

// Encodes without touching the book, so a failed save can leave it as it was.
// An item that could not be read is written back as it was stored while the
// field holds nothing else.
std::string encode_book(const Book& book, double now, size_t max_size) {
  const std::string& key = book.password;
  ByteBuffer out;
  auto item = [&](const std::string& plain, const std::string& kept, bool encrypted = true) {
    if (plain.empty() && !kept.empty()) {
      put_block(out, kept);
    } else {
      put_item(out, key.empty() || !encrypted ? plain : encrypt_field(plain, key));
    }
  };
  out.append("ZQB");
  put_double(out, 1.0);
  put_int32(out, flags_for(book));
  if (!key.empty()) {
    out.append(password_check_value(key));
    item(book.password_hint, book.kept.hint, false);
  }
  item(book.title, book.kept.title);
  item(book.author, book.kept.author);
  item(book.book_type, book.kept.book_type);
  put_double(out, now);
  item(book.intro, book.kept.intro);
  item(book.cover, book.kept.cover);
  put_int32(out, static_cast<uint32_t>(book.chapters.size()));
  for (const Chapter& chapter : book.chapters) {
    put_int32(out, static_cast<uint32_t>(chapter.kind));
    item(chapter.name, chapter.kept_name);
    item(chapter.content, chapter.kept_content);
    // Positions are 32-bit: stop as soon as the image cannot be read back.
    if (out.size() > max_size) return {};
  }
  if (out.size() > max_size) return {};
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
