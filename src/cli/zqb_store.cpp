// zqb history, restore and stats: the writing store from the command line.
#include "cli/zqb_store.h"

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>

#include "book/book_file.h"
#include "book/gbk.h"
#include "document/document.h"
#include "store/writing_store.h"
#include "text/plain_text.h"
#include "text/word_count.h"
#include <nlohmann/json.hpp>

namespace folivra::zqb {

namespace {

namespace fs = std::filesystem;

int usage_message(const std::string& message) {
  std::cerr << "zqb: " << message << "\n";
  return kUsageError;
}

// --store, else $XDG_DATA_HOME/folivra/folivra.db, else ~/.local/share/folivra/.
fs::path store_path(const Arguments& args) {
  if (args.store) return fs::path(*args.store);
  if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data) {
    return fs::path(data) / "folivra" / "folivra.db";
  }
  const char* home = std::getenv("HOME");
  return fs::path(home && *home ? home : ".") / ".local" / "share" / "folivra" / "folivra.db";
}

std::unique_ptr<WritingStore> open_store(const Arguments& args) {
  WritingStore::Opened opened = WritingStore::open(store_path(args));
  if (!opened.set_aside_to.empty()) {
    std::cerr << "zqb: the writing store was damaged; it was renamed "
              << opened.set_aside_to.string() << " and a new one started\n";
  }
  if (!opened.store) {
    std::cerr << "zqb: cannot use the writing store " << store_path(args).string() << " ("
              << opened.error << ")\n";
  }
  return std::move(opened.store);
}

// How the store names a book file: its absolute path.
std::string book_key(const std::string& path) {
  std::error_code error;
  const fs::path absolute = fs::absolute(fs::path(path), error).lexically_normal();
  const std::u8string text = absolute.u8string();
  return std::string(text.begin(), text.end());
}

int64_t book_words(const Book& book) {
  int64_t words = 0;
  for (const Chapter& chapter : book.chapters) words += count_words(chapter.content).words;
  return words;
}

std::optional<int64_t> number_of(const std::string& text) {
  int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

int read_for_history(const Arguments& args, Book& book) {
  std::string password;
  if (args.password) {
    const std::optional<std::string> gbk = utf8_to_gbk(*args.password);
    if (!gbk) {
      std::cerr << "zqb: the password holds a character that GBK cannot represent\n";
      return kUsageError;
    }
    password = *gbk;
  }
  const ReadStatus status = read_book(args.positional[0], password, book);
  if (status != ReadStatus::ok) {
    std::cerr << "zqb: " << args.positional[0] << ": cannot read the book (status "
              << static_cast<int>(status) << "; zqb check tells more)\n";
  }
  return static_cast<int>(status);
}

// Chapter N of the book, or a message and nothing.
std::optional<int> chapter_number(const Book& book, const std::string& text) {
  const std::optional<int64_t> n = number_of(text);
  if (!n || *n < 1 || *n > static_cast<int64_t>(book.chapters.size())) {
    std::cerr << "zqb: no chapter " << text << " (the book has " << book.chapters.size() << ")\n";
    return std::nullopt;
  }
  return static_cast<int>(*n);
}

// Version K of chapter N's history, or a message and nothing.
std::optional<Chapter> version_of(WritingStore& store, const std::string& key, const Book& book,
                                  int n, const std::string& k) {
  const std::optional<int64_t> id = number_of(k);
  const auto versions = store.versions_of(key, book.chapters[static_cast<size_t>(n - 1)], n);
  for (const ChapterVersion& v : versions) {
    if (id && v.id == *id) {
      std::optional<Chapter> chapter = store.version(v.id);
      if (!chapter) std::cerr << "zqb: version " << k << " cannot be read back\n";
      return chapter;
    }
  }
  std::cerr << "zqb: chapter " << n << " has no recorded version " << k
            << " (zqb history lists them)\n";
  return std::nullopt;
}

void print_versions(const WritingStore& store, int n, const std::vector<ChapterVersion>& list) {
  for (const ChapterVersion& v : list) {
    std::cout << n << "\t" << v.id << "\t" << local_time_text(store, v.time) << "\t" << v.words
              << "\t" << gbk_to_utf8(v.name) << "\n";
  }
}

}  // namespace

void record_in_store(const Arguments& args, const std::string& book_path, const Book& book) {
  std::unique_ptr<WritingStore> store = open_store(args);
  if (!store) return;
  const std::string key = book_key(book_path);
  SavedBook saved{key,
                  &book,
                  [](const Chapter& c) { return int64_t(count_words(c.content).words); },
                  book_words(book),
                  store->begin_session(),
                  {},
                  (book.flags & kFlagProtected) == 0 && book.password.empty()};
  const StoreStatus status = store->record_save(saved);
  if (status != StoreStatus::ok) {
    std::cerr << "zqb: warning: the writing store " << store->path().string()
              << (status == StoreStatus::busy ? " is busy" : " cannot be written")
              << "; no version was recorded\n";
  }
}

int history(const Arguments& args) {
  Book book;
  if (const int status = read_for_history(args, book)) return status;
  std::unique_ptr<WritingStore> store = open_store(args);
  if (!store) return kCannotWrite;
  const std::string key = book_key(args.positional[0]);
  if (args.positional.size() == 1) {
    if (args.show) return usage_message("--show needs a chapter: zqb history BOOK N --show K");
    for (size_t i = 0; i < book.chapters.size(); ++i) {
      const int n = static_cast<int>(i + 1);
      print_versions(*store, n, store->versions_of(key, book.chapters[i], n));
    }
    for (const DeletedChapter& d : store->deleted_chapters(key)) {
      std::cout << "deleted\t" << d.last.id << "\t" << local_time_text(*store, d.last.time) << "\t"
                << d.last.words << "\t" << gbk_to_utf8(d.last.name) << "\n";
    }
    return 0;
  }
  const std::optional<int> n = chapter_number(book, args.positional[1]);
  if (!n) return kUsageError;
  if (!args.show) {
    print_versions(*store, *n,
                   store->versions_of(key, book.chapters[static_cast<size_t>(*n - 1)], *n));
    return 0;
  }
  const std::optional<Chapter> version = version_of(*store, key, book, *n, *args.show);
  if (!version) return kUsageError;
  std::string text = gbk_to_utf8(version->name) + "\n\n";
  append_plain_text(text, version->content, "\n");
  std::cout << text << "\n";
  return 0;
}

int restore(const Arguments& args) {
  Book book;
  if (const int status = read_for_history(args, book)) return status;
  const std::optional<int> n = chapter_number(book, args.positional[1]);
  if (!n) return kUsageError;
  std::unique_ptr<WritingStore> store = open_store(args);
  if (!store) return kCannotWrite;
  const std::string key = book_key(args.positional[0]);
  const std::optional<Chapter> version = version_of(*store, key, book, *n, args.positional[2]);
  if (!version) return kUsageError;
  store.reset();
  record_in_store(args, args.positional[0], book);  // the text it replaces stays recorded
  Document doc;
  doc.replace(std::move(book));
  doc.restore_version(*n, version->name, version->content);
  if (write_book(args.positional[0], doc.book()) != 0) {
    std::cerr << "zqb: cannot write " << args.positional[0] << "; it is unchanged\n";
    return kCannotWrite;
  }
  record_in_store(args, args.positional[0], doc.book());
  return 0;
}

int stats(const Arguments& args) {
  int days = 30;
  if (args.days) {
    const std::optional<int64_t> d = number_of(*args.days);
    if (!d || *d < 1 || *d > 3660) return usage_message("--days is a number of days, 1 to 3660");
    days = static_cast<int>(*d);
  }
  std::unique_ptr<WritingStore> store = open_store(args);
  if (!store) return kCannotWrite;
  const WritingStore::Stats stats = store->stats(days);
  auto date_of = [&](size_t i) {
    const CivilDate d = civil_date(stats.first_day + static_cast<int64_t>(i));
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", d.year, d.month, d.day);
    return std::string(text);
  };
  if (args.json) {
    nlohmann::json list = nlohmann::json::array(), books = nlohmann::json::array();
    for (size_t i = 0; i < stats.days.size(); ++i) {
      list.push_back({{"date", date_of(i)}, {"words", stats.days[i]}});
    }
    for (const auto& b : stats.books) {
      books.push_back({{"path", b.path}, {"words", b.words}, {"period", b.period}});
    }
    const nlohmann::json out = {
        {"days", list}, {"words_per_hour", stats.words_per_hour}, {"books", books}};
    std::cout << out.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
    return 0;
  }
  for (size_t i = 0; i < stats.days.size(); ++i) {
    std::cout << date_of(i) << "\t" << (stats.days[i] >= 0 ? "+" : "") << stats.days[i] << "\n";
  }
  std::cout << "today's words per hour\t" << static_cast<int64_t>(stats.words_per_hour) << "\n";
  for (const auto& b : stats.books) {
    std::cout << "book\t" << b.path << "\t" << b.words << "\t" << (b.period >= 0 ? "+" : "")
              << b.period << "\n";
  }
  return 0;
}

}  // namespace folivra::zqb
