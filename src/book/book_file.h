#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "book/book.h"
#include "book/book_encoding.h"
#include "book/read_report.h"

namespace folivra {

enum class ReadStatus : int { ok = 0, format_error = 1, password_error = 2, cannot_open = 3 };

// The bytes of a book file for `book`, stamped with the current time.
// Brings `flags` bit 0 and `chapter_count` in line with the book first.
// Empty when the book is too large for the format's 32-bit positions.
std::string write_book_image(Book& book);

struct WriteOptions {
  bool keep_backup = false;  // the replaced file stays beside the book as NAME.bak
  WriteProgress progress;    // told how far the save has come, on the thread that writes
};

// Writes the book file safely: the old file stays whole unless every byte of
// the new one reached the disk. 0 on success, -1 on any failure (and then
// the book is left unchanged).
int write_book(const std::filesystem::path& path, Book& book, const WriteOptions& options = {});

// write_book in two halves. The first only reads the book, so it may run on
// another thread while the book's owner waits without changing it; the
// second, after a success, brings the book in line with the file written.
struct WrittenBook {
  std::string image;  // empty: nothing was written
  EncodedItems items;
};
WrittenBook write_book_file(const std::filesystem::path& path, const Book& book,
                            const WriteOptions& options);
void adopt_written_book(Book& book, WrittenBook written);

// Whether the book, once written, reads back whole: what its items decode
// to stays within the budget of the file they make (encodes it to know,
// where it could not be otherwise).
bool book_reads_back(const Book& book);

// The chapters of a book read by parse_book_deferring: where their items lie in
// the file's image, for decoding them whole later (decode_pending).
struct PendingContents {
  struct Item {
    uint32_t start = 0, length = 0;
  };
  std::shared_ptr<const std::string> image;
  std::vector<Item> items;  // a name and a content for every chapter
  std::string key;          // the password their blocks are encrypted with
  size_t budget = 0;        // what is left of the decoded budget after the book's own items
  uint64_t image_id = 0;
  bool empty() const { return items.empty(); }
};

// How a book is read when not simply whole.
struct ReadOptions {
  // For readers that look at a few chapters at a time: the chapters go to
  // this, a few at a time and in order (`first` is the 0-based position of
  // the first), as soon as they are decoded, and the book keeps none of their
  // text or stored bytes, so that no more than a few are held at once.
  std::function<void(std::span<const Chapter> chapters, size_t first)> each_chapters;
  // What all the decoded bytes may come to; 0: the file's own budget
  // (decoded_budget of its size).
  size_t budget = 0;
  // Set by another thread when the book is no longer wanted: the read stops
  // between batches of chapters, leaving them incomplete.
  const std::atomic<bool>* stop = nullptr;
};

inline constexpr uint32_t kSmallContent = 4096;

// The chapters of a book read by parse_book_deferring decoded whole: each
// chapter's name, content, kept and stored items exactly as a read without
// it gives them (the file's budget counted in file order). The damaged
// items found go to `report`. Uses up to `workers` threads (0: all cores);
// `stop` as in ReadOptions.
std::vector<Chapter> decode_pending(const PendingContents& pending, ReadReport& report,
                                    size_t workers = 0, const std::atomic<bool>* stop = nullptr);

// The content of one chapter of `pending`, decoded alone: for showing it
// before the rest. Nothing where a read in file order could find it damaged
// or past the budget (decode_pending decides then).
std::optional<std::string> decode_pending_content(const PendingContents& pending, size_t chapter);

// Lays chapters from decode_pending into the book they were read for.
void install_contents(Book& book, std::vector<Chapter> decoded);

// Fills an empty `book` from the bytes of a book file. With `consumed`, also
// says where the last chapter record ended (for an image with more behind it);
// with `report`, which items were damaged and whether the file was cut short.
ReadStatus parse_book(std::string bytes, std::string_view password, Book& book,
                      size_t* consumed = nullptr, ReadReport* report = nullptr,
                      const ReadOptions& options = {});
ReadStatus read_book(const std::filesystem::path& path, std::string_view password, Book& book,
                     ReadReport* report = nullptr, const ReadOptions& options = {});
// parse_book for a window that shows a book before all of it is decoded:
// the chapters' names are decoded, and the contents small enough to be a
// volume's (at most kSmallContent bytes, as their blocks declare); the rest
// stay empty, marked content_pending, and are described in `pending` for
// decode_pending. `report` holds the findings of the book's own items. A
// book without large contents is read whole (`pending` stays empty).
ReadStatus parse_book_deferring(std::string bytes, std::string_view password, Book& book,
                                ReadReport& report, PendingContents& pending,
                                const ReadOptions& options = {});

// Reads the bytes of a file that may be a book: refuses what is not a
// regular file (cannot_open), and a file that does not start with the magic
// or is longer than the format can describe (format_error) before reading it.
ReadStatus read_book_file(const std::filesystem::path& path, std::string& bytes);

// The check value and hint of a book file held in memory; an empty check
// value means the bytes are not a protected book.
struct BookLock {
  std::string check_value;
  std::string hint;
};
BookLock peek_book_lock(std::string_view bytes);

}  // namespace folivra
