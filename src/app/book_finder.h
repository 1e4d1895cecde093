#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "book/book.h"
#include "text/book_search.h"

namespace folivra {

// 全书查找 on a worker thread. The worker searches a copy of the book, so
// typing and chapter operations go on meanwhile; its hits come back in
// batches, each a posted message that the window thread owns from then on.
class BookFinder {
 public:
  // The worker's messages, registered: the WM_APP range reaches a window
  // from other senders too, and a batch of hits is a pointer handed over.
  static UINT found_hits_message();
  static UINT search_done_message();

  ~BookFinder();

  // Stops any search under way and starts one, its messages posted to `window`.
  void start(HWND window, std::shared_ptr<const Book> book, const TextPattern& pattern, bool names);
  // A stopped worker is let go: it sees the stop at its next paragraph.
  // Batches it posted before are freed.
  void stop(HWND window);
  // A posted batch: its hits when they are the search's under way (and kept
  // in hits()), else none; the batch is freed either way.
  std::vector<BookHit> take(WPARAM generation, LPARAM batch);
  // The worker's last message: whether it ended the search under way.
  bool ended(WPARAM generation);

  const std::vector<BookHit>& hits() const { return hits_; }
  void forget() { hits_.clear(); }

 private:
  std::vector<BookHit> hits_;  // in the order found
  unsigned generation_ = 0;
  std::shared_ptr<std::atomic<bool>> stop_;
  std::jthread worker_;
};

}  // namespace folivra
