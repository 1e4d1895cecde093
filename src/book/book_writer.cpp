#include <algorithm>
#include <atomic>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "book/block_codec.h"
#include "book/book_encoding.h"
#include "book/book_file.h"
#include "book/book_time.h"
#include "book/byte_buffer.h"
#include "book/field_cipher.h"
#include "book/fingerprint.h"
#include "book/le_bytes.h"
#include "book/task_pool.h"

namespace folivra {

namespace {

// Chapters are encoded in batches of this many, in parallel within a batch.
constexpr size_t kBatchChapters = 256;

void put_int32(ByteBuffer& out, uint32_t value) {
  char b[4];
  store_le32(b, value);
  out.append({b, 4});
}

void put_double(ByteBuffer& out, double value) {
  std::string b;
  append_double(b, value);
  out.append(b);
}

uint32_t flags_for(const Book& book) {
  return book.password.empty() ? book.flags & ~kFlagProtected : book.flags | kFlagProtected;
}

// One item ready to be appended: a block of its own, or one already in the
// stored image, and what to remember of it once it is written.
struct EncodedItem {
  std::string block;
  std::string_view reused;
  std::optional<StoredItem> stored;  // none for items written back as they were kept

  std::string_view bytes() const { return reused.data() ? reused : std::string_view(block); }
};

class ItemEncoder {
 public:
  explicit ItemEncoder(const Book& book) : book_(book) {
    const bool same_key = book.stored_image && book.stored_password == book.password;
    if (same_key) {
      image_ = *book.stored_image;
      image_id_ = book.stored_image_id;
    }
  }

  EncodedItem encode(const std::string& plain, const std::string& kept, const StoredItem& was,
                     bool encrypted = true) const {
    EncodedItem item;
    if (plain.empty() && !kept.empty()) {
      item.reused = kept;
      return item;
    }
    StoredItem now;
    now.plain_size = static_cast<uint32_t>(plain.size());
    now.plain_fingerprint = fingerprint(plain);
    if (reusable(was, now)) {
      item.reused = image_.substr(was.offset, was.length);
    } else {
      const std::string& key = book_.password;
      item.block = compress_block(key.empty() || !encrypted ? plain : encrypt_field(plain, key));
    }
    item.stored = now;
    return item;
  }

 private:
  bool reusable(const StoredItem& was, const StoredItem& now) const {
    return was.length != 0 && was.image == image_id_ && image_id_ != 0 &&
           was.plain_size == now.plain_size && was.plain_fingerprint == now.plain_fingerprint &&
           uint64_t{was.offset} + was.length <= image_.size();
  }

  const Book& book_;
  std::string_view image_;  // empty unless its blocks hold this password's encryption
  uint64_t image_id_ = 0;
};

class ImageWriter {
 public:
  void int32(uint32_t value) { put_int32(out_, value); }
  void number(double value) { put_double(out_, value); }
  void raw(std::string_view bytes) { out_.append(bytes); }
  void item(const EncodedItem& item, StoredItem* remember) {
    const std::string_view bytes = item.bytes();
    int32(static_cast<uint32_t>(bytes.size()));
    if (remember && item.stored) {
      *remember = *item.stored;
      remember->offset = static_cast<uint32_t>(std::min<size_t>(out_.size(), UINT32_MAX));
      remember->length = bytes.empty() ? 0 : static_cast<uint32_t>(bytes.size());
    }
    out_.append(bytes);
  }
  size_t size() const { return out_.size(); }
  std::string take() { return out_.take(); }

 private:
  ByteBuffer out_;
};

}  // namespace

// Encodes without touching the book, so a failed save can leave it as it was.
// Empty for a book whose contents are not all read.
// An item that could not be read is written back as it was stored while the
// field holds nothing else; an item that still holds what was read is written
// back as stored while the password is the one it was stored with.
std::string encode_book(const Book& book, double now, size_t max_size, EncodedItems* items,
                        const WriteProgress& progress) {
  // Never a chapter whose content is still being read: its empty stand-in
  // would take the place of the text in the file.
  for (const Chapter& c : book.chapters) {
    if (c.content_pending) return {};
  }
  const ItemEncoder encoder(book);
  StoredItem none;
  if (items) *items = {std::vector<StoredItem>(book.chapters.size() * 2), StoredItem{}};
  const auto remember = [items](size_t i) { return items ? &items->chapters[i] : nullptr; };
  ImageWriter out;
  out.raw("ZQB");
  out.number(1.0);
  out.int32(flags_for(book));
  if (!book.password.empty()) {
    out.raw(password_check_value(book.password));
    out.item(encoder.encode(book.password_hint, book.kept.hint, none, false), nullptr);
  }
  out.item(encoder.encode(book.title, book.kept.title, none), nullptr);
  out.item(encoder.encode(book.author, book.kept.author, none), nullptr);
  out.item(encoder.encode(book.book_type, book.kept.book_type, none), nullptr);
  out.number(now);
  out.item(encoder.encode(book.intro, book.kept.intro, none), nullptr);
  out.item(encoder.encode(book.cover, book.kept.cover, book.stored_cover),
           items ? &items->cover : nullptr);
  out.int32(static_cast<uint32_t>(book.chapters.size()));

  const size_t count = book.chapters.size();
  const size_t workers = item_workers(count);
  std::vector<EncodedItem> batch;
  for (size_t first = 0; first < count; first += kBatchChapters) {
    const size_t n = std::min(kBatchChapters, count - first);
    batch.assign(n * 2, EncodedItem{});
    run_parallel(n * 2, workers, [&](size_t k) {
      const Chapter& chapter = book.chapters[first + k / 2];
      batch[k] = k % 2 == 0 ? encoder.encode(chapter.name, chapter.kept_name, chapter.stored_name)
                            : encoder.encode(chapter.content, chapter.kept_content,
                                             chapter.stored_content);
    });
    for (size_t c = 0; c < n; ++c) {
      const size_t i = first + c;
      out.int32(static_cast<uint32_t>(book.chapters[i].kind));
      out.item(batch[c * 2], remember(i * 2));
      out.item(batch[c * 2 + 1], remember(i * 2 + 1));
      // Positions are 32-bit: stop as soon as the image cannot be read back.
      if (out.size() > max_size) return {};
    }
    if (progress) progress(first + n, count);
  }
  if (out.size() > max_size) return {};
  return out.take();
}

void bring_in_line(Book& book) {
  book.flags = flags_for(book);
  book.chapter_count = static_cast<int32_t>(book.chapters.size());
}

void adopt_image(Book& book, std::string image, const EncodedItems& items) {
  const uint64_t id = new_image_id();
  const auto in_image = [id](StoredItem item) {
    item.image = item.length ? id : 0;
    return item;
  };
  for (size_t i = 0; i < book.chapters.size() && i * 2 + 1 < items.chapters.size(); ++i) {
    book.chapters[i].stored_name = in_image(items.chapters[i * 2]);
    book.chapters[i].stored_content = in_image(items.chapters[i * 2 + 1]);
  }
  book.stored_cover = in_image(items.cover);
  book.stored_image_id = id;
  book.stored_password = book.password;
  book.stored_image = std::make_shared<const std::string>(std::move(image));
}

std::string write_book_image(Book& book) {
  bring_in_line(book);
  return encode_book(book, current_date_time());
}

}  // namespace folivra
