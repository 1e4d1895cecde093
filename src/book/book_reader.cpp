#include <algorithm>
#include <span>
#include <atomic>
#include <optional>
#include <utility>
#include <vector>

#include "book/block_codec.h"
#include "book/book_encoding.h"
#include "book/book_file.h"
#include "book/byte_reader.h"
#include "book/field_cipher.h"
#include "book/fingerprint.h"
#include "book/le_bytes.h"
#include "book/task_pool.h"

namespace folivra {

namespace {

// The smallest chapter record: a kind and two items of length 0.
constexpr int64_t kMinChapterRecord = 12;
// Chapters are decoded in batches of this many items, in parallel within a
// batch, so that only one batch's worth of results waits for its turn.
constexpr size_t kBatchItems = 512;

// One item as the file stores it.
struct StoredView {
  std::string_view bytes;
  int64_t start = 0;
  bool whole = false;  // all of its declared bytes are in the file
};

// What decoding one item gave.
struct Decoded {
  BlockResult result = BlockResult::failed;
  size_t decoded_size = 0;  // before decryption and the cut at NUL: what the budget counts
  size_t budget = 0;        // the budget it was decoded with
  std::string plain;
  StoredItem stored;
};

// Reads the items of one book, within the decoded budget of its file, noting
// the items that do not decode and keeping their stored bytes.
class ItemReader {
 public:
  ItemReader(ByteReader& in, size_t budget, ReadReport& report, uint64_t image_id)
      : in_(in), budget_(budget), report_(report), image_id_(image_id) {}

  // The same reader at the same point, telling what it finds to `report`.
  ItemReader(const ItemReader& other, ReadReport& report)
      : in_(other.in_),
        key_(other.key_),
        budget_(other.budget_),
        report_(report),
        image_id_(other.image_id_) {}

  void set_key(std::string_view key) { key_ = key; }
  std::string_view key() const { return key_; }

  StoredView next() {
    const int32_t length = in_.read_int32();
    StoredView view;
    view.start = in_.position();
    view.bytes = in_.view(length);
    view.whole = length <= 0 || view.start + length <= in_.length();
    return view;
  }

  // Decodes with the budget as it stands before any item of a batch.
  Decoded decode(const StoredView& view, bool text, bool encrypted, size_t budget) const {
    Decoded d;
    d.budget = budget;
    d.result = decode_block(view.bytes, budget, d.plain);
    d.decoded_size = d.plain.size();
    if (d.result != BlockResult::ok) return d;
    if (!key_.empty() && encrypted) d.plain = decrypt_field(std::move(d.plain), key_);
    if (text) d.plain = text_until_nul(std::move(d.plain));
    // A block that names its true size and decodes to exactly the field can
    // be written again as it is.
    if (d.plain.size() == d.decoded_size && load_le32(view.bytes.data() + 4) == d.decoded_size) {
      d.stored = {image_id_, static_cast<uint32_t>(view.start),
                  static_cast<uint32_t>(view.bytes.size()), static_cast<uint32_t>(d.plain.size()),
                  fingerprint(d.plain)};
    }
    return d;
  }

  // Takes one decoded item in file order: the budget decides here, exactly as
  // if every item had been decoded one after another.
  std::string take(const StoredView& view, Decoded d, ItemField field, int32_t chapter,
                   std::string& kept, StoredItem* stored, bool text, bool encrypted) {
    const bool as_if_alone =
        d.budget == budget_ || (d.result == BlockResult::ok && d.decoded_size <= budget_);
    if (!as_if_alone) d = decode(view, text, encrypted, budget_);
    budget_ -= d.result == BlockResult::ok ? d.decoded_size : 0;
    if (d.result == BlockResult::ok) {
      if (stored) *stored = d.stored;
      return std::move(d.plain);
    }
    // Past the budget everything that follows is left undecoded too.
    if (d.result == BlockResult::over_budget) budget_ = 0;
    if (view.whole && !view.bytes.empty() && !is_empty_block(view.bytes)) {
      kept.assign(view.bytes);
      report_.damaged.push_back({field, chapter, d.result == BlockResult::over_budget});
    }
    return {};
  }

  // An item of the book's header, read and decoded at once.
  std::string item(ItemField field, std::string& kept, bool text, bool encrypted = true,
                   StoredItem* stored = nullptr) {
    const StoredView view = next();
    return take(view, decode(view, text, encrypted, budget_), field, 0, kept, stored, text,
                encrypted);
  }

