// A save that fails must leave the previous file whole and say so.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>
#endif

#include "book/book_file.h"
#include "book/file_io.h"
#include "book/test_books.h"

namespace folivra {
namespace {

TEST(BookWriterSafety, UnwritableTargetReportsFailureAndKeepsTheBook) {
  test::TempDir dir;
  Book book = test::sample_book(2);
  book.flags = 1;  // would be cleared by a successful write
  book.chapter_count = 7;
  EXPECT_EQ(write_book(dir.path("missing") / "book.zqb", book), -1);
  EXPECT_EQ(book.flags, 1u);
  EXPECT_EQ(book.chapter_count, 7);
}

TEST(BookWriterSafety, TheLeftoverOfAKilledSaveIsReplacedAndNoneRemains) {
  test::TempDir dir;
  const auto path = dir.path("book.zqb");
  // What a save killed half-way leaves: a temporary file named for the book.
  test::write_bytes(temporary_name_for(path), std::string(100000, 'x'));
  Book book = test::sample_book(2);
  ASSERT_EQ(write_book(path, book), 0);
  EXPECT_FALSE(std::filesystem::exists(temporary_name_for(path)));
  ASSERT_EQ(write_book(path, book, {.keep_backup = true, .progress = {}}), 0);
  EXPECT_TRUE(std::filesystem::exists(backup_name_for(path)));
  size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.dir())) ++files;
  EXPECT_EQ(files, 2u) << "the book and its backup, nothing else";
  Book read;
  EXPECT_EQ(read_book(backup_name_for(path), "", read), ReadStatus::ok);
}

#ifndef _WIN32
TEST(BookWriterSafety, SavingOverASymbolicLinkWritesWhereItPointsAndKeepsIt) {
  test::TempDir dir;
  std::filesystem::create_directories(dir.path("books"));
  const auto real = dir.path("books") / "real.zqb";
  const auto link = dir.path("link.zqb");
  Book book = test::sample_book(1);
  ASSERT_EQ(write_book(real, book), 0);
  std::filesystem::create_symlink(real, link);
  book.title = "changed";
  ASSERT_EQ(write_book(link, book), 0);
  EXPECT_TRUE(std::filesystem::is_symlink(link)) << "the link stays a link";
  Book read;
  ASSERT_EQ(read_book(real, "", read), ReadStatus::ok);
  EXPECT_EQ(read.title, "changed");
}

// Simulates a full disk: the process may not write more than a few KiB.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit limited = saved_;
    limited.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }

 private:
  rlimit saved_{};
};

TEST(BookWriterSafety, WriteErrorHalfwayKeepsThePreviousFile) {
  test::TempDir dir;
  const auto path = dir.path("book.zqb");
  Book old_book = test::sample_book(1);
  ASSERT_EQ(write_book(path, old_book), 0);
  const std::string before = test::read_bytes(path);

  Book big = test::sample_book(200);
  int result;
  {
    FileSizeLimit limit(before.size() + 100);
    result = write_book(path, big);
  }
  EXPECT_EQ(result, -1);
  EXPECT_EQ(test::read_bytes(path), before);
  size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.dir())) ++files;
  EXPECT_EQ(files, 1u) << "the half-written temporary file is removed";
}
#endif

}  // namespace
}  // namespace folivra
