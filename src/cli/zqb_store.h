#pragma once

#include <string>

#include "book/book.h"
#include "cli/zqb_commands.h"

namespace folivra::zqb {

// Records the book, as it is in the file at args.positional[0], in the
// writing store: the chapter commands call it before and after a change so
// that the change can be taken back. A store that cannot be used is said
// on standard error and changes nothing else.
void record_in_store(const Arguments& args, const std::string& book_path, const Book& book);

}  // namespace folivra::zqb
