// Windows sharing rules and file replacement, run under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include "book/book_file.h"
#include "book/file_io.h"
#include "book/test_books.h"

namespace folivra {
namespace {

class OtherHandle {
 public:
  OtherHandle(const std::filesystem::path& path, DWORD access, DWORD share)
      : h_(CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr)) {}
  ~OtherHandle() {
    if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
  }
  bool valid() const { return h_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE h_;
};

TEST(WindowsFiles, ABookNearMaxPathIsSavedAndReplaced) {
  test::TempDir dir;
  // The book's own path fits MAX_PATH; its temporary name beside it does not.
  std::wstring name(MAX_PATH - 6 - dir.dir().wstring().size(), L'n');
  const auto path = dir.dir() / (name + L".zqb");
  ASSERT_LT(path.wstring().size(), size_t{MAX_PATH});
  Book book = test::sample_book(1);
  ASSERT_EQ(write_book(path, book, {.keep_backup = true, .progress = {}}), 0);
  book.title = "again";
  ASSERT_EQ(write_book(path, book, {.keep_backup = true, .progress = {}}), 0);
  Book read;
  ASSERT_EQ(read_book(path, "", read), ReadStatus::ok);
  EXPECT_EQ(read.title, "again");
}

TEST(WindowsFiles, BookHeldOpenForWritingCannotBeOpened) {
  test::TempDir dir;
  const auto path = dir.path("book.zqb");
  Book book = test::sample_book(1);
  ASSERT_EQ(write_book(path, book), 0);
  {
    OtherHandle writer(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
    ASSERT_TRUE(writer.valid());
    Book read;
    EXPECT_EQ(read_book(path, "", read), ReadStatus::cannot_open);
  }
  Book read;
  EXPECT_EQ(read_book(path, "", read), ReadStatus::ok) << "readable again once it is closed";
}

TEST(WindowsFiles, BookOpenForReadingElsewhereCanBeRead) {
  test::TempDir dir;
  const auto path = dir.path("book.zqb");
  Book book = test::sample_book(1);
  ASSERT_EQ(write_book(path, book), 0);
  OtherHandle reader(path, GENERIC_READ, FILE_SHARE_READ);
  ASSERT_TRUE(reader.valid());
  Book read;
  EXPECT_EQ(read_book(path, "", read), ReadStatus::ok);
}

TEST(WindowsFiles, SaveOverAFileOthersMayDeleteReplacesIt) {
  test::TempDir dir;
  const auto path = dir.path("book.zqb");
  ASSERT_TRUE(replace_file_contents(path, "old"));
  {
    OtherHandle reader(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    ASSERT_TRUE(reader.valid());
  }
  ASSERT_TRUE(replace_file_contents(path, "new"));
  EXPECT_EQ(test::read_bytes(path), "new");
}

TEST(WindowsFiles, SaveOverALockedFileFailsAndKeepsIt) {
  test::TempDir dir;
  const auto path = dir.path("book.zqb");
  Book old_book = test::sample_book(1);
  ASSERT_EQ(write_book(path, old_book), 0);
  const std::string before = test::read_bytes(path);
  {
    OtherHandle locker(path, GENERIC_READ | GENERIC_WRITE, 0);
    ASSERT_TRUE(locker.valid());
    Book book = test::sample_book(3);
    EXPECT_EQ(write_book(path, book), -1);
  }
  EXPECT_EQ(test::read_bytes(path), before);
  size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.dir())) ++files;
  EXPECT_EQ(files, 1u) << "no temporary or backup file is left";
}

TEST(WindowsFiles, ChinesePathsWork) {
  test::TempDir dir;
  const auto path = dir.dir() / L"\u4E66\u7C4D.zqb";  // 书籍.zqb
  Book book = test::sample_book(1);
  ASSERT_EQ(write_book(path, book), 0);
  Book read;
  EXPECT_EQ(read_book(path, "", read), ReadStatus::ok);
  EXPECT_EQ(read.title, book.title);
}

}  // namespace
}  // namespace folivra
