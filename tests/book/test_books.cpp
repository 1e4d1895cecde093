#include "book/test_books.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <random>
#include <sstream>

#include "book/book_file.h"
#include "book/le_bytes.h"

namespace folivra::test {

TempDir::TempDir() {
  static std::atomic<int> counter{0};
  std::random_device random;
  // mingw's random_device may give the same numbers in every run: the clock
  // tells runs apart, and a folder a killed run left behind starts empty.
  const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
  dir_ = std::filesystem::temp_directory_path() /
         ("folivra-test-" + std::to_string(random()) + "-" + std::to_string(now) + "-" +
          std::to_string(counter++));
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
  std::filesystem::create_directories(dir_);
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

std::string read_bytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream out;
  out << in.rdbuf();
  return out.str();
}

void write_bytes(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string hex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out += kDigits[c >> 4];
    out += kDigits[c & 15];
  }
  return out;
}

std::string unhex(std::string_view text) {
  std::string out;
  for (size_t i = 0; i + 1 < text.size(); i += 2) {
    out += static_cast<char>(std::stoi(std::string(text.substr(i, 2)), nullptr, 16));
  }
  return out;
}

Book abc_book() {
  Book book;
  book.title = "Tales";
  for (const char* name : {"A", "B", "C"}) {
    Chapter chapter;
    chapter.number = static_cast<int32_t>(book.chapters.size()) + 1;
    chapter.name = name;
    chapter.content = std::string("{\\rtf1\\ansi text of ") + name + "}";
    book.chapters.push_back(chapter);
  }
  book.chapter_count = 3;
  return book;
}

Book sample_book(int chapters) {
  Book book;
  book.title = "\xD0\xC2\xB5\xC4\xCA\xE9\xBC\xAE";  // 新的书籍
  book.author = "author";
  book.book_type = "\xD0\xA1\xCB\xB5";  // 小说
  book.intro = "An introduction\r\nof two lines";
  book.cover = std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
  book.flags = 0x00F0;  // bits the editor does not know about stay as they are
  for (int i = 1; i <= chapters; ++i) {
    Chapter chapter;
    chapter.name = "\xD5\xC2\xBD\xDA " + std::to_string(i);  // 章节 i
    chapter.content = "{\\rtf1\\ansi\\ansicpg936 chapter " + std::to_string(i) +
                      std::string("\0tail", 5) + std::string(static_cast<size_t>(i) * 500, 'x') +
                      "}";
    book.chapters.push_back(chapter);
  }
  book.chapter_count = chapters;
  return book;
}

Layout layout_of(const std::string& image) {
  Layout out;
  size_t at = 3 + 8;
  const bool protect = load_le32(image.data() + at) & kFlagProtected;
  at += 4;
  auto skip_item = [&] {
    out.items.push_back(at);
    at += 4 + load_le32(image.data() + at);
  };
  if (protect) {
    at += 16;
    skip_item();
  }
  for (int i = 0; i < 3; ++i) skip_item();
  at += 8;
  skip_item();
  skip_item();
  const uint32_t count = load_le32(image.data() + at);
  at += 4;
  for (uint32_t i = 0; i < count; ++i) {
    at += 4;
    skip_item();
    skip_item();
    out.chapter_ends.push_back(at);
  }
  return out;
}

void spoil(std::string& image, size_t offset) {
  const size_t stream = offset + 4 + 8;
  for (size_t i = 2; i < 8; ++i) image[stream + i] = static_cast<char>(0xA5);
}

std::string stored_item(const std::string& image, size_t offset) {
  return image.substr(offset, 4 + load_le32(image.data() + offset));
}

void expect_same_content(const Book& expected, const Book& actual) {
  EXPECT_EQ(expected.title, actual.title);
  EXPECT_EQ(expected.author, actual.author);
  EXPECT_EQ(expected.book_type, actual.book_type);
  EXPECT_EQ(expected.intro, actual.intro);
  EXPECT_EQ(expected.cover, actual.cover);
  EXPECT_EQ(expected.password, actual.password);
  EXPECT_EQ(expected.password_hint, actual.password_hint);
  EXPECT_EQ(expected.flags, actual.flags);
  ASSERT_EQ(expected.chapters.size(), actual.chapters.size());
  EXPECT_EQ(static_cast<int32_t>(actual.chapters.size()), actual.chapter_count);
  for (size_t i = 0; i < expected.chapters.size(); ++i) {
    EXPECT_EQ(expected.chapters[i].kind, actual.chapters[i].kind) << "chapter " << i;
    EXPECT_EQ(expected.chapters[i].name, actual.chapters[i].name) << "chapter " << i;
    EXPECT_EQ(expected.chapters[i].content, actual.chapters[i].content) << "chapter " << i;
  }
}

}  // namespace folivra::test
