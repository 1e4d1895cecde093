#pragma once

#include <string>

#include "book/book.h"

namespace folivra {

// The file image of `book` stamped with `now`, leaving the book as it is;
// empty when it would grow past `max_size` (the format's 32-bit positions).
std::string encode_book(const Book& book, double now, size_t max_size = 0x7FFFFFFF);
// Bit 0 of `flags` and `chapter_count` as a written book has them.
void bring_in_line(Book& book);

}  // namespace folivra
