#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "book/book.h"

namespace folivra::test {

// A fresh directory under the system's temporary folder, removed afterwards.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::filesystem::path path(std::string_view name) const { return dir_ / name; }
  const std::filesystem::path& dir() const { return dir_; }

 private:
  std::filesystem::path dir_;
};

std::string read_bytes(const std::filesystem::path& path);
void write_bytes(const std::filesystem::path& path, std::string_view bytes);
std::string hex(std::string_view bytes);
std::string unhex(std::string_view hex);

// The 12 bytes of an item that holds nothing.
inline const std::string kEmptyItem = std::string("\x08\0\0\0\x0D\x0F\x3E\x03\0\0\0\0", 12);

// A book with every field filled, Chinese (GBK) texts and NUL-carrying content.
Book sample_book(int chapters = 3);
// Three chapters "A", "B", "C" whose RTF reads "text of A" and so on.
Book abc_book();

// Where every item of a book image starts (its length field), and where each
// chapter record ends, found from the lengths alone.
struct Layout {
  std::vector<size_t> items;
  std::vector<size_t> chapter_ends;
};
Layout layout_of(const std::string& image);
// Spoils the zlib stream of the item at `offset` so that it no longer inflates.
void spoil(std::string& image, size_t offset);
// The whole stored item at `offset`: its length field and its block.
std::string stored_item(const std::string& image, size_t offset);

// Every stored field of two books is equal (time, version and path aside).
void expect_same_content(const Book& expected, const Book& actual);

}  // namespace folivra::test
