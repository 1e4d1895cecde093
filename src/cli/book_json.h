#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "book/book.h"

namespace folivra {

// The book as zqb prints it: texts in UTF-8, byte strings in base64.
nlohmann::json book_to_json(const Book& book);

// Builds a book from the same form (every key optional) plus "password".
// On failure returns false and says which field was wrong in `error`.
bool book_from_json(const nlohmann::json& spec, Book& book, std::string& error);

}  // namespace folivra
