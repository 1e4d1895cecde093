// A save that fails must leave the previous file whole and say so.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>
#endif

#include "book/book_file.h"
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

#ifndef _WIN32
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
