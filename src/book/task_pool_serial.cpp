#include "book/task_pool.h"

namespace folivra {

// The small reader's pool: every job on the caller's thread. Decoding one
// book there costs the reader less than the threads' code it would carry.
size_t item_workers(size_t) { return 1; }

void set_item_workers(size_t) {}

void run_parallel(size_t count, size_t, const std::function<void(size_t)>& job) {
  for (size_t i = 0; i < count; ++i) job(i);
}

}  // namespace folivra
