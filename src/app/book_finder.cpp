#include "app/book_finder.h"

namespace folivra {

UINT BookFinder::found_hits_message() {
  static const UINT message = RegisterWindowMessageW(L"Folivra.FoundHits");
  return message;
}

UINT BookFinder::search_done_message() {
  static const UINT message = RegisterWindowMessageW(L"Folivra.SearchDone");
  return message;
}

BookFinder::~BookFinder() {
  if (stop_) stop_->store(true);
  if (worker_.joinable()) worker_.detach();
}

void BookFinder::start(HWND window, std::shared_ptr<const Book> book, const TextPattern& pattern,
                       bool names) {
  stop(window);
  hits_.clear();
  const unsigned generation = ++generation_;
  stop_ = std::make_shared<std::atomic<bool>>(false);
  worker_ = std::jthread([window, generation, book, pattern, names, stop = stop_] {
    auto batch = std::make_unique<std::vector<BookHit>>();
    DWORD last = GetTickCount();
    const auto hand_over = [&] {
      if (batch->empty()) return;
      if (PostMessageW(window, found_hits_message(), generation,
                       reinterpret_cast<LPARAM>(batch.get()))) {
        batch.release();
      }
      batch = std::make_unique<std::vector<BookHit>>();
      last = GetTickCount();
    };
    const bool whole = search_book(
        *book, pattern, names,
        [&](const BookHit& hit) {
          batch->push_back(hit);
          if (batch->size() >= 500 || GetTickCount() - last > 100) hand_over();
          return !stop->load();
        },
        stop.get());
    hand_over();
    PostMessageW(window, search_done_message(), generation, whole ? 1 : 0);
  });
}

// The worker holds its own copies of the book and the pattern, so the
// window goes on at once whatever the expression is still doing.
void BookFinder::stop(HWND window) {
  if (stop_) stop_->store(true);
  if (worker_.joinable()) worker_.detach();
  // A WM_QUIT comes through any filter: it is put back for the message loop.
  MSG msg;
  while (window &&
         PeekMessageW(&msg, window, found_hits_message(), found_hits_message(), PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    take(msg.wParam, msg.lParam);
  }
}

std::vector<BookHit> BookFinder::take(WPARAM generation, LPARAM batch) {
  std::unique_ptr<std::vector<BookHit>> hits(reinterpret_cast<std::vector<BookHit>*>(batch));
  if (generation != generation_ || (stop_ && stop_->load())) return {};
  hits_.insert(hits_.end(), hits->begin(), hits->end());
  return std::move(*hits);
}

bool BookFinder::ended(WPARAM generation) {
  if (generation != generation_) return false;
  if (worker_.joinable()) worker_.join();
  return true;
}

}  // namespace folivra
