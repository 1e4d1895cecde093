#pragma once

#include <string>
#include <vector>

#include "document/document.h"
#include "text/word_count.h"

namespace folivra {

// The 字数 of every chapter of the open book, kept beside it: counted once
// when the book is shown (on all cores), then only where chapters change.
// Every chapter of `contents` counted on all cores.
std::vector<WordCount> count_contents(const std::vector<std::string>& contents);

class ChapterCounts {
 public:
  void count_all(const Book& book);
  // Counts made elsewhere (on a worker), one per chapter in order.
  void take(std::vector<WordCount> counts) { counts_ = std::move(counts); }
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
