#pragma once

#include "book/book.h"

namespace folivra {

// The record of a book made with "新建": default texts, no chapters, no file.
Book make_new_book(double now);

}  // namespace folivra
