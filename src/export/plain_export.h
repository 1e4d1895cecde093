#pragma once

#include <string>

#include "book/book.h"

namespace folivra {

// The book as readable text, for platforms and readers: the title, the
// author, the introduction, then each chapter's name and its plain text
// (no RTF), with CRLF line ends.
enum class PlainEncoding { utf8, utf8_bom, gbk };
std::string book_plain_text(const Book& book, PlainEncoding encoding);
// The same in parts, for writing a chapter at a time: the head (title,
// author, introduction), then each chapter's part in order.
std::string plain_book_header(const Book& book, PlainEncoding encoding);
std::string plain_chapter_text(const Chapter& chapter, PlainEncoding encoding);

}  // namespace folivra
