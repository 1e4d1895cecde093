#pragma once

#include <cstddef>
#include <functional>

namespace folivra {

// How many threads work over `chapters` chapters may use: all cores, or one
// for a small book where starting threads costs more than it saves, unless a
// caller (a test, the fuzzer) pins the number; 1 runs on the caller's thread.
size_t item_workers(size_t chapters);
void set_item_workers(size_t workers);  // 0: decided by the book again

// Runs job(0) .. job(count - 1), each exactly once, on up to `workers`
// threads (the caller's among them), and returns when all are done. Jobs
// are taken in index order, so early indices finish first.
void run_parallel(size_t count, size_t workers, const std::function<void(size_t)>& job);

}  // namespace folivra
