#include <algorithm>
#include <atomic>
#include <span>
#include <utility>
#include <vector>

#include "book/item_reader.h"
#include "book/task_pool.h"

namespace folivra {

namespace reading {

namespace {

// A streaming reader's batch: whole chapters, as many as their headers say
// come to about kStreamBatchBytes decoded (a lying header only makes the
// batch larger or smaller; the budget still bounds what is decoded).
constexpr uint64_t kStreamBatchBytes = 16u << 20;
size_t streaming_batch(const std::vector<ChapterRecord>& records, size_t first) {
  uint64_t declared = 0;
  size_t n = 0;
  for (size_t c = first / 2; c < records.size() && n < kBatchItems; ++c) {
    for (const StoredView* v : {&records[c].name, &records[c].content}) {
      if (v->bytes.size() >= 8) declared += load_le32(v->bytes.data() + 4);
    }
    n += 2;
    if (declared >= kStreamBatchBytes) break;
  }
  return n;
}

size_t declared_size(const StoredView& view) {
  return view.bytes.size() >= 8 ? load_le32(view.bytes.data() + 4) : 0;
}

bool decoded_at_once(const ChapterRecord& record, size_t item, bool deferring) {
  return !deferring || item % 2 == 0 || declared_size(record.content) <= kSmallContent;
}

}  // namespace

void decode_chapters(ItemReader& item, const std::vector<ChapterRecord>& records, Book& book,
                     const ReadOptions& options, bool deferring, size_t workers) {
  const size_t items = records.size() * 2;
  if (workers == 0) workers = item_workers(records.size());
  const bool streaming = static_cast<bool>(options.each_chapters);
  std::vector<Decoded> batch;
  for (size_t first = 0, n = 0; first < items; first += n) {
    if (options.stop && *options.stop) break;
    n = streaming ? streaming_batch(records, first) : std::min(kBatchItems, items - first);
    const size_t budget = item.budget();
    // Keeps a hostile batch within about one budget: once it is spent, the
    // rest of the batch is left to the items' turn.
    std::atomic<size_t> spent{0};
    batch.assign(n, Decoded{});
    run_parallel(n, workers, [&](size_t k) {
      const size_t i = first + k;
      const ChapterRecord& r = records[i / 2];
      if (!decoded_at_once(r, i, deferring)) return;
      const size_t used = spent.load();
      batch[k] = item.decode(i % 2 == 0 ? r.name : r.content, i % 2 == 0, true,
                             used < budget ? budget - used : 0);
      spent += batch[k].result == BlockResult::ok            ? batch[k].decoded_size
               : batch[k].result == BlockResult::over_budget ? budget
                                                             : 0;
    });
    for (size_t k = 0; k < n; ++k) {
      const size_t i = first + k;
      const ChapterRecord& r = records[i / 2];
      if (!decoded_at_once(r, i, deferring)) {
        book.chapters[i / 2].content_pending = true;
        continue;
      }
      Chapter& chapter = book.chapters[i / 2];
      const int32_t number = static_cast<int32_t>(i / 2 + 1);
      if (i % 2 == 0) {
        chapter.name = item.take(r.name, std::move(batch[k]), ItemField::name, number,
                                 chapter.kept_name, &chapter.stored_name, true, true);
      } else {
        chapter.content = item.take(r.content, std::move(batch[k]), ItemField::content, number,
                                    chapter.kept_content, &chapter.stored_content, false, true);
      }
    }
    if (!streaming) continue;
    const std::span<Chapter> done(book.chapters.data() + first / 2, n / 2);
    options.each_chapters(done, first / 2);
    for (Chapter& chapter : done) {
      // Swapped out, not assigned: an assigned empty string keeps its buffer.
      for (std::string* text :
           {&chapter.name, &chapter.content, &chapter.kept_name, &chapter.kept_content}) {
        std::string().swap(*text);
      }
      chapter.stored_name = chapter.stored_content = {};
    }
  }
}

// The file's bytes stay with the book for saves that write its items again.
void keep_image(Book& book, ByteReader& in, uint64_t image_id) {
  book.stored_password = book.password;
  book.stored_image_id = image_id;
  book.stored_image = std::make_shared<const std::string>(in.take_data());
}

}  // namespace reading

ReadStatus parse_book(std::string bytes, std::string_view password, Book& book, size_t* consumed,
                      ReadReport* report, const ReadOptions& options) {
  return reading::parse<false>(std::move(bytes), password, book, consumed, report, options,
                               nullptr);
}

BookLock peek_book_lock(std::string_view bytes) {
  ByteReader in = ByteReader::viewing(bytes);
  if (in.read_text(3) != "ZQB") return {};
  in.read_double();
  if (!(in.read_int32() & kFlagProtected)) return {};
  BookLock lock;
  lock.check_value = in.read_text(16);
  std::string hint;
  decode_block(in.view(in.read_int32()), decoded_budget(bytes.size()), hint);
  lock.hint = text_until_nul(std::move(hint));
  return lock;
}

}  // namespace folivra