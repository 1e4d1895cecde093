#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "book/book.h"

namespace folivra {

// The book as a GBK text file: an information header, then every chapter's
// name and RTF content, with CRLF line breaks. `write` receives the bytes in
// order: the header lines one by one, then the chapters ten at a time. It
// returns false to stop (a write that failed).
bool export_book_text(const Book& book, const std::function<bool(std::string_view)>& write);

// All of it at once.
std::string book_text(const Book& book);

}  // namespace folivra
