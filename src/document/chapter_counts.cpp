#include "document/chapter_counts.h"

#include <algorithm>

#include "book/task_pool.h"

namespace folivra {

std::vector<WordCount> count_contents(const std::vector<std::string>& contents) {
  std::vector<WordCount> counts(contents.size());
  run_parallel(contents.size(), item_workers(contents.size()),
               [&](size_t i) { counts[i] = count_words(contents[i]); });
  return counts;
}

void ChapterCounts::count_all(const Book& book) {
  const size_t n = book.chapters.size();
  counts_.assign(n, WordCount{});
  run_parallel(n, item_workers(n),
               [&](size_t i) { counts_[i] = count_words(book.chapters[i].content); });
}

void ChapterCounts::follow(const ChapterChanges& changes, const Document& doc) {
  // New texts alone (全部替换, 排版 of the book): counted on all cores.
  const bool texts_only = std::all_of(changes.begin(), changes.end(), [](const ChapterChange& c) {
    return c.kind == ChapterChange::Kind::content || c.kind == ChapterChange::Kind::renamed;
  });
  if (texts_only && changes.size() > 16) {
    std::vector<int> changed;
    for (const ChapterChange& c : changes) {
      if (c.kind == ChapterChange::Kind::content && c.position >= 1 && c.position <= size()) {
        changed.push_back(c.position);
      }
    }
    std::sort(changed.begin(), changed.end());
    changed.erase(std::unique(changed.begin(), changed.end()), changed.end());
    run_parallel(changed.size(), item_workers(changed.size()), [&](size_t i) {
      counts_[static_cast<size_t>(changed[i] - 1)] = count_words(doc.chapter(changed[i]).content);
    });
    return;
  }
  for (const ChapterChange& change : changes) {
    const auto at = [this](int position) {
      return counts_.begin() + static_cast<std::ptrdiff_t>(position - 1);
    };
    switch (change.kind) {
      case ChapterChange::Kind::inserted:
        counts_.insert(at(change.position), count_words(doc.chapter(change.position).content));
        break;
      case ChapterChange::Kind::removed:
        counts_.erase(at(change.position));
        break;
      case ChapterChange::Kind::moved: {
        const WordCount moved = *at(change.position);
        counts_.erase(at(change.position));
        counts_.insert(at(change.to), moved);
        break;
      }
      case ChapterChange::Kind::content:
        *at(change.position) = count_words(doc.chapter(change.position).content);
        break;
      case ChapterChange::Kind::renamed:
        break;
    }
  }
}

void ChapterCounts::set(int position, const WordCount& count) {
  if (position >= 1 && position <= size()) counts_[static_cast<size_t>(position - 1)] = count;
}

WordCount ChapterCounts::total() const {
  WordCount sum;
  for (const WordCount& c : counts_) sum += c;
  return sum;
}

}  // namespace folivra
