#pragma once

#include <memory>
#include <mutex>
#include <vector>

namespace folivra {

// Codec states lent to whichever thread needs one and kept for the next:
// making one costs more than a small block's work, and states that belong to
// threads (thread_local) do not end cleanly with every thread library.
template <typename State, State* (*make)(), void (*free_state)(State*)>
class StatePool {
 public:
  class Lease {
   public:
    explicit Lease(StatePool& pool) : pool_(pool), state_(pool.take()) {}
    ~Lease() { pool_.give_back(state_); }
    Lease(const Lease&) = delete;
    Lease& operator=(const Lease&) = delete;
    State* get() const { return state_; }

   private:
    StatePool& pool_;
    State* state_;
  };

  ~StatePool() {
    for (State* s : free_) free_state(s);
  }

 private:
  State* take() {
    {
      const std::lock_guard lock(mutex_);
      if (!free_.empty()) {
        State* s = free_.back();
        free_.pop_back();
        return s;
      }
    }
    return make();
  }
  void give_back(State* s) {
    if (!s) return;
    const std::lock_guard lock(mutex_);
    free_.push_back(s);
  }

  std::mutex mutex_;
  std::vector<State*> free_;
};

}  // namespace folivra
