#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "book/book.h"
#include "document/document.h"
#include "text/text_search.h"

namespace folivra {

// What 全书替换 would change: the chapters with hits, each with its new
// content (formatting outside the replaced text kept, see
// replace_in_content) and, with `names`, its new name.
struct BookReplacement {
  std::vector<ChapterEdit> edits;
  size_t places = 0;  // replaced in all
  // Chapters left as they are: the expression needed more work in them
  // than it may take.
  std::vector<int> too_complex;
  bool stopped = false;
};

// Worked out on every core; `progress` hears of chapters done (from any
// thread), and a set `stop` ends it early with nothing to apply.
BookReplacement plan_book_replacement(
    const Book& book, const TextPattern& pattern, const std::u16string& with, bool names,
    const std::function<void(size_t done, size_t total)>& progress = {},
    const std::atomic<bool>* stop = nullptr);

}  // namespace folivra
