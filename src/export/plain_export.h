#pragma once

#include <string>

#include "book/book.h"

namespace folivra {

// The book as readable text, for platforms and readers: the title, the
// author, the introduction, then each chapter's name and its plain text
// (no RTF), with CRLF line ends.
enum class PlainEncoding { utf8, utf8_bom, gbk };
std::string book_plain_text(const Book& book, PlainEncoding encoding);

}  // namespace folivra
