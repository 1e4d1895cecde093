// Damaged items, cut files, bombs and files that are no books: what can be
// read is read, what cannot is kept, nothing takes the memory of the machine.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "book/block_codec.h"
#include "book/book_encoding.h"
#include "book/book_file.h"
#include "book/le_bytes.h"
#include "book/test_books.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace folivra {
namespace {

using test::Layout;
using test::layout_of;
using test::spoil;
using test::stored_item;

TEST(DamagedItems, AreReportedKeptAndWrittenBackByteForByte) {
  for (const std::string password : {"", "\xC3\xDC\xC2\xEB"}) {
    Book book = test::sample_book(3);
    book.password = password;
    std::string image = write_book_image(book);
    const Layout layout = layout_of(image);
    const size_t title = layout.items[password.empty() ? 0 : 1];
    const size_t content2 = layout.items[layout.items.size() - 3];
    spoil(image, title);
    spoil(image, content2);

    Book read;
    ReadReport report;
    ASSERT_EQ(parse_book(image, password, read, nullptr, &report), ReadStatus::ok);
    ASSERT_EQ(report.damaged.size(), 2u);
    EXPECT_EQ(report.damaged[0].field, ItemField::title);
    EXPECT_EQ(report.damaged[1].field, ItemField::content);
    EXPECT_EQ(report.damaged[1].chapter, 2);
    EXPECT_EQ(read.title, "") << "a damaged item reads as empty";
    EXPECT_EQ(read.chapters[1].content, "");
    EXPECT_EQ(read.chapters[0].content, book.chapters[0].content);

    // Saved again (as the editor does, whatever else changed), the damaged
    // items are the stored bytes of the original file.
    read.author = "someone else";
    const std::string again = write_book_image(read);
    const Layout again_layout = layout_of(again);
    EXPECT_EQ(stored_item(again, again_layout.items[password.empty() ? 0 : 1]),
              stored_item(image, title));
    EXPECT_EQ(stored_item(again, again_layout.items[again_layout.items.size() - 3]),
              stored_item(image, content2));
    Book reread;
    ReadReport second;
    ASSERT_EQ(parse_book(again, password, reread, nullptr, &second), ReadStatus::ok);
    EXPECT_EQ(second.damaged.size(), 2u);
    EXPECT_EQ(reread.author, "someone else");

    // Once the user writes the chapter anew, the new text is stored.
    read.chapters[1].content = "{\\rtf1 new}";
    Book replaced;
    ASSERT_EQ(parse_book(write_book_image(read), password, replaced, nullptr, &second),
              ReadStatus::ok);
    EXPECT_EQ(replaced.chapters[1].content, "{\\rtf1 new}");
    EXPECT_EQ(second.damaged.size(), 1u) << "only the title is still damaged";
  }
}

TEST(TruncatedBooks, SalvageExactlyTheCompleteChapters) {
  for (const std::string password : {"", "pw"}) {
    Book book = test::sample_book(4);
    book.password = password;
    const std::string image = write_book_image(book);
    const Layout layout = layout_of(image);
    // The chapter count ends where the first chapter's kind begins.
    const size_t header_end = layout.items[password.empty() ? 5 : 6] - 4;
    for (size_t cut = 3; cut <= image.size(); ++cut) {
      Book read;
      ReadReport report;
      // Once the flag word says "protected", a cut check value cannot match.
      const bool locked_out = !password.empty() && cut >= 12 && cut < 31;
      ASSERT_EQ(parse_book(image.substr(0, cut), password, read, nullptr, &report),
                locked_out ? ReadStatus::password_error : ReadStatus::ok)
          << cut;
      if (locked_out) continue;
      size_t complete = 0;
      while (complete < 4 && layout.chapter_ends[complete] <= cut) ++complete;
      ASSERT_EQ(read.chapters.size(), complete) << cut;
      EXPECT_EQ(report.truncated, cut < image.size()) << cut;
      EXPECT_TRUE(report.damaged.empty()) << "a cut is not damage: " << cut;
      if (cut >= header_end) {
        EXPECT_EQ(report.chapters_declared, 4) << cut;
        EXPECT_EQ(read.title, book.title) << cut;
      }
      for (size_t i = 0; i < complete; ++i) {
        EXPECT_EQ(read.chapters[i].name, book.chapters[i].name);
        EXPECT_EQ(read.chapters[i].content, book.chapters[i].content);
      }
    }
  }
}

TEST(HostileFiles, ADecompressionBombStaysWithinTheBudget) {
  // One block of 64 MB of zeros, stored again and again: a 1 MB file that
  // would decode to a gigabyte.
  const std::string block = compress_block(std::string(size_t{64} << 20, '\0'));
  Book bomb;
  for (int i = 0; i < 16; ++i) {
    Chapter chapter;
    chapter.kept_content = block;  // written as it is
    bomb.chapters.push_back(chapter);
  }
  const std::string image = write_book_image(bomb);
  ASSERT_LT(image.size(), size_t{2} << 20);

  const auto start = std::chrono::steady_clock::now();
  Book read;
  ReadReport report;
  ASSERT_EQ(parse_book(image, "", read, nullptr, &report), ReadStatus::ok);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  size_t decoded = 0;
  for (const Chapter& chapter : read.chapters) decoded += chapter.content.size();
  EXPECT_LE(decoded, decoded_budget(image.size()));
  EXPECT_LE(decoded_budget(image.size()), size_t{100} << 20);
  EXPECT_EQ(read.chapters.size(), 16u);
  ASSERT_FALSE(report.damaged.empty());
  EXPECT_TRUE(report.damaged.back().over_budget);
  EXPECT_EQ(read.chapters.back().kept_content, block) << "kept to be written back";
  std::cout << "bomb of " << image.size() << " bytes read in " << seconds << " s, " << decoded
            << " bytes decoded\n";
}

TEST(HostileFiles, AreRefusedBeforeTheyAreRead) {
  test::TempDir dir;
  const auto huge = dir.path("huge.bin");
  test::write_bytes(huge, "MZ not a book");
  std::filesystem::resize_file(huge, uint64_t{3} << 30);  // sparse
  Book book;
  EXPECT_EQ(read_book(huge, "", book), ReadStatus::format_error);

  const auto huge_book = dir.path("huge.zqb");
  test::write_bytes(huge_book, "ZQB");
  std::filesystem::resize_file(huge_book, uint64_t{3} << 30);
  EXPECT_EQ(read_book(huge_book, "", book), ReadStatus::format_error)
      << "positions beyond 32 bits cannot be described";
#ifndef _WIN32
  EXPECT_EQ(read_book("/dev/zero", "", book), ReadStatus::cannot_open);
  const auto fifo = dir.path("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(read_book(fifo, "", book), ReadStatus::cannot_open) << "and it does not block";
#endif
}

TEST(Writer, RefusesAnImageTheFormatCannotAddress) {
  Book book = test::sample_book(3);
  const std::string full = encode_book(book, 45000.0);
  EXPECT_EQ(encode_book(book, 45000.0, full.size()), full);
  EXPECT_EQ(encode_book(book, 45000.0, full.size() - 1), "");
}

}  // namespace
}  // namespace folivra
