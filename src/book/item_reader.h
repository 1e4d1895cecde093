// How a book file is read, shared by the whole read and the deferring one:
// the items of the file, the chapter records and the walk through both.
// Inside the book room only.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "book/block_codec.h"
#include "book/book_encoding.h"
#include "book/book_file.h"
#include "book/byte_reader.h"
#include "book/field_cipher.h"
#include "book/fingerprint.h"
#include "book/le_bytes.h"

namespace folivra::reading {

// The smallest chapter record: a kind and two items of length 0.
inline constexpr int64_t kMinChapterRecord = 12;
// Chapters are decoded in batches of this many items, in parallel within a
// batch, so that only one batch's worth of results waits for its turn.
inline constexpr size_t kBatchItems = 512;

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

inline bool cut_short(const ByteReader& in) { return in.position() > in.length(); }

struct ChapterRecord {
  int32_t kind = 1;
  StoredView name, content;
};

// Decodes the chapters' items batch by batch, each batch on every worker.
// What the workers decode is only a head start: taking the items in file
// order decides, and decodes again whatever the budget would have treated
// differently one item after another.
// With `deferring`, only what decoded_at_once says. `workers`: 0 for all.
void decode_chapters(ItemReader& item, const std::vector<ChapterRecord>& records, Book& book,
                     const ReadOptions& options, bool deferring = false, size_t workers = 0);

// The file's bytes stay with the book for saves that write its items again.
void keep_image(Book& book, ByteReader& in, uint64_t image_id);

// A deferring read's chapters (book_deferred_read.cpp): read whole, leaving
// `pending` empty, when none is large.
void defer_chapters(ItemReader& item, const ByteReader& in,
                    const std::vector<ChapterRecord>& records, Book& book,
                    const ReadOptions& options, PendingContents& pending);

// A reader of the whole book, or (kDeferring) of all but its large contents:
// a program that reads books whole links only the first.
template <bool kDeferring>
ReadStatus parse(std::string bytes, std::string_view password, Book& book, size_t* consumed,
                 ReadReport* report_out, const ReadOptions& options, PendingContents* pending) {
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
  if constexpr (kDeferring) {
    defer_chapters(item, in, records, book, options, *pending);
  } else {
    decode_chapters(item, records, book, options);
  }
  book.chapter_count = static_cast<int32_t>(book.chapters.size());
  report.chapters_read = book.chapter_count;
  if (consumed) *consumed = static_cast<size_t>(std::min(in.position(), in.length()));
  keep_image(book, in, image_id);
  if constexpr (kDeferring) {
    if (!pending->empty()) pending->image = book.stored_image;
  }
  return ReadStatus::ok;
}

}  // namespace folivra::reading
