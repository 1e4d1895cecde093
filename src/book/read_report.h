#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace folivra {

// Which stored item of a book file a finding is about.
enum class ItemField : uint8_t { hint, title, author, book_type, intro, cover, name, content };

struct DamagedItem {
  ItemField field;
  int32_t chapter = 0;       // 1-based position for a chapter's name or content
  bool over_budget = false;  // readable perhaps, but more than one file may decode to
};

// What reading a book file found beyond the book itself: items whose stored
// bytes did not decode (kept in the book, see Chapter::kept_content), and a
// file that ends before its last chapter record.
struct ReadReport {
  std::vector<DamagedItem> damaged;
  bool truncated = false;
  int32_t chapters_declared = 0;  // the count the file gives
  int32_t chapters_read = 0;      // complete chapter records found
  bool clean() const { return damaged.empty() && !truncated; }
};

// All the decoded bytes of one file may come to at most this: more than any
// real book decodes to (the editor's RTF of Chinese text compresses to about
// a fifth), far less than a decompression bomb asks for, and little enough
// that a command that reads a file of 5 MB ends within a second or two.
inline size_t decoded_budget(size_t file_size) {
  constexpr size_t kFloor = size_t{32} << 20;
  constexpr size_t kRatio = 8;
  return kFloor + kRatio * file_size;
}

}  // namespace folivra
