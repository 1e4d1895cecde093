// The exact bytes the writer produces.
#include <gtest/gtest.h>

#include "book/block_codec.h"
#include "book/book_file.h"
#include "book/field_cipher.h"
#include "book/le_bytes.h"
#include "book/test_books.h"

namespace folivra {
namespace {

using test::kEmptyItem;

std::string without_time(std::string image, size_t time_offset) {
  image.replace(time_offset, 8, 8, 'T');
  return image;
}

Book one_empty_chapter() {
  Book book;
  book.chapters.push_back(Chapter{});
  return book;
}

TEST(BookLayout, EmptyItemIsTwelveBytesProtectedOrNot) {
  EXPECT_EQ(kEmptyItem.size(), 12u);
  Book plain;
  const std::string image = write_book_image(plain);
  EXPECT_EQ(image.substr(15, 12), kEmptyItem);
  EXPECT_EQ(compress_block(encrypt_field("", "pw")), kEmptyItem.substr(4));
}

TEST(BookLayout, UnprotectedBookOfOneEmptyChapterIs115Bytes) {
  Book book = one_empty_chapter();
  const std::string image = write_book_image(book);
  ASSERT_EQ(image.size(), 115u);
  std::string expected =
      std::string("ZQB") + std::string("\0\0\0\0\0\0\xF0\x3F", 8) + std::string(4, '\0') +
      kEmptyItem + kEmptyItem + kEmptyItem + std::string(8, 'T') + kEmptyItem + kEmptyItem +
      std::string("\x01\0\0\0", 4) + std::string("\x01\0\0\0", 4) + kEmptyItem + kEmptyItem;
  EXPECT_EQ(test::hex(without_time(image, 51)), test::hex(expected));
  EXPECT_EQ(book.chapter_count, 1);
}

TEST(BookLayout, ProtectedBookOfOneEmptyChapterIs143Bytes) {
  Book book = one_empty_chapter();
  book.password = "secret";
  const std::string image = write_book_image(book);
  ASSERT_EQ(image.size(), 143u);
  EXPECT_EQ(image.substr(11, 4), std::string("\x01\0\0\0", 4));
  EXPECT_EQ(image.substr(15, 16), password_check_value("secret"));
  EXPECT_EQ(image.substr(31, 12), kEmptyItem) << "empty hint";
  Book plain = one_empty_chapter();
  const std::string plain_image = write_book_image(plain);
  EXPECT_EQ(without_time(image, 79).substr(43), without_time(plain_image, 51).substr(15))
      << "everything after the hint is the unprotected layout, 28 bytes on";
}

TEST(BookLayout, TitleOffsets) {
  Book book;
  book.title = "T";
  std::string image = write_book_image(book);
  EXPECT_EQ(decompress_block(image.substr(19, load_le32(image.data() + 15))), "T");

  book.password = "pw";
  book.password_hint = "a hint that takes some room";
  image = write_book_image(book);
  const uint32_t hint_block = load_le32(image.data() + 31);
  EXPECT_EQ(decompress_block(image.substr(35, hint_block)), book.password_hint)
      << "the hint is compressed but never encrypted";
  const size_t title = 31 + 4 + hint_block;
  const std::string stored =
      decompress_block(image.substr(title + 4, load_le32(image.data() + title)));
  EXPECT_EQ(decrypt_field(stored, "pw"), "T");
}

TEST(BookLayout, FlagsFollowThePassword) {
  Book book;
  book.flags = 0x81;  // bit 0 set but no password
  std::string image = write_book_image(book);
  EXPECT_EQ(load_le32(image.data() + 11), 0x80u);
  EXPECT_EQ(book.flags, 0x80u) << "the write clears the in-memory bit too";

  book.password = "pw";
  image = write_book_image(book);
  EXPECT_EQ(load_le32(image.data() + 11), 0x81u);
  EXPECT_EQ(book.flags, 0x81u);
}

TEST(BookLayout, ChapterCountComesFromTheList) {
  Book book = test::sample_book(4);
  book.chapter_count = 99;
  write_book_image(book);
  EXPECT_EQ(book.chapter_count, 4);
}

TEST(BookLayout, FileEqualsImageExceptTheTime) {
  test::TempDir dir;
  Book book = test::sample_book();
  const std::string image = write_book_image(book);
  ASSERT_EQ(write_book(dir.path("a.zqb"), book), 0);
  ASSERT_EQ(write_book(dir.path("b.zqb"), book), 0);
  const std::string a = test::read_bytes(dir.path("a.zqb"));
  const std::string b = test::read_bytes(dir.path("b.zqb"));
  ASSERT_EQ(a.size(), image.size());
  // Unprotected: the time follows magic, version, flags and three items.
  size_t time = 15;
  for (int item = 0; item < 3; ++item) time += 4 + load_le32(a.data() + time);
  EXPECT_EQ(without_time(a, time), without_time(image, time));
  EXPECT_EQ(without_time(a, time), without_time(b, time));
}

}  // namespace
}  // namespace folivra
