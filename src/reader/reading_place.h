#pragma once

#include <cstdint>
#include <optional>

namespace folivra {

// Where a reader stopped in a compiled book: the chapter (0: the
// information page) and the first character shown. Kept per book, by a
// fingerprint of its image, in a small file of the reader's own under
// %APPDATA%\Folivra\Reader; a missing or broken file is no place.
struct ReadingPlace {
  int chapter = 0;
  long position = 0;
};

std::optional<ReadingPlace> read_reading_place(uint64_t book);
void write_reading_place(uint64_t book, const ReadingPlace& place);

}  // namespace folivra
