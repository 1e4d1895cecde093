// A compiled reader: the program, the book image, "END".
#include "book/reader_image.h"

#include <gtest/gtest.h>

#include <cstring>

#include "book/book_file.h"
#include "book/le_bytes.h"
#include "book/test_books.h"

namespace folivra {
namespace {

// The smallest thing that looks like a PE executable: headers, then two
// sections whose raw data ends at `end`.
std::string fake_program(uint32_t end) {
  std::string exe(end, '\0');
  exe[0] = 'M';
  exe[1] = 'Z';
  store_le32(exe.data() + 0x3C, 0x80);
  std::memcpy(exe.data() + 0x80, "PE\0\0", 4);
  exe[0x80 + 6] = 2;                               // two sections
  exe[0x80 + 20] = static_cast<char>(240);         // optional header size (PE32+)
  store_le32(exe.data() + 0x80 + 24 + 60, 0x200);  // size of headers
  const size_t table = 0x80 + 24 + 240;
  store_le32(exe.data() + table + 16, 0x100);  // .text: 0x100 bytes at 0x200
  store_le32(exe.data() + table + 20, 0x200);
  store_le32(exe.data() + table + 40 + 16, end - 0x300);  // .data up to `end`
  store_le32(exe.data() + table + 40 + 20, 0x300);
  return exe;
}

TEST(ReaderImage, PeImageEndIsTheLastSection) {
  EXPECT_EQ(pe_image_end(fake_program(0x1000)), 0x1000u);
  EXPECT_EQ(pe_image_end(fake_program(0x1000) + "appended"), 0x1000u);
  EXPECT_EQ(pe_image_end("not a program"), 0u);
  std::string cut = fake_program(0x1000).substr(0, 0x500);
  EXPECT_EQ(pe_image_end(cut), 0u) << "sections that run past the file";
}

TEST(ReaderImage, ProgramThenBookThenEnd) {
  const std::string reader = fake_program(0x1000);
  Book book = test::sample_book(3);
  book.chapter_count = 0;
  const std::string exe = reader_executable(reader, book);
  EXPECT_EQ(book.chapter_count, 3) << "as writing the book would";
  EXPECT_EQ(exe.substr(0, reader.size()), reader);
  EXPECT_EQ(exe.substr(exe.size() - 3), "END");

  const std::string image = exe.substr(reader.size(), exe.size() - reader.size() - 3);
  Book copy = book;
  const std::string file_image = write_book_image(copy);
  ASSERT_EQ(image.size(), file_image.size()) << "exactly a book file";
  EXPECT_EQ(exe.size(), reader.size() + file_image.size() + 3);
  Book read;
  ASSERT_EQ(parse_book(image, "", read), ReadStatus::ok);
  test::expect_same_content(book, read);
}

TEST(ReaderImage, ImageComesBackOut) {
  const std::string reader = fake_program(0x1000);
  for (const char* password : {"", "pw"}) {
    Book book = test::sample_book(2);
    book.password = password;
    book.password_hint = "hint";
    const std::string exe = reader_executable(reader, book);
    const auto image = book_image_of(exe);
    ASSERT_TRUE(image) << password;
    EXPECT_EQ(*image, exe.substr(reader.size(), exe.size() - reader.size() - 3));
    Book read;
    EXPECT_EQ(parse_book(*image, password, read), ReadStatus::ok);
  }
}

TEST(ReaderImage, NoImageOrNoEnd) {
  const std::string reader = fake_program(0x1000);
  EXPECT_FALSE(book_image_of(reader)) << "a program that carries nothing";
  Book book = test::sample_book(1);
  std::string exe = reader_executable(reader, book);
  EXPECT_FALSE(book_image_of(exe.substr(0, exe.size() - 1))) << "END cut off";
  EXPECT_FALSE(book_image_of("plain text"));
}

}  // namespace
}  // namespace folivra
