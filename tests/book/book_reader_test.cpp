#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "book/block_codec.h"
#include "book/book_file.h"
#include "book/le_bytes.h"
#include "book/test_books.h"

namespace folivra {
namespace {

using test::kEmptyItem;

ReadStatus parse(const std::string& bytes, Book& book, std::string_view password = {}) {
  return parse_book(bytes, password, book);
}

std::string item(std::string_view plain) {
  const std::string block = compress_block(plain);
  std::string out;
  append_le32(out, static_cast<uint32_t>(block.size()));
  return out + block;
}

// The head of an unprotected book: magic, version, flags, items, time, items.
std::string head(double version = 1.0, double time = 43000.5) {
  std::string out = "ZQB";
  append_double(out, version);
  append_le32(out, 0);
  out += item("title") + item("author") + item("type");
  append_double(out, time);
  out += item("intro") + item("");
  return out;
}

std::string chapter(int32_t kind, std::string_view name, std::string_view content) {
  std::string out;
  append_le32(out, static_cast<uint32_t>(kind));
  return out + item(name) + item(content);
}

std::string with_count(int32_t count) {
  std::string out = head();
  append_le32(out, static_cast<uint32_t>(count));
  return out;
}

TEST(BookReader, RoundTripUnprotected) {
  test::TempDir dir;
  Book book = test::sample_book(5);
  ASSERT_EQ(write_book(dir.path("b.zqb"), book), 0);
  Book read;
  ASSERT_EQ(read_book(dir.path("b.zqb"), "", read), ReadStatus::ok);
  test::expect_same_content(book, read);
  EXPECT_EQ(read.format_version, 1.0);
  EXPECT_EQ(read.remarks, "");
  for (int i = 0; i < 5; ++i) EXPECT_EQ(read.chapters[static_cast<size_t>(i)].number, i + 1);
}

TEST(BookReader, RoundTripProtected) {
  test::TempDir dir;
  Book book = test::sample_book(3);
  book.password = "\xC3\xDC\xC2\xEB";  // 密码
  book.password_hint = "\xCC\xE1\xCA\xBE";
  ASSERT_EQ(write_book(dir.path("p.zqb"), book), 0);
  const std::string bytes = test::read_bytes(dir.path("p.zqb"));
  EXPECT_EQ(bytes.find("chapter 1"), std::string::npos);

  Book read;
  ASSERT_EQ(read_book(dir.path("p.zqb"), book.password, read), ReadStatus::ok);
  test::expect_same_content(book, read);

  for (std::string_view wrong : {"", "wrong", "\xC3\xDC"}) {
    Book refused;
    EXPECT_EQ(read_book(dir.path("p.zqb"), wrong, refused), ReadStatus::password_error);
    EXPECT_EQ(refused.title, "") << "nothing after the flag word was read";
    EXPECT_EQ(refused.password, "");
  }
}

TEST(BookReader, PasswordIgnoredForUnprotectedBook) {
  Book book;
  ASSERT_EQ(parse(with_count(0), book, "anything"), ReadStatus::ok);
  EXPECT_EQ(book.password, "");
  EXPECT_EQ(book.password_hint, "");
}

TEST(BookReader, OnlyTheMagicIsAFormatCheck) {
  Book book;
  EXPECT_EQ(parse("", book), ReadStatus::format_error);
  EXPECT_EQ(parse("ZQ", book), ReadStatus::format_error);
  EXPECT_EQ(parse("ZQC" + head().substr(3), book), ReadStatus::format_error);
  EXPECT_EQ(parse("zqb" + head().substr(3), book), ReadStatus::format_error);
  EXPECT_EQ(parse(std::string("ZQ\0", 3), book), ReadStatus::format_error);
}

TEST(BookReader, BareMagicIsAnEmptyBook) {
  Book book;
  ASSERT_EQ(parse("ZQB", book), ReadStatus::ok);
  EXPECT_EQ(book.title, "");
  EXPECT_EQ(book.cover, "");
  EXPECT_EQ(book.chapters.size(), 0u);
  EXPECT_EQ(book.format_version, 0.0);
  EXPECT_EQ(book.flags, 0u);
  EXPECT_EQ(book.time, 0.0);
}

TEST(BookReader, VersionIsKeptNotChecked) {
  Book book;
  ASSERT_EQ(parse(head(2.0) + std::string(4, '\0'), book), ReadStatus::ok);
  EXPECT_EQ(book.format_version, 2.0);
  EXPECT_EQ(book.title, "title");
  EXPECT_EQ(book.time, 43000.5);
  EXPECT_EQ(load_le64(write_book_image(book).data() + 3), 0x3FF0000000000000u)
      << "a later save writes 1.0";
}

TEST(BookReader, KindZeroReadsAsOneOthersKept) {
  Book book;
  const std::string bytes =
      with_count(3) + chapter(0, "a", "x") + chapter(1, "b", "y") + chapter(7, "c", "z");
  ASSERT_EQ(parse(bytes, book), ReadStatus::ok);
  EXPECT_EQ(book.chapters[0].kind, 1);
  EXPECT_EQ(book.chapters[1].kind, 1);
  EXPECT_EQ(book.chapters[2].kind, 7);
  const std::string rewritten = write_book_image(book);
  Book again;
  ASSERT_EQ(parse(rewritten, again), ReadStatus::ok);
  EXPECT_EQ(again.chapters[0].kind, 1) << "written back as 1";
}

TEST(BookReader, TrailingBytesAreNotRead) {
  Book a, b;
  const std::string bytes = with_count(1) + chapter(1, "name", "content");
  ASSERT_EQ(parse(bytes, a), ReadStatus::ok);
  ASSERT_EQ(parse(bytes + "END and more", b), ReadStatus::ok);
  test::expect_same_content(a, b);
}

TEST(BookReader, DamagedItemsGiveEmptyFieldsAndReadingGoesOn) {
  std::string bytes = "ZQB";
  append_double(bytes, 1.0);
  append_le32(bytes, 0);
  std::string damaged = compress_block("title");
  damaged.back() ^= 0x40;  // Adler-32 no longer matches
  append_le32(bytes, static_cast<uint32_t>(damaged.size()));
  bytes += damaged + item("author") + kEmptyItem;
  append_double(bytes, 1.0);
  bytes += kEmptyItem + kEmptyItem;
  append_le32(bytes, 0);
  Book book;
  ASSERT_EQ(parse(bytes, book), ReadStatus::ok);
  EXPECT_EQ(book.title, "");
  EXPECT_EQ(book.author, "author");
}

TEST(BookReader, TextsEndAtTheFirstNul) {
  Book book;
  std::string bytes = "ZQB";
  append_double(bytes, 1.0);
  append_le32(bytes, 0);
  bytes += item(std::string("ti\0tle", 6));
  Book read;
  ASSERT_EQ(parse(bytes, read), ReadStatus::ok);
  EXPECT_EQ(read.title, "ti");
}

TEST(BookReader, ShortFileReadsWhatIsThere) {
  Book book;
  const std::string full = with_count(1) + chapter(1, "n", "c");
  const size_t author_item = 15 + item("title").size();
  ReadReport report;
  ASSERT_EQ(parse_book(full.substr(0, author_item + 6), "", book, nullptr, &report),
            ReadStatus::ok);
  EXPECT_EQ(book.title, "title");
  EXPECT_EQ(book.author, "") << "cut in the middle of the author item";
  EXPECT_EQ(book.chapters.size(), 0u);
  EXPECT_TRUE(report.truncated);
  EXPECT_TRUE(report.damaged.empty()) << "a cut item is lost, not kept";
  EXPECT_TRUE(book.kept.author.empty());
}

TEST(BookReader, NegativeCountsAreFormatErrorsAndCountsBeyondTheFileAreCut) {
  Book book;
  EXPECT_EQ(parse(with_count(-1), book), ReadStatus::format_error);
  EXPECT_EQ(parse(with_count(std::numeric_limits<int32_t>::min()), book), ReadStatus::format_error);
  ReadReport report;
  ASSERT_EQ(parse_book(with_count(0x7FFFFFFF), "", book = Book{}, nullptr, &report),
            ReadStatus::ok);
  EXPECT_TRUE(report.truncated);
  EXPECT_EQ(report.chapters_declared, 0x7FFFFFFF);
  EXPECT_EQ(book.chapters.size(), 0u);
  // Two records of 12 bytes each do not fit in 23 bytes: the first one does.
  ASSERT_EQ(parse_book(with_count(2) + std::string(23, '\0'), "", book = Book{}, nullptr, &report),
            ReadStatus::ok);
  EXPECT_TRUE(report.truncated);
  EXPECT_EQ(report.chapters_read, 1);
  Book fits;
  EXPECT_EQ(parse_book(with_count(2) + std::string(24, '\0'), "", fits, nullptr, &report),
            ReadStatus::ok);
  EXPECT_EQ(fits.chapters.size(), 2u);
  EXPECT_TRUE(report.clean());
}

TEST(BookReader, HostileItemLengthsDoNotWrap) {
  std::string bytes = "ZQB";
  append_double(bytes, 1.0);
  append_le32(bytes, 0);
  append_le32(bytes, 0x7FFFFFF0);  // title claims almost 2 GiB
  bytes += item("author");
  Book book;
  ASSERT_EQ(parse(bytes, book), ReadStatus::ok);
  EXPECT_EQ(book.title, "");
  EXPECT_EQ(book.author, "") << "the reader is past the end, it must not start over";
  EXPECT_EQ(book.chapters.size(), 0u);

  std::string negative = "ZQB";
  append_double(negative, 1.0);
  append_le32(negative, 0);
  append_le32(negative, 0xFFFFFFFF);  // -1: nothing is read
  negative += item("author");
  ASSERT_EQ(parse(negative, book = Book{}), ReadStatus::ok);
  EXPECT_EQ(book.title, "");
}

TEST(BookReader, TimeIsClampedToTheCalendar) {
  const double cases[][2] = {{-700000.0, -657434.0},
                             {3000000.0, 2958465.0},
                             {std::nan(""), 2958465.0},
                             {-657434.0, -657434.0},
                             {45000.25, 45000.25}};
  for (const auto& c : cases) {
    Book book;
    ASSERT_EQ(parse(head(1.0, c[0]) + std::string(4, '\0'), book), ReadStatus::ok);
    EXPECT_EQ(book.time, c[1]) << c[0];
  }
}

TEST(BookReader, MissingFileCannotBeOpened) {
  test::TempDir dir;
  Book book;
  EXPECT_EQ(read_book(dir.path("missing.zqb"), "", book), ReadStatus::cannot_open);
  EXPECT_EQ(read_book(dir.dir(), "", book), ReadStatus::cannot_open) << "a folder";
}

TEST(PeekBookLock, ReadsCheckValueAndHintWithoutThePassword) {
  Book book = test::sample_book(1);
  book.password = "pw";
  book.password_hint = "the usual";
  const BookLock lock = peek_book_lock(write_book_image(book));
  EXPECT_EQ(lock.check_value, "F94BF28D54B2EC0F");
  EXPECT_EQ(lock.hint, "the usual");

  Book plain = test::sample_book(1);
  EXPECT_EQ(peek_book_lock(write_book_image(plain)).check_value, "");
  EXPECT_EQ(peek_book_lock("not a book").check_value, "");
  EXPECT_EQ(peek_book_lock("").check_value, "");
  std::string cut = write_book_image(book).substr(0, 20);
  EXPECT_EQ(peek_book_lock(cut).check_value, cut.substr(15));
}

}  // namespace
}  // namespace folivra
