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

// The same in parts, for a book read a few chapters at a time: the header,
// how many chapters the text holds, and one chapter's part (the last has no
// gap after it).
bool export_book_header(const Book& book, const std::function<bool(std::string_view)>& write);
int chapters_in_text(const Book& book);
void append_chapter_text(std::string& out, const Chapter& chapter, bool last);

// All of it at once.
std::string book_text(const Book& book);

}  // namespace folivra
