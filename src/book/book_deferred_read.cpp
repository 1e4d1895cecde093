// Reading a book for a window that shows it before all of it is decoded,
// and the rest of it later.
#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "book/item_reader.h"

namespace folivra {

namespace {

// Item `i` of a pending book in its image; nothing for one outside it.
std::string_view item_bytes(const PendingContents& pending, size_t i) {
  const std::string_view image = pending.image ? std::string_view(*pending.image) : "";
  const PendingContents::Item& it = pending.items[i];
  return size_t{it.start} + it.length <= image.size() ? image.substr(it.start, it.length)
                                                      : std::string_view();
}

// The plain size a stored block declares (0 for one too short to say).
size_t declared_size(std::string_view block) {
  return block.size() >= 8 ? load_le32(block.data() + 4) : 0;
}

}  // namespace

namespace reading {

// A deferring read: names and small contents now, through a reader of its
// own so that the findings and the budget stay for decode_pending, which
// takes every item again in file order.
void defer_chapters(ItemReader& item, const ByteReader& in,
                    const std::vector<ChapterRecord>& records, Book& book,
                    const ReadOptions& options, PendingContents& pending) {
  pending = {};
  const bool any_large = std::any_of(records.begin(), records.end(), [](const ChapterRecord& r) {
    return declared_size(r.content.bytes) > kSmallContent;
  });
  if (!any_large) {
    decode_chapters(item, records, book, options);  // nothing to leave for later
    return;
  }
  ReadReport scratch;
  ItemReader first(item, scratch);
  decode_chapters(first, records, book, options, true, 1);
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

}  // namespace reading

ReadStatus parse_book_deferring(std::string bytes, std::string_view password, Book& book,
                                ReadReport& report, PendingContents& pending,
                                const ReadOptions& options) {
  pending = {};
  return reading::parse<true>(std::move(bytes), password, book, nullptr, &report, options,
                              &pending);
}

std::vector<Chapter> decode_pending(const PendingContents& pending, ReadReport& report,
                                    size_t workers, const std::atomic<bool>* stop) {
  const size_t n = pending.items.size() / 2;
  std::vector<reading::ChapterRecord> records(n);
  const auto view_of = [&](size_t i) {
    reading::StoredView view;
    view.bytes = item_bytes(pending, i);
    view.start = pending.items[i].start;
    view.whole = true;
    return view;
  };
  for (size_t c = 0; c < n; ++c) {
    records[c].name = view_of(2 * c);
    records[c].content = view_of(2 * c + 1);
  }
  ByteReader none = ByteReader::viewing({});
  reading::ItemReader item(none, pending.budget, report, pending.image_id);
  item.set_key(pending.key);
  Book book;
  book.chapters.resize(n);
  ReadOptions options;
  options.stop = stop;
  reading::decode_chapters(item, records, book, options, false, workers);
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
  // Within the budget whatever the items before it declare: then a read in
  // file order cannot have spent it before this one either.
  uint64_t declared = 0;
  for (size_t i = 0; i <= 2 * chapter + 1; ++i) {
    declared += declared_size(item_bytes(pending, i));
  }
  if (declared > pending.budget) return std::nullopt;
  std::string plain;
  if (decode_block(item_bytes(pending, 2 * chapter + 1), pending.budget, plain) !=
      BlockResult::ok) {
    return std::nullopt;
  }
  if (!pending.key.empty()) plain = decrypt_field(std::move(plain), pending.key);
  return plain;
}

}  // namespace folivra
