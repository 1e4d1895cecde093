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

// The 阅读 menu's commands.
enum ReaderCommand : UINT {
  kLarger = 201,
  kSmaller,
  kBookSize,
  kFont,
  kFullScreen,
  kFind,
  kFindNext,
  kAddMark,
  kSpacing10 = 211,
  kSpacing15,
  kSpacing20,
  kColours0 = 221,  // white, 护眼, sepia, night
  kMark0 = 300,     // the bookmarks, in the order they were set
};

}  // namespace folivra
