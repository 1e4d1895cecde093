#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "book/book.h"
#include "store/sqlite_db.h"

namespace folivra {

struct StoreSettings {
  int64_t cap_bytes = int64_t{1} << 30;  // what the kept versions may take together
  int keep_all_days = 30;                // every version is kept this long, then one a day
  int day_start_hour = 0;                // a writing day starts at this local hour
  int busy_timeout_ms = 5000;            // how long to wait for another writer
};

// The store's idea of now: seconds since 1970 (UTC), and how far local
// time is ahead of UTC.
struct StoreClock {
  std::function<int64_t()> now;
  int64_t utc_offset = 0;
};
StoreClock system_store_clock();

enum class StoreStatus { ok, busy, damaged, failed };

struct ChapterVersion {
  int64_t id = 0;
  int64_t time = 0;
  std::string name;  // GBK
  int64_t words = 0;
  int64_t size = 0;  // bytes of content
};

struct DeletedChapter {
  int64_t chapter = 0;
  int position = 0;     // where it was when last saved
  int64_t deleted = 0;  // when a save first went without it
  ChapterVersion last;
};

// Where the author stopped in a book: the chapter shown (0: the
// information page), the caret and the first line in view.
struct BookPlace {
  int64_t chapter = 0, caret = 0, line = 0;
};

// 字数 of a chapter, asked only of chapters a save records.
using ChapterWords = std::function<int64_t(const Chapter&)>;

// What a save records: the book as written, its 字数, and the path it had
// before when it was saved under another name.
struct SavedBook {
  std::string_view path;
  const Book* book = nullptr;
  ChapterWords words;
  int64_t book_words = 0;
  int64_t session = 0;
  std::string_view previous_path;
  // A protected book's text never leaves the book: only its 字数 is kept.
  bool keep_text = true;
};

// The writing store: every recorded version of every chapter of every book
// the user saved, and how the books' 字数 went, in one SQLite database that
// several programs may use at once. A book is known by its paths and, when
// it turns up under a path the store has not seen, by its chapters.
class WritingStore {
 public:
  struct Opened {
    std::unique_ptr<WritingStore> store;  // null: no store this time (`error` says why)
    std::filesystem::path set_aside_to;   // a damaged database was renamed to this
    StoreStatus status = StoreStatus::ok;
    std::string error;
  };
  // Opens or creates the database; one that is not a database or is
  // damaged is renamed aside and a new one started.
  static Opened open(const std::filesystem::path& path, const StoreSettings& settings = {},
                     StoreClock clock = system_store_clock());
  // Renames a damaged database (and its journal files) aside; the new name.
  static std::filesystem::path set_aside(const std::filesystem::path& path, int64_t now);

  const std::filesystem::path& path() const { return path_; }
  const StoreSettings& settings() const { return settings_; }
  void set_settings(const StoreSettings& settings) { settings_ = settings; }
  int64_t now() const { return clock_.now(); }
  int64_t utc_offset() const { return clock_.utc_offset; }

  // A new writing session (a window's life, a zqb command).
  int64_t begin_session();
  // Records every chapter whose name or content differs from its last
  // recorded version, the book's 字数, and drops old versions as the
  // settings say. `versions` tells how many were recorded.
  StoreStatus record_save(const SavedBook& saved, int* versions = nullptr);
  // The book's 字数 when it was opened, for today's figure.
  StoreStatus record_words(std::string_view path, int64_t words, int64_t session);

  // The versions of the book's chapter now at `position` (known by its
  // content, name or place), newest first.
  std::vector<ChapterVersion> versions_of(std::string_view path, const Chapter& chapter,
                                          int position);
  // A recorded version as a chapter (kind, name and content).
  std::optional<Chapter> version(int64_t id);
  // Chapters that were in a saved version of the book and are in it no more.
  std::vector<DeletedChapter> deleted_chapters(std::string_view path);

  // The writing day a time falls in (days since 1970, counted from the
  // hour a day starts), and the time that day starts.
  int64_t writing_day(int64_t time) const;
  int64_t day_start(int64_t day) const;
  // The net change of the book's 字数 today, `words` being its count now.
  int64_t words_today(std::string_view path, int64_t words);

  struct BookWords {
    std::string path;
    int64_t words = 0;   // 字数 when last recorded
    int64_t period = 0;  // net change over the days asked for
  };
  struct Stats {
    int64_t first_day = 0;        // the writing day of days[0]
    std::vector<int64_t> days;    // net words per day over all books, the last is today
    double words_per_hour = 0.0;  // today's sessions (0 until they have lasted 10 minutes)
    std::vector<BookWords> books;
  };
  Stats stats(int days);

  // The bytes the kept versions take.
  int64_t stored_bytes();

  // Where the author stopped in the book at `path`, to open it there again.
  StoreStatus remember_place(std::string_view path, const BookPlace& place);
  std::optional<BookPlace> place_of(std::string_view path);

 private:
  WritingStore(std::filesystem::path path, const StoreSettings& settings, StoreClock clock);
  StoreStatus status_of(int code) const;
  int64_t book_of(std::string_view path) const;  // 0: unknown
  int64_t book_for_save(const SavedBook& saved, const std::vector<uint64_t>& content_prints);
  int64_t new_book();
  void add_path(std::string_view path, int64_t book);
  bool thin();

  std::filesystem::path path_;
  StoreSettings settings_;
  StoreClock clock_;
  SqliteDb db_;
};

// Days counted back from today whose words reached the goal (today counts
// once it has; until then the streak is the one up to yesterday).
int writing_streak(const std::vector<int64_t>& days, int64_t goal);

// The calendar date of a writing day.
struct CivilDate {
  int year = 1970, month = 1, day = 1;
};
CivilDate civil_date(int64_t day);
// "2026-12-10 09:30" for a time, in the store's local time.
std::string local_time_text(const WritingStore& store, int64_t time);

}  // namespace folivra
