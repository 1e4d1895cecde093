#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "book/book.h"

namespace folivra {

// The book as zqb prints it, texts in UTF-8 and byte strings in base64, in
// parts: everything but the chapters, and one chapter.
nlohmann::json book_information_json(const Book& book);
nlohmann::json chapter_json(const Chapter& chapter);

// Builds a book from the same form (every key optional) plus "password".
// On failure returns false and says which field was wrong in `error`.
bool book_from_json(const nlohmann::json& spec, Book& book, std::string& error);

}  // namespace folivra
