#pragma once

#include <string>
#include <vector>

#include "book/book.h"
#include "book/read_report.h"

namespace folivra {

// What to tell the user about a book just read (GBK): the damaged items and
// the chapters that cannot be shown, or the empty text when there are none.
// `unshowable`: which chapters cannot be shown, when already known (a load
// found them); otherwise every chapter is looked at here.
std::string damage_message(const Book& book, const ReadReport& report,
                           const std::vector<char>* unshowable = nullptr);

// The question for a file that ends early: open (or insert) what could be read?
std::string salvage_question(const std::string& path, const ReadReport& report, bool inserting);

}  // namespace folivra
