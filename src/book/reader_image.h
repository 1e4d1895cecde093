#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "book/book.h"

namespace folivra {

// Where the image of a Windows executable ends: data appended to the file
// starts there. 0 when the bytes are not a PE executable.
size_t pe_image_end(std::string_view exe);

// A stand-alone reader: the reader program, the book's file image, "END".
// Has the effects of writing the book on `book` (flags and chapter count).
// Empty when the book is too large for the format.
std::string reader_executable(std::string_view reader, Book& book);

// How many bytes the book file at the start of `image` takes, found from its
// lengths and counts alone (no password needed).
size_t book_image_length(std::string_view image);

// The book image a reader executable carries, checked to be followed by
// "END"; nothing when it carries none.
std::optional<std::string> book_image_of(std::string_view exe);

}  // namespace folivra
