#pragma once

#include <windows.h>

#include "book/book.h"

namespace folivra {

// The reader's window: the chapter tree, the pages "介绍" and "内容"
// (nothing can be edited) and the status bar. Runs until it is closed.
int run_reader_window(const Book& book);

}  // namespace folivra
