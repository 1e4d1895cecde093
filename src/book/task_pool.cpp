#include "book/task_pool.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace folivra {

namespace {

std::atomic<size_t> pinned_workers{0};
constexpr size_t kParallelChapters = 32;

}  // namespace

size_t item_workers(size_t chapters) {
  const size_t pinned = pinned_workers.load();
  if (pinned != 0) return pinned;
  if (chapters < kParallelChapters) return 1;
  return std::clamp<size_t>(std::thread::hardware_concurrency(), 1, 16);
}

void set_item_workers(size_t workers) { pinned_workers = workers; }

void run_parallel(size_t count, size_t workers, const std::function<void(size_t)>& job) {
  workers = std::min(workers, count);
  if (workers <= 1) {
    for (size_t i = 0; i < count; ++i) job(i);
    return;
  }
  std::atomic<size_t> next{0};
  std::mutex failed;
  std::exception_ptr failure;
  const auto work = [&] {
    try {
      for (size_t i = next++; i < count; i = next++) job(i);
    } catch (...) {
      // The first failure goes to the caller once every worker has stopped.
      next = count;
      const std::lock_guard lock(failed);
      if (!failure) failure = std::current_exception();
    }
  };
  {
    std::vector<std::jthread> threads;
    threads.reserve(workers - 1);
    for (size_t w = 1; w < workers; ++w) threads.emplace_back(work);
    work();
  }
  if (failure) std::rethrow_exception(failure);
}

}  // namespace folivra
