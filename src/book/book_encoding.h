#pragma once

#include <string>

#include "book/book.h"

namespace folivra {

// The file image of `book` stamped with `now`, leaving the book as it is.
std::string encode_book(const Book& book, double now);
// Bit 0 of `flags` and `chapter_count` as a written book has them.
void bring_in_line(Book& book);

}  // namespace folivra
