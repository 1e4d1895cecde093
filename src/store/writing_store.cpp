#include "store/writing_store.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <deque>
#include <map>
#include <set>
#include <system_error>

#include "book/block_codec.h"
#include "book/fingerprint.h"

namespace folivra {

namespace {

constexpr int64_t kDay = 86400;
// The contents live in a table of their own, so that what is asked of the
// versions (which is a chapter's latest, the bytes they take) reads only
// small rows.
// Chapters this small (an empty chapter's RTF and little more) say nothing
// about which book a file is.
constexpr size_t kTellingContent = 256;
constexpr int64_t kLeastPaceSeconds = 600;

constexpr const char* kSchema = R"(
CREATE TABLE IF NOT EXISTS books(id INTEGER PRIMARY KEY, created INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS book_paths(path BLOB PRIMARY KEY, book INTEGER NOT NULL) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS chapters(id INTEGER PRIMARY KEY, book INTEGER NOT NULL,
  position INTEGER, last_position INTEGER NOT NULL, latest INTEGER, deleted INTEGER);
CREATE INDEX IF NOT EXISTS chapters_book ON chapters(book, position);
CREATE TABLE IF NOT EXISTS versions(id INTEGER PRIMARY KEY, chapter INTEGER NOT NULL,
  time INTEGER NOT NULL, kind INTEGER NOT NULL, name BLOB NOT NULL, size INTEGER NOT NULL, stored INTEGER NOT NULL, words INTEGER NOT NULL,
  name_print INTEGER NOT NULL, content_print INTEGER NOT NULL);
CREATE INDEX IF NOT EXISTS versions_chapter ON versions(chapter, id);
CREATE INDEX IF NOT EXISTS versions_time ON versions(time);
CREATE INDEX IF NOT EXISTS versions_prints ON versions(content_print, name_print);
CREATE TABLE IF NOT EXISTS contents(version INTEGER PRIMARY KEY, content BLOB NOT NULL);
CREATE TRIGGER IF NOT EXISTS versions_gone AFTER DELETE ON versions
  BEGIN DELETE FROM contents WHERE version = old.id; END;
CREATE TABLE IF NOT EXISTS book_words(book INTEGER NOT NULL, session INTEGER NOT NULL,
  time INTEGER NOT NULL, words INTEGER NOT NULL);
CREATE INDEX IF NOT EXISTS book_words_time ON book_words(book, time);
CREATE TABLE IF NOT EXISTS sessions(id INTEGER PRIMARY KEY, started INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS places(path BLOB PRIMARY KEY, chapter INTEGER NOT NULL,
  caret INTEGER NOT NULL, line INTEGER NOT NULL, time INTEGER NOT NULL) WITHOUT ROWID;
)";

int64_t signed_print(std::string_view bytes) { return static_cast<int64_t>(fingerprint(bytes)); }

// A chapter of the book as the store last recorded it.
struct Recorded {
  int64_t id = 0;
  int position = 0;
  int64_t name_print = 0, content_print = 0;
  bool live = true;
};

// Which recorded chapter each of the book's chapters is: the same name and
// content, else the same content (moved, renamed), else the same name
// (edited), else a deleted chapter with the same content (brought back);
// nearer places first among equals. 0: a new chapter.
std::vector<int64_t> match_chapters(const std::vector<int64_t>& names,
                                    const std::vector<int64_t>& contents,
                                    const std::vector<Recorded>& recorded) {
  const size_t n = names.size();
  std::vector<int64_t> ids(n, 0);
  std::vector<bool> taken(recorded.size(), false);
  auto pass = [&](auto key_of_recorded, auto key_of_chapter, bool live) {
    std::map<std::pair<int64_t, int64_t>, std::deque<size_t>> waiting;
    for (size_t r = 0; r < recorded.size(); ++r) {
      if (!taken[r] && recorded[r].live == live) waiting[key_of_recorded(recorded[r])].push_back(r);
    }
    for (size_t i = 0; i < n; ++i) {
      if (ids[i]) continue;
      const auto found = waiting.find(key_of_chapter(i));
      if (found == waiting.end() || found->second.empty()) continue;
      const size_t r = found->second.front();
      found->second.pop_front();
      taken[r] = true;
      ids[i] = recorded[r].id;
    }
  };
  pass([](const Recorded& r) { return std::pair(r.name_print, r.content_print); },
       [&](size_t i) { return std::pair(names[i], contents[i]); }, true);
  pass([](const Recorded& r) { return std::pair(int64_t{0}, r.content_print); },
       [&](size_t i) { return std::pair(int64_t{0}, contents[i]); }, true);
  pass([](const Recorded& r) { return std::pair(r.name_print, int64_t{0}); },
       [&](size_t i) { return std::pair(names[i], int64_t{0}); }, true);
  pass([](const Recorded& r) { return std::pair(int64_t{0}, r.content_print); },
       [&](size_t i) { return std::pair(int64_t{0}, contents[i]); }, false);
  return ids;
}

// The chapter's content as a block of the book's codec: the block the book
// file holds when the chapter was just read from it (unencrypted, the same
// bytes), else compressed anew.
std::string block_of(const Book& book, const Chapter& chapter, uint64_t content_print) {
  const StoredItem& stored = chapter.stored_content;
  if (book.stored_image && book.stored_password.empty() && stored.image == book.stored_image_id &&
      stored.length > 0 && stored.plain_size == chapter.content.size() &&
      stored.plain_fingerprint == content_print &&
      uint64_t{stored.offset} + stored.length <= book.stored_image->size()) {
    return book.stored_image->substr(stored.offset, stored.length);
  }
  return compress_block(chapter.content);
}

}  // namespace

StoreClock system_store_clock() {
  StoreClock clock;
  clock.now = [] {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
  };
  const std::time_t now = std::time(nullptr);
  std::tm local{}, utc{};
#ifdef _WIN32
  localtime_s(&local, &now);
  gmtime_s(&utc, &now);
#else
  localtime_r(&now, &local);
  gmtime_r(&now, &utc);
#endif
  utc.tm_isdst = local.tm_isdst;
  clock.utc_offset = static_cast<int64_t>(std::difftime(std::mktime(&local), std::mktime(&utc)));
  return clock;
}

WritingStore::WritingStore(std::filesystem::path path, const StoreSettings& settings,
                           StoreClock clock)
    : path_(std::move(path)), settings_(settings), clock_(std::move(clock)) {}

std::filesystem::path WritingStore::set_aside(const std::filesystem::path& path, int64_t now) {
  std::filesystem::path aside = path;
  aside += ".damaged-" + std::to_string(now);
  std::error_code error;
  std::filesystem::rename(path, aside, error);
  for (const char* journal : {"-wal", "-shm", "-journal"}) {
    std::filesystem::path file = path;
    file += journal;
    std::filesystem::path moved = aside;
    moved += journal;
    std::filesystem::rename(file, moved, error);
  }
  return aside;
}

WritingStore::Opened WritingStore::open(const std::filesystem::path& path,
                                        const StoreSettings& settings, StoreClock clock) {
  Opened opened;
  std::error_code error;
  std::filesystem::create_directories(path.parent_path(), error);
  for (int attempt = 0; attempt < 2; ++attempt) {
    std::unique_ptr<WritingStore> store(new WritingStore(path, settings, clock));
    int code = store->db_.open(path, settings.busy_timeout_ms);
    if (code == SQLITE_OK) code = store->db_.exec("PRAGMA journal_mode=WAL");
    if (code == SQLITE_OK) code = store->db_.exec(kSchema);
    if (code == SQLITE_OK) {
      SqliteStatement check(store->db_, "SELECT count(*) FROM versions");
      code = check.step() == SQLITE_ROW ? SQLITE_OK : SQLITE_CORRUPT;
    }
    opened.status = store->status_of(code);
    if (opened.status == StoreStatus::ok) {
      opened.store = std::move(store);
      return opened;
    }
    opened.error = store->db_.error();
    if (opened.status != StoreStatus::damaged || attempt) return opened;
    store.reset();
    opened.set_aside_to = set_aside(path, clock.now());
  }
  return opened;
}

StoreStatus WritingStore::status_of(int code) const {
  switch (code & 0xff) {
    case SQLITE_OK:
    case SQLITE_DONE:
    case SQLITE_ROW:
      return StoreStatus::ok;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return StoreStatus::busy;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
      return StoreStatus::damaged;
    default:
      return StoreStatus::failed;
  }
}

int64_t WritingStore::begin_session() {
  SqliteStatement insert(db_, "INSERT INTO sessions(started) VALUES(?)");
  return insert.bind(1, now()).run() ? db_.last_insert_id() : 0;
}

int64_t WritingStore::book_of(std::string_view path) const {
  SqliteStatement find(db_, "SELECT book FROM book_paths WHERE path = ?");
  return find.bind(1, path).step() == SQLITE_ROW ? find.integer(0) : 0;
}

int64_t WritingStore::new_book() {
  SqliteStatement(db_, "INSERT INTO books(created) VALUES(?)").bind(1, now()).run();
  return db_.last_insert_id();
}

void WritingStore::add_path(std::string_view path, int64_t book) {
  SqliteStatement(db_, "INSERT OR REPLACE INTO book_paths(path, book) VALUES(?, ?)")
      .bind(1, path)
      .bind(2, book)
      .run();
}

// The book a save belongs to: the one of its path, else the one of the path
// it was saved from, else the one most of whose chapters it holds unchanged
// (a file renamed or copied outside the editor), else a new one.
int64_t WritingStore::book_for_save(const SavedBook& saved,
                                    const std::vector<uint64_t>& content_prints) {
  if (const int64_t book = book_of(saved.path)) return book;
  int64_t book = saved.previous_path.empty() ? 0 : book_of(saved.previous_path);
  if (!book) {
    std::vector<int64_t> telling;
    for (size_t i = 0; i < saved.book->chapters.size(); ++i) {
      if (saved.book->chapters[i].content.size() > kTellingContent) {
        telling.push_back(static_cast<int64_t>(content_prints[i]));
      }
    }
    std::sort(telling.begin(), telling.end());
    telling.erase(std::unique(telling.begin(), telling.end()), telling.end());
    if (!telling.empty()) {
      db_.exec("CREATE TEMP TABLE IF NOT EXISTS probe(print INTEGER PRIMARY KEY)");
      db_.exec("DELETE FROM probe");
      SqliteStatement insert(db_, "INSERT OR IGNORE INTO probe(print) VALUES(?)");
      for (int64_t print : telling) {
        insert.bind(1, print).run();
        insert.reset();
      }
      SqliteStatement best(db_,
                           "SELECT c.book, COUNT(DISTINCT v.content_print), "
                           "(SELECT COUNT(*) FROM chapters l WHERE l.book = c.book AND "
                           "l.position IS NOT NULL AND l.latest IN (SELECT id FROM versions "
                           "WHERE size > ?)) FROM chapters c JOIN versions v ON v.id = c.latest "
                           "WHERE c.position IS NOT NULL AND v.content_print IN "
                           "(SELECT print FROM probe) GROUP BY c.book ORDER BY 2 DESC LIMIT 1");
      best.bind(1, static_cast<int64_t>(kTellingContent));
      if (best.step() == SQLITE_ROW) {
        const int64_t matched = best.integer(1);
        const int64_t theirs = best.integer(2);
        const int64_t ours = static_cast<int64_t>(telling.size());
        if (matched * 2 > std::max(ours, theirs)) book = best.integer(0);
      }
    }
  }
  if (!book) book = new_book();
  add_path(saved.path, book);
  return book;
}

StoreStatus WritingStore::record_save(const SavedBook& saved, int* versions) {
  if (versions) *versions = 0;
  const std::vector<Chapter>& chapters = saved.book->chapters;
  std::vector<uint64_t> content_prints(chapters.size());
  std::vector<int64_t> names(chapters.size()), contents(chapters.size());
  for (size_t i = 0; i < chapters.size(); ++i) {
    content_prints[i] = fingerprint(chapters[i].content);
    contents[i] = static_cast<int64_t>(content_prints[i]);
    names[i] = signed_print(chapters[i].name);
  }
  SqliteTransaction transaction(db_);
  if (!transaction.began()) return status_of(transaction.begin_status());
  const int64_t book = book_for_save(saved, content_prints);
  const int64_t time = now();

  std::vector<Recorded> recorded;
  {
    SqliteStatement list(db_,
                         "SELECT c.id, c.position, v.name_print, v.content_print FROM chapters c "
                         "JOIN versions v ON v.id = c.latest WHERE c.book = ? "
                         "ORDER BY c.position IS NULL, c.position, c.last_position");
    list.bind(1, book);
    while (list.step() == SQLITE_ROW) {
      recorded.push_back({list.integer(0), static_cast<int>(list.integer(1)), list.integer(2),
                          list.integer(3), !list.is_null(1)});
    }
  }
  std::vector<int64_t> ids =
      saved.keep_text ? match_chapters(names, contents, recorded) : std::vector<int64_t>();
  std::map<int64_t, const Recorded*> by_id;
  for (const Recorded& r : recorded) by_id[r.id] = &r;
  // A chapter made again as one of its earlier versions (restored, undone)
  // is that chapter, when no other chapter took it.
  if (!recorded.empty()) {
    std::set<int64_t> taken(ids.begin(), ids.end());
    SqliteStatement earlier(db_,
                            "SELECT DISTINCT v.chapter FROM versions v JOIN chapters c "
                            "ON c.id = v.chapter WHERE c.book = ? AND v.content_print = ? "
                            "AND v.name_print = ?");
    for (size_t i = 0; i < ids.size(); ++i) {
      if (ids[i]) continue;
      earlier.bind(1, book).bind(2, contents[i]).bind(3, names[i]);
      while (earlier.step() == SQLITE_ROW) {
        const int64_t id = earlier.integer(0);
        if (!taken.count(id) && by_id.count(id)) {
          ids[i] = id;
          taken.insert(id);
          break;
        }
      }
      earlier.reset();
    }
  }

  SqliteStatement add_chapter(
      db_, "INSERT INTO chapters(book, position, last_position) VALUES(?, ?, ?)");
  SqliteStatement add_version(db_,
                              "INSERT INTO versions(chapter, time, kind, name, size, "
                              "stored, words, name_print, content_print) "
                              "VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?)");
  SqliteStatement add_content(db_, "INSERT INTO contents(version, content) VALUES(?, ?)");
  SqliteStatement place(db_,
                        "UPDATE chapters SET position = ?, last_position = ?, deleted = NULL, "
                        "latest = COALESCE(?, latest) WHERE id = ?");
  int recorded_now = 0;
  bool failed = false;
  for (size_t i = 0; i < ids.size() && !failed; ++i) {
    const Chapter& chapter = chapters[i];
    const int position = static_cast<int>(i + 1);
    if (!ids[i]) {
      if (!add_chapter.bind(1, book).bind(2, position).bind(3, position).run()) {
        failed = true;
        break;
      }
      add_chapter.reset();
      ids[i] = db_.last_insert_id();
    }
    const Recorded* was = by_id.count(ids[i]) ? by_id[ids[i]] : nullptr;
    const bool changed = !was || was->name_print != names[i] || was->content_print != contents[i];
    std::optional<int64_t> latest;
    if (changed) {
      const std::string block = block_of(*saved.book, chapter, content_prints[i]);
      const int64_t words = saved.words ? saved.words(chapter) : 0;
      if (!add_version.bind(1, ids[i])
               .bind(2, time)
               .bind(3, chapter.kind)
               .bind(4, chapter.name)
               .bind(5, static_cast<int64_t>(chapter.content.size()))
               .bind(6, static_cast<int64_t>(block.size() + chapter.name.size()))
               .bind(7, words)
               .bind(8, names[i])
               .bind(9, contents[i])
               .run()) {
        failed = true;
        break;
      }
      add_version.reset();
      latest = db_.last_insert_id();
      failed = !add_content.bind(1, *latest).bind(2, block).run();
      add_content.reset();
      if (failed) break;
      ++recorded_now;
    }
    if (changed || !was->live || was->position != position) {
      place.bind(1, position).bind(2, position).bind(4, ids[i]);
      if (latest) place.bind(3, *latest);
      failed = !place.run();
      place.reset();
    }
  }
  if (failed) return status_of(sqlite3_errcode(db_.handle()));  // nothing of it is kept
  // Chapters the book no longer holds.
  std::vector<bool> kept(recorded.size(), false);
  std::map<int64_t, size_t> index_of;
  for (size_t r = 0; r < recorded.size(); ++r) index_of[recorded[r].id] = r;
  for (int64_t id : ids) {
    if (index_of.count(id)) kept[index_of[id]] = true;
  }
  SqliteStatement gone(db_, "UPDATE chapters SET position = NULL, deleted = ? WHERE id = ?");
  for (size_t r = 0; r < recorded.size() && saved.keep_text; ++r) {
    if (kept[r] || !recorded[r].live) continue;
    gone.bind(1, time).bind(2, recorded[r].id).run();
    gone.reset();
  }
  SqliteStatement words(db_, "INSERT INTO book_words(book, session, time, words) VALUES(?,?,?,?)");
  words.bind(1, book).bind(2, saved.session).bind(3, time).bind(4, saved.book_words);
  if (!words.run() || !thin()) return status_of(sqlite3_errcode(db_.handle()));
  if (!transaction.commit()) return status_of(sqlite3_errcode(db_.handle()));
  if (versions) *versions = recorded_now;
  return StoreStatus::ok;
}

// Keeps every version of the last days, then the last of each day, then
// drops the oldest (never a chapter's latest) while the store is over its cap.
bool WritingStore::thin() {
  const int64_t cutoff = day_start(writing_day(now()) - settings_.keep_all_days + 1);
  const int64_t shift = clock_.utc_offset - settings_.day_start_hour * int64_t{3600};
  SqliteStatement daily(db_,
                        "DELETE FROM versions WHERE time < ?1 AND id NOT IN "
                        "(SELECT MAX(id) FROM versions WHERE time < ?1 "
                        "GROUP BY chapter, (time + ?2) / 86400)");
  if (!daily.bind(1, cutoff).bind(2, shift).run()) return false;
  int64_t over = stored_bytes() - settings_.cap_bytes;
  while (over > 0) {
    SqliteStatement oldest(db_,
                           "SELECT id, stored FROM versions WHERE id NOT IN "
                           "(SELECT latest FROM chapters WHERE latest IS NOT NULL) "
                           "ORDER BY time, id LIMIT 64");
    SqliteStatement drop(db_, "DELETE FROM versions WHERE id = ?");
    bool dropped = false;
    while (over > 0 && oldest.step() == SQLITE_ROW) {
      const int64_t id = oldest.integer(0), stored = oldest.integer(1);
      if (!drop.bind(1, id).run()) return false;
      drop.reset();
      over -= stored;
      dropped = true;
    }
    if (!dropped) break;  // only latest versions are left
  }
  return true;
}

int64_t WritingStore::stored_bytes() {
  SqliteStatement sum(db_, "SELECT COALESCE(SUM(stored), 0) FROM versions");
  return sum.step() == SQLITE_ROW ? sum.integer(0) : 0;
}

StoreStatus WritingStore::record_words(std::string_view path, int64_t words, int64_t session) {
  SqliteTransaction transaction(db_);
  if (!transaction.began()) return status_of(transaction.begin_status());
  int64_t book = book_of(path);
  if (!book) {
    book = new_book();
    add_path(path, book);
  }
  SqliteStatement insert(db_, "INSERT INTO book_words(book, session, time, words) VALUES(?,?,?,?)");
  if (!insert.bind(1, book).bind(2, session).bind(3, now()).bind(4, words).run() ||
      !transaction.commit()) {
    return status_of(sqlite3_errcode(db_.handle()));
  }
  return StoreStatus::ok;
}

std::vector<ChapterVersion> WritingStore::versions_of(std::string_view path, const Chapter& chapter,
                                                      int position) {
  std::vector<ChapterVersion> list;
  const int64_t book = book_of(path);
  if (!book) return list;
  SqliteStatement find(db_,
                       "SELECT c.id FROM chapters c JOIN versions v ON v.id = c.latest "
                       "WHERE c.book = ? AND c.position IS NOT NULL "
                       "AND (v.content_print = ?2 OR v.name_print = ?3 OR c.position = ?4) "
                       "ORDER BY (v.content_print = ?2) * 4 + (v.name_print = ?3) * 2 "
                       "+ (c.position = ?4) DESC, ABS(c.position - ?4) LIMIT 1");
  find.bind(1, book)
      .bind(2, signed_print(chapter.content))
      .bind(3, signed_print(chapter.name))
      .bind(4, position);
  if (find.step() != SQLITE_ROW) return list;
  SqliteStatement versions(db_,
                           "SELECT id, time, name, words, size FROM versions WHERE chapter = ? "
                           "ORDER BY id DESC");
  versions.bind(1, find.integer(0));
  while (versions.step() == SQLITE_ROW) {
    list.push_back({versions.integer(0), versions.integer(1), versions.blob(2), versions.integer(3),
                    versions.integer(4)});
  }
  return list;
}

std::optional<Chapter> WritingStore::version(int64_t id) {
  SqliteStatement find(db_,
                       "SELECT kind, name, content FROM versions JOIN contents "
                       "ON contents.version = versions.id WHERE id = ?");
  if (find.bind(1, id).step() != SQLITE_ROW) return std::nullopt;
  Chapter chapter;
  chapter.kind = static_cast<int32_t>(find.integer(0));
  chapter.name = find.blob(1);
  const std::string block = find.blob(2);
  chapter.content = decompress_block(block);
  if (chapter.content.empty() && !is_empty_block(block)) return std::nullopt;
  return chapter;
}

std::vector<DeletedChapter> WritingStore::deleted_chapters(std::string_view path) {
  std::vector<DeletedChapter> list;
  const int64_t book = book_of(path);
  if (!book) return list;
  SqliteStatement find(db_,
                       "SELECT c.id, c.last_position, c.deleted, v.id, v.time, v.name, v.words, "
                       "v.size FROM chapters c JOIN versions v ON v.id = c.latest "
                       "WHERE c.book = ? AND c.position IS NULL ORDER BY c.deleted DESC, c.id");
  find.bind(1, book);
  while (find.step() == SQLITE_ROW) {
    list.push_back(
        {find.integer(0),
         static_cast<int>(find.integer(1)),
         find.integer(2),
         {find.integer(3), find.integer(4), find.blob(5), find.integer(6), find.integer(7)}});
  }
  return list;
}

int64_t WritingStore::writing_day(int64_t time) const {
  const int64_t local = time + clock_.utc_offset - settings_.day_start_hour * int64_t{3600};
  return local >= 0 ? local / kDay : -((-local + kDay - 1) / kDay);
}

int64_t WritingStore::day_start(int64_t day) const {
  return day * kDay - clock_.utc_offset + settings_.day_start_hour * int64_t{3600};
}

int64_t WritingStore::words_today(std::string_view path, int64_t words) {
  const int64_t book = book_of(path);
  if (!book) return 0;
  const int64_t start = day_start(writing_day(now()));
  SqliteStatement before(db_,
                         "SELECT words FROM book_words WHERE book = ? AND time < ? "
                         "ORDER BY time DESC, rowid DESC LIMIT 1");
  if (before.bind(1, book).bind(2, start).step() == SQLITE_ROW) return words - before.integer(0);
  SqliteStatement first(db_,
                        "SELECT words FROM book_words WHERE book = ? AND time >= ? "
                        "ORDER BY time, rowid LIMIT 1");
  if (first.bind(1, book).bind(2, start).step() == SQLITE_ROW) return words - first.integer(0);
  return 0;
}

WritingStore::Stats WritingStore::stats(int days) {
  Stats stats;
  days = std::max(days, 1);
  const int64_t today = writing_day(now());
  stats.first_day = today - days + 1;
  stats.days.assign(static_cast<size_t>(days), 0);
  const int64_t from = day_start(stats.first_day);
  const int64_t today_from = day_start(today);

  struct Session {
    int64_t first_time = 0, last_time = 0, first_words = 0, last_words = 0;
  };
  std::map<int64_t, Session> sessions;
  SqliteStatement books(db_, "SELECT DISTINCT book FROM book_words");
  while (books.step() == SQLITE_ROW) {
    const int64_t book = books.integer(0);
    BookWords totals;
    SqliteStatement path(db_, "SELECT path FROM book_paths WHERE book = ? LIMIT 1");
    if (path.bind(1, book).step() == SQLITE_ROW) totals.path = path.blob(0);
    // Each day's change is its last count less the last count before it
    // (the first count of the book, for a book first seen that day).
    std::optional<int64_t> last;
    SqliteStatement before(db_,
                           "SELECT words FROM book_words WHERE book = ? AND time < ? "
                           "ORDER BY time DESC, rowid DESC LIMIT 1");
    if (before.bind(1, book).bind(2, from).step() == SQLITE_ROW) last = before.integer(0);
    SqliteStatement rows(db_,
                         "SELECT time, words, session FROM book_words WHERE book = ? AND "
                         "time >= ? ORDER BY time, rowid");
    rows.bind(1, book).bind(2, from);
    while (rows.step() == SQLITE_ROW) {
      const int64_t time = rows.integer(0), words = rows.integer(1);
      const int64_t day = std::min(writing_day(time), today);
      const int64_t change = last ? words - *last : 0;
      stats.days[static_cast<size_t>(day - stats.first_day)] += change;
      totals.period += change;
      last = words;
      if (time >= today_from) {
        Session& s = sessions[rows.integer(2)];
        if (!s.first_time) {
          s.first_time = time;
          s.first_words = words;
        }
        s.last_time = time;
        s.last_words = words;
      }
    }
    SqliteStatement latest(db_,
                           "SELECT words FROM book_words WHERE book = ? "
                           "ORDER BY time DESC, rowid DESC LIMIT 1");
    if (latest.bind(1, book).step() == SQLITE_ROW) totals.words = latest.integer(0);
    stats.books.push_back(std::move(totals));
  }
  int64_t words = 0, seconds = 0;
  for (const auto& [id, s] : sessions) {
    words += s.last_words - s.first_words;
    seconds += s.last_time - s.first_time;
  }
  // A few minutes say nothing of a pace.
  if (seconds >= kLeastPaceSeconds) {
    stats.words_per_hour = static_cast<double>(words) * 3600.0 / static_cast<double>(seconds);
  }
  return stats;
}

// Days since 1970 to a date of the proleptic Gregorian calendar.
CivilDate civil_date(int64_t day) {
  const int64_t z = day + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t d = doy - (153 * mp + 2) / 5 + 1;
  const int64_t m = mp < 10 ? mp + 3 : mp - 9;
  return {static_cast<int>(yoe + era * 400 + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

std::string local_time_text(const WritingStore& store, int64_t time) {
  const int64_t local = time + store.utc_offset();
  const int64_t day = local >= 0 ? local / kDay : -((-local + kDay - 1) / kDay);
  const int64_t second = local - day * kDay;
  const CivilDate date = civil_date(day);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", date.year, date.month, date.day,
                static_cast<int>(second / 3600), static_cast<int>(second / 60 % 60));
  return text;
}

int writing_streak(const std::vector<int64_t>& days, int64_t goal) {
  if (goal <= 0 || days.empty()) return 0;
  size_t end = days.size();
  if (days.back() < goal) --end;  // today may still get there
  int streak = 0;
  while (end > 0 && days[end - 1] >= goal) {
    ++streak;
    --end;
  }
  return streak;
}

StoreStatus WritingStore::remember_place(std::string_view path, const BookPlace& place) {
  SqliteStatement put(db_,
                      "INSERT OR REPLACE INTO places(path, chapter, caret, line, time) "
                      "VALUES(?, ?, ?, ?, ?)");
  put.bind(1, path).bind(2, place.chapter).bind(3, place.caret).bind(4, place.line).bind(5, now());
  return put.run() ? StoreStatus::ok : status_of(sqlite3_errcode(db_.handle()));
}

std::optional<BookPlace> WritingStore::place_of(std::string_view path) {
  SqliteStatement find(db_, "SELECT chapter, caret, line FROM places WHERE path = ?");
  if (find.bind(1, path).step() != SQLITE_ROW) return std::nullopt;
  return BookPlace{find.integer(0), find.integer(1), find.integer(2)};
}

}  // namespace folivra
