#include "book/file_io.h"

#include <gtest/gtest.h>

#include "book/test_books.h"

namespace folivra {
namespace {

size_t files_in(const std::filesystem::path& dir) {
  size_t n = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir)) ++n;
  return n;
}

TEST(FileIo, ReplaceWritesNewAndExistingFiles) {
  test::TempDir dir;
  const auto target = dir.path("book.zqb");
  ASSERT_TRUE(replace_file_contents(target, "first"));
  EXPECT_EQ(test::read_bytes(target), "first");
  ASSERT_TRUE(replace_file_contents(target, std::string("sec\0nd", 6)));
  EXPECT_EQ(test::read_bytes(target), std::string("sec\0nd", 6));
  ASSERT_TRUE(replace_file_contents(target, ""));
  EXPECT_EQ(test::read_bytes(target), "");
  EXPECT_EQ(files_in(dir.dir()), 1u) << "no temporary or backup file is left";
}

TEST(FileIo, MissingFolderFailsAndCreatesNothing) {
  test::TempDir dir;
  EXPECT_FALSE(replace_file_contents(dir.path("no such folder") / "book.zqb", "data"));
  EXPECT_EQ(files_in(dir.dir()), 0u);
}

TEST(FileIo, ReadWholeFile) {
  test::TempDir dir;
  std::string big(3 << 20, 'q');
  big[12345] = '\0';
  test::write_bytes(dir.path("big"), big);
  std::string bytes;
  ASSERT_TRUE(read_whole_file(dir.path("big"), bytes));
  EXPECT_EQ(bytes, big);
  EXPECT_FALSE(read_whole_file(dir.path("missing"), bytes));
  EXPECT_FALSE(read_whole_file(dir.dir(), bytes));
}

}  // namespace
}  // namespace folivra
