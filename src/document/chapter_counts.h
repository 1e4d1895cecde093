#pragma once

#include <vector>

#include "document/document.h"
#include "text/word_count.h"

namespace folivra {

// The 字数 of every chapter of the open book, kept beside it: counted once
// when the book is shown (on all cores), then only where chapters change.
class ChapterCounts {
 public:
  void count_all(const Book& book);
  // After a chapter operation (or its undo): the inserted and changed chapters
  // are counted, the removed and moved ones follow.
  void follow(const ChapterChanges& changes, const Document& doc);
  // A chapter whose text changed in the editor, counted there.
  void set(int position, const WordCount& count);

  int size() const { return static_cast<int>(counts_.size()); }
  const WordCount& chapter(int position) const {
    return counts_[static_cast<size_t>(position - 1)];
  }
  WordCount total() const;

 private:
  std::vector<WordCount> counts_;
};

}  // namespace folivra
