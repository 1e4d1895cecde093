#pragma once

#include <windows.h>

#include <cstdint>

#include "book/book.h"

namespace folivra {

// The reader's window: the chapter tree, the pages "介绍" and "内容"
// (nothing can be edited) and the status bar. Opens where the reader
// stopped in this book (`image`, a fingerprint of it) and runs until it is
// closed.
int run_reader_window(const Book& book, uint64_t image);

}  // namespace folivra
