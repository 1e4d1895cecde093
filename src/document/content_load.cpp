#include "document/content_load.h"

#include <algorithm>
#include <utility>

#include "book/task_pool.h"
#include "document/chapter_look.h"

namespace folivra {

LoadedContents load_contents(const PendingContents& pending, ReadReport report, size_t workers,
                             const std::atomic<bool>* stop) {
  LoadedContents loaded;
  loaded.chapters = decode_pending(pending, report, workers, stop);
  loaded.report = std::move(report);
  if (stop && *stop) return loaded;
  const size_t n = loaded.chapters.size();
  loaded.counts.resize(n);
  loaded.unshowable.resize(n);
  run_parallel(n, workers ? workers : item_workers(n), [&](size_t i) {
    const Chapter& chapter = loaded.chapters[i];
    loaded.counts[i] = count_words(chapter.content);
    loaded.unshowable[i] = chapter.kept_content.empty() && chapter_damaged(chapter);
  });
  return loaded;
}

ContentLoad::ContentLoad(PendingContents pending, ReadReport report, std::function<void()> done)
    : pending_(std::move(pending)) {
  const size_t cores = std::max(1u, std::thread::hardware_concurrency());
  worker_ =
      std::thread([this, cores, report = std::move(report), done = std::move(done)]() mutable {
        result_ =
            load_contents(pending_, std::move(report), std::max<size_t>(1, cores - 1), &stop_);
        if (done) done();
      });
}

ContentLoad::~ContentLoad() {
  stop_ = true;
  if (worker_.joinable()) worker_.join();
}

LoadedContents ContentLoad::take() {
  if (worker_.joinable()) worker_.join();
  return std::move(result_);
}

}  // namespace folivra
