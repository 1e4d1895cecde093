#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace folivra {

// Where a reader stopped in a compiled book: the chapter (0: the
// information page) and the first character shown. Kept per book, by a
// fingerprint of its image, in a small file of the reader's own under
// %APPDATA%\Folivra\Reader; a missing or broken file is no place.
// The reader's bookmarks in the book go with it, each a place of its own.
struct ReadingMark {
  int chapter = 0;
  long position = 0;
};
struct ReadingPlace {
  int chapter = 0;
  long position = 0;
  std::vector<ReadingMark> marks;
};
inline constexpr size_t kMaxMarks = 100;

std::optional<ReadingPlace> read_reading_place(uint64_t book);
void write_reading_place(uint64_t book, const ReadingPlace& place);

}  // namespace folivra