  size_t budget() const { return budget_; }
  uint64_t image_id() const { return image_id_; }

 private:
  ByteReader& in_;
  std::string_view key_;
  size_t budget_;
  ReadReport& report_;
  uint64_t image_id_;
};

bool cut_short(const ByteReader& in) { return in.position() > in.length(); }

struct ChapterRecord {
  int32_t kind = 1;
  StoredView name, content;
};

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

// Decodes the chapters' items batch by batch, each batch on every worker.
// What the workers decode is only a head start: taking the items in file
// order decides, and decodes again whatever the budget would have treated
// differently one item after another.
// A deferring read decodes every name at once, and each content as small as
// a volume's by what its block declares; the rest is left to decode_pending.
size_t declared_size(const StoredView& view) {
  return view.bytes.size() >= 8 ? load_le32(view.bytes.data() + 4) : 0;
}

bool decoded_at_once(const ChapterRecord& record, size_t item, bool deferring) {
  return !deferring || item % 2 == 0 || declared_size(record.content) <= kSmallContent;
}

void decode_chapters(ItemReader& item, const std::vector<ChapterRecord>& records, Book& book,
                     const ReadOptions& options, size_t workers = 0) {
  const size_t items = records.size() * 2;
  if (workers == 0) workers = item_workers(records.size());
  const bool deferring = options.defer_contents;
  const bool streaming = static_cast<bool>(options.each_chapters);
  std::vector<Decoded> batch;
  for (size_t first = 0, n = 0; first < items; first += n) {
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

// A deferring read: names and small contents now, through a reader of its
// own so that the findings and the budget stay for decode_pending, which
// takes every item again in file order.
void defer_chapters(const ItemReader& item, const ByteReader& in,
                    const std::vector<ChapterRecord>& records, Book& book,
                    const ReadOptions& options) {
  ReadReport scratch;
  ItemReader first(item, scratch);
  decode_chapters(first, records, book, options);
  if (!options.pending) return;
  PendingContents& pending = *options.pending;
  pending = {};
  pending.key = std::string(item.key());
  pending.budget = item.budget();
  pending.image_id = item.image_id();
  pending.items.reserve(records.size() * 2);
  const char* base = in.data().data();
  for (const ChapterRecord& r : records) {
    for (const StoredView* v : {&r.name, &r.content}) {
      const auto start = static_cast<uint32_t>(v->bytes.empty() ? 0 : v->bytes.data() - base);
      pending.items.push_back({start, static_cast<uint32_t>(v->bytes.size())});
    }
  }
}

}  // namespace

std::vector<Chapter> decode_pending(const PendingContents& pending, ReadReport& report,
                                    size_t workers) {
  const size_t n = pending.items.size() / 2;
  std::vector<ChapterRecord> records(n);
  const std::string_view image = pending.image ? std::string_view(*pending.image) : "";
  const auto view_of = [&](const PendingContents::Item& it) {
    StoredView view;
    if (size_t{it.start} + it.length <= image.size())
      view.bytes = image.substr(it.start, it.length);
    view.start = it.start;
    view.whole = true;
    return view;
  };
  for (size_t c = 0; c < n; ++c) {
    records[c].name = view_of(pending.items[2 * c]);
    records[c].content = view_of(pending.items[2 * c + 1]);
  }
  ByteReader none = ByteReader::viewing({});
  ItemReader item(none, pending.budget, report, pending.image_id);
  item.set_key(pending.key);
  Book book;
  book.chapters.resize(n);
  decode_chapters(item, records, book, {}, workers);
  return std::move(book.chapters);
}

void install_contents(Book& book, std::vector<Chapter> decoded) {
  const size_t n = std::min(book.chapters.size(), decoded.size());
  for (size_t i = 0; i < n; ++i) {
    Chapter& to = book.chapters[i];
    Chapter& from = decoded[i];
    to.name = std::move(from.name);
    to.content = std::move(from.content);
    to.kept_name = std::move(from.kept_name);
    to.kept_content = std::move(from.kept_content);
    to.stored_name = from.stored_name;
    to.stored_content = from.stored_content;
    to.content_pending = false;
  }
}

std::optional<std::string> decode_pending_content(const PendingContents& pending, size_t chapter) {
  if (!pending.image || 2 * chapter + 1 >= pending.items.size()) return std::nullopt;
  const std::string_view image = *pending.image;
  const auto block = [&](size_t i) {
    const PendingContents::Item& it = pending.items[i];
    return size_t{it.start} + it.length <= image.size() ? image.substr(it.start, it.length)
                                                        : std::string_view();
  };
  // Within the budget whatever the items before it declare: then a read in
  // file order cannot have spent it before this one either.
  uint64_t declared = 0;
  for (size_t i = 0; i <= 2 * chapter + 1; ++i) {
    const std::string_view b = block(i);
    if (b.size() >= 8) declared += load_le32(b.data() + 4);
  }
  if (declared > pending.budget) return std::nullopt;
  std::string plain;
  if (decode_block(block(2 * chapter + 1), pending.budget, plain) != BlockResult::ok) {
    return std::nullopt;
  }
  if (!pending.key.empty()) plain = decrypt_field(std::move(plain), pending.key);
  return plain;
}

ReadStatus parse_book(std::string bytes, std::string_view password, Book& book, size_t* consumed,
                      ReadReport* report_out, const ReadOptions& options) {
  ReadReport scratch;
  ReadReport& report = report_out ? *report_out : scratch;
  report = {};
  const size_t budget = options.budget ? options.budget : decoded_budget(bytes.size());
  ByteReader in(std::move(bytes));
  if (in.read_text(3) != "ZQB") return ReadStatus::format_error;
  book.format_version = in.read_double();
  book.flags = static_cast<uint32_t>(in.read_int32());
  const uint64_t image_id = new_image_id();
  ItemReader item(in, budget, report, image_id);
  KeptItems& kept = book.kept;
  if (book.flags & kFlagProtected) {
    if (in.read_text(16) != password_check_value(password)) return ReadStatus::password_error;
    book.password = std::string(password);
    book.password_hint = item.item(ItemField::hint, kept.hint, true, false);
  }
  item.set_key(book.password);
  book.title = item.item(ItemField::title, kept.title, true);
  book.author = item.item(ItemField::author, kept.author, true);
  book.book_type = item.item(ItemField::book_type, kept.book_type, true);
  book.time = in.read_date_time();
  book.intro = item.item(ItemField::intro, kept.intro, true);
  book.cover = item.item(ItemField::cover, kept.cover, false, true, &book.stored_cover);

  const int32_t count = in.read_int32();
  if (cut_short(in)) {
    // The file ends inside its header: what came before the cut is all there is.
    report.truncated = true;
    book.chapter_count = 0;
    if (consumed) *consumed = static_cast<size_t>(in.length());
    keep_image(book, in, image_id);
    return ReadStatus::ok;
  }
  if (count < 0) return ReadStatus::format_error;
  report.chapters_declared = count;
  // The records first: only complete ones count, and a cut one is not a
  // damaged chapter.
  std::vector<ChapterRecord> records;
  const int64_t remaining = int64_t{in.length()} - in.position();
  records.reserve(static_cast<size_t>(std::min<int64_t>(count, remaining / kMinChapterRecord)));
  for (int32_t i = 0; i < count; ++i) {
    ChapterRecord record;
    record.kind = in.read_int32();
    if (record.kind == 0) record.kind = 1;
    record.name = item.next();
    record.content = item.next();
    if (cut_short(in)) {
      report.truncated = true;
      break;
    }
    records.push_back(record);
  }
  book.chapters.resize(records.size());
  book.chapter_count = static_cast<int32_t>(records.size());  // known to a streaming reader too
  for (size_t i = 0; i < records.size(); ++i) {
    book.chapters[i].number = static_cast<int32_t>(i + 1);
    book.chapters[i].kind = records[i].kind;
  }
  if (options.defer_contents) {
    defer_chapters(item, in, records, book, options);
  } else {
    decode_chapters(item, records, book, options);
  }
  book.chapter_count = static_cast<int32_t>(book.chapters.size());
  report.chapters_read = book.chapter_count;
  if (consumed) *consumed = static_cast<size_t>(std::min(in.position(), in.length()));
  keep_image(book, in, image_id);
  if (options.defer_contents && options.pending) options.pending->image = book.stored_image;
  return ReadStatus::ok;
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
