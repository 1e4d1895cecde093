#include <atomic>

#include "book/book_encoding.h"

namespace folivra {

// A file of its own: reading a book needs it, and nothing else of writing.
uint64_t new_image_id() {
  static std::atomic<uint64_t> last{0};
  return ++last;
}

}  // namespace folivra
