#include "book/task_pool.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace folivra {

namespace {

std::atomic<size_t> pinned_workers{0};
constexpr size_t kParallelChapters = 32;
constexpr size_t kMostWorkers = 16;

// One run_parallel call: its jobs are taken in index order by the caller and
// by up to `helpers` threads of the pool, whichever are free.
struct Batch {
  size_t count = 0;
  const std::function<void(size_t)>* job = nullptr;
  std::atomic<size_t> next{0};
  size_t helpers = 0;  // how many more pool threads may join (under the pool's lock)

  std::mutex lock;  // guards the rest
  std::condition_variable left;
  size_t active = 0;  // pool threads working on it
  std::exception_ptr failure;

  void work() {
    for (size_t i = next++; i < count; i = next++) {
      try {
        (*job)(i);
      } catch (...) {
        // The first failure goes to the caller once every helper has stopped.
        next = count;
        const std::lock_guard hold(lock);
        if (!failure) failure = std::current_exception();
      }
    }
  }
};

// Threads started once and kept: starting a thread for every call costs
// milliseconds under Wine, more than many calls' work.
class Pool {
 public:
  ~Pool() {
    {
      const std::lock_guard hold(lock_);
      stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& t : threads_) t.join();
  }

  void run(Batch& batch, size_t helpers) {
    {
      const std::lock_guard hold(lock_);
      while (threads_.size() < helpers) threads_.emplace_back([this] { serve(); });
      batch.helpers = helpers;
      queue_.push_back(&batch);
    }
    wake_.notify_all();
    batch.work();
    {
      const std::lock_guard hold(lock_);
      std::erase(queue_, &batch);
    }
    std::unique_lock hold(batch.lock);
    batch.left.wait(hold, [&] { return batch.active == 0; });
  }

 private:
  void serve() {
    for (;;) {
      Batch* batch = nullptr;
      {
        std::unique_lock hold(lock_);
        wake_.wait(hold, [this] { return stopping_ || !queue_.empty(); });
        if (stopping_) return;
        batch = queue_.front();
        if (--batch->helpers == 0) queue_.pop_front();
        // Counted before the caller can stop waiting: it takes this lock
        // to leave the queue first.
        const std::lock_guard joined(batch->lock);
        ++batch->active;
      }
      batch->work();
      const std::lock_guard hold(batch->lock);
      if (--batch->active == 0) batch->left.notify_all();
    }
  }

  std::mutex lock_;
  std::condition_variable wake_;
  std::deque<Batch*> queue_;
  std::vector<std::thread> threads_;
  bool stopping_ = false;
};

Pool& pool() {
  static Pool threads;
  return threads;
}

}  // namespace

size_t item_workers(size_t chapters) {
  const size_t pinned = pinned_workers.load();
  if (pinned != 0) return pinned;
  if (chapters < kParallelChapters) return 1;
  return std::clamp<size_t>(std::thread::hardware_concurrency(), 1, kMostWorkers);
}

void set_item_workers(size_t workers) { pinned_workers = workers; }

void run_parallel(size_t count, size_t workers, const std::function<void(size_t)>& job) {
  workers = std::min({workers, count, kMostWorkers});
  if (workers <= 1) {
    for (size_t i = 0; i < count; ++i) job(i);
    return;
  }
  Batch batch;
  batch.count = count;
  batch.job = &job;
  pool().run(batch, workers - 1);
  if (batch.failure) std::rethrow_exception(batch.failure);
}

}  // namespace folivra
