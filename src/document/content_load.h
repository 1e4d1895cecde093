#pragma once

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

#include "book/book_file.h"
#include "book/read_report.h"
#include "text/word_count.h"

namespace folivra {

// What the worker of a ContentLoad hands back: the chapters whole, and what
// the window needs of all of them once they are in.
struct LoadedContents {
  std::vector<Chapter> chapters;  // names and contents, as a whole read gives them
  ReadReport report;              // the read's findings with the chapters' added
  std::vector<WordCount> counts;  // 字数 of every chapter
  std::vector<char> unshowable;   // chapters whose RTF the editor cannot show
};

// The contents of an opened book decoded, counted and checked on workers
// while the window shows the book from its names. The window keeps a core of
// its own; `done` is called on the worker when all is ready.
class ContentLoad {
 public:
  ContentLoad(PendingContents pending, ReadReport report, std::function<void()> done);
  // Stops the worker early: what it read is dropped.
  ~ContentLoad();
  ContentLoad(const ContentLoad&) = delete;
  ContentLoad& operator=(const ContentLoad&) = delete;

  // Where the contents lie, for decoding one of them before the rest.
  const PendingContents& pending() const { return pending_; }
  // Waits for the worker, then hands its results over (once).
  LoadedContents take();

 private:
  const PendingContents pending_;
  std::atomic<bool> stop_{false};  // the book is gone: its contents are not wanted
  std::thread worker_;
  LoadedContents result_;
};

// The same at once, on the caller's thread and up to `workers` threads (0: all
// cores): for a caller that wants the book whole before going on.
LoadedContents load_contents(const PendingContents& pending, ReadReport report, size_t workers = 0,
                             const std::atomic<bool>* stop = nullptr);

}  // namespace folivra
