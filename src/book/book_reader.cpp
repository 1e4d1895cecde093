#include <algorithm>
#include <utility>

#include "book/block_codec.h"
#include "book/book_file.h"
#include "book/byte_reader.h"
#include "book/field_cipher.h"

namespace folivra {

namespace {

// The smallest chapter record: a kind and two items of length 0.
constexpr int64_t kMinChapterRecord = 12;

// Reads the items of one book, within the decoded budget of its file, noting
// the items that do not decode and keeping their stored bytes.
class ItemReader {
 public:
  ItemReader(ByteReader& in, size_t budget, ReadReport& report)
      : in_(in), budget_(budget), report_(report) {}

  void set_key(std::string_view key) { key_ = key; }

  // The plain bytes of the next item; `kept` gets its stored bytes when they
  // are there in full but do not decode.
  std::string bytes(ItemField field, int32_t chapter, std::string& kept, bool encrypted = true) {
    const int32_t length = in_.read_int32();
    const int64_t start = in_.position();
    const std::string_view stored = in_.view(length);
    const bool whole = length <= 0 || start + length <= in_.length();
    std::string plain;
    const BlockResult result = decode_block(stored, budget_, plain);
    budget_ -= plain.size();
    if (result == BlockResult::ok) {
      return key_.empty() || !encrypted ? plain : decrypt_field(std::move(plain), key_);
    }
    // Past the budget everything that follows is left undecoded too.
    if (result == BlockResult::over_budget) budget_ = 0;
    if (whole && !stored.empty() && !is_empty_block(stored)) {
      kept.assign(stored);
      report_.damaged.push_back({field, chapter, result == BlockResult::over_budget});
    }
    return {};
  }
  std::string text(ItemField field, int32_t chapter, std::string& kept, bool encrypted = true) {
    return text_until_nul(bytes(field, chapter, kept, encrypted));
  }

 private:
  ByteReader& in_;
  std::string_view key_;
  size_t budget_;
  ReadReport& report_;
};

bool cut_short(const ByteReader& in) { return in.position() > in.length(); }

}  // namespace

ReadStatus parse_book(std::string bytes, std::string_view password, Book& book, size_t* consumed,
                      ReadReport* report_out) {
  ReadReport scratch;
  ReadReport& report = report_out ? *report_out : scratch;
  report = {};
  const size_t budget = decoded_budget(bytes.size());
  ByteReader in(std::move(bytes));
  if (in.read_text(3) != "ZQB") return ReadStatus::format_error;
  book.format_version = in.read_double();
  book.flags = static_cast<uint32_t>(in.read_int32());
  ItemReader item(in, budget, report);
  KeptItems& kept = book.kept;
  if (book.flags & kFlagProtected) {
    if (in.read_text(16) != password_check_value(password)) return ReadStatus::password_error;
    book.password = std::string(password);
    book.password_hint = item.text(ItemField::hint, 0, kept.hint, false);
  }
  item.set_key(book.password);
  book.title = item.text(ItemField::title, 0, kept.title);
  book.author = item.text(ItemField::author, 0, kept.author);
  book.book_type = item.text(ItemField::book_type, 0, kept.book_type);
  book.time = in.read_date_time();
  book.intro = item.text(ItemField::intro, 0, kept.intro);
  book.cover = item.bytes(ItemField::cover, 0, kept.cover);

  const int32_t count = in.read_int32();
  if (cut_short(in)) {
    // The file ends inside its header: what came before the cut is all there is.
    report.truncated = true;
    book.chapter_count = 0;
    if (consumed) *consumed = static_cast<size_t>(in.length());
    return ReadStatus::ok;
  }
  if (count < 0) return ReadStatus::format_error;
  report.chapters_declared = count;
  const int64_t remaining = int64_t{in.length()} - in.position();
  book.chapters.reserve(
      static_cast<size_t>(std::min<int64_t>(count, remaining / kMinChapterRecord)));
  for (int32_t i = 0; i < count; ++i) {
    Chapter chapter;
    chapter.number = i + 1;
    chapter.kind = in.read_int32();
    if (chapter.kind == 0) chapter.kind = 1;
    const size_t findings = report.damaged.size();
    chapter.name = item.text(ItemField::name, i + 1, chapter.kept_name);
    chapter.content = item.bytes(ItemField::content, i + 1, chapter.kept_content);
    if (cut_short(in)) {
      // Only complete chapter records count; the cut one is not a damaged chapter.
      report.damaged.resize(findings);
      report.truncated = true;
      break;
    }
    book.chapters.push_back(std::move(chapter));
  }
  book.chapter_count = static_cast<int32_t>(book.chapters.size());
  report.chapters_read = book.chapter_count;
  if (consumed) *consumed = static_cast<size_t>(std::min(in.position(), in.length()));
  return ReadStatus::ok;
}

BookLock peek_book_lock(std::string_view bytes) {
  // The lock sits at the front: a hint item is never near this long.
  ByteReader in{std::string(bytes.substr(0, 1 << 20))};
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
