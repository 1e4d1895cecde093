#include "store/writing_store.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <thread>

#include "book/book_file.h"
#include "book/test_books.h"

namespace folivra {
namespace {

// A store in a fresh folder, on a clock the test moves.
class WritingStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("folivra-store-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    clock_.now = [this] { return now_.load(); };
    clock_.utc_offset = 8 * 3600;  // Beijing
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::unique_ptr<WritingStore> open(StoreSettings settings = {}) {
    WritingStore::Opened opened = WritingStore::open(db(), settings, clock_);
    EXPECT_EQ(opened.status, StoreStatus::ok) << opened.error;
    return std::move(opened.store);
  }
  std::filesystem::path db() const { return dir_ / "folivra.db"; }

  static Chapter chapter(std::string name, std::string text) {
    Chapter c;
    c.name = std::move(name);
    c.content = "{\\rtf1\\ansi " + text + "\\par}";
    return c;
  }
  int save(WritingStore& store, const std::string& path, const Book& book,
           std::string_view previous = {}, int64_t words = 0) {
    int versions = -1;
    SavedBook saved{path,  &book,    [](const Chapter& c) { return int64_t(c.content.size()); },
                    words, session_, previous};
    EXPECT_EQ(store.record_save(saved, &versions), StoreStatus::ok);
    return versions;
  }
  // Local time in Beijing on day `day` of December 2026 (1796832000: the 10th, 00:00).
  static int64_t at(int day, int hour, int minute = 0) {
    return int64_t{1796832000} + (day - 10) * 86400 + hour * 3600 + minute * 60;
  }

  std::filesystem::path dir_;
  StoreClock clock_;
  std::atomic<int64_t> now_{at(10, 9)};
  int64_t session_ = 1;
};

TEST_F(WritingStoreTest, SavesRecordOnlyWhatChangedAndFollowChaptersThatMove) {
  auto store = open();
  Book book;
  book.chapters = {chapter("one", "first"), chapter("two", "second"), chapter("three", "third")};
  EXPECT_EQ(save(*store, "/b/novel.zqb", book), 3);
  EXPECT_EQ(save(*store, "/b/novel.zqb", book), 0);

  book.chapters[1] = chapter("two", "second, longer");
  EXPECT_EQ(save(*store, "/b/novel.zqb", book), 1);
  book.chapters[0].name = "one, renamed";
  EXPECT_EQ(save(*store, "/b/novel.zqb", book), 1);
  std::rotate(book.chapters.begin(), book.chapters.begin() + 1, book.chapters.end());
  EXPECT_EQ(save(*store, "/b/novel.zqb", book), 0);  // moved: nothing new

  // Chapter "two" is first now and keeps both its versions, newest first.
  const auto versions = store->versions_of("/b/novel.zqb", book.chapters[0], 1);
  ASSERT_EQ(versions.size(), 2u);
  EXPECT_EQ(store->version(versions[0].id)->content, book.chapters[0].content);
  EXPECT_EQ(store->version(versions[1].id)->content, chapter("", "second").content);
  EXPECT_EQ(versions[1].words, int64_t(chapter("", "second").content.size()));
  // An unsaved edit of a chapter still finds its history by name.
  Chapter edited = book.chapters[2];
  edited.content = chapter("", "rewritten").content;
  EXPECT_EQ(store->versions_of("/b/novel.zqb", edited, 3).size(), 2u);

  // A deleted chapter is listed, and one brought back is the same chapter.
  const Chapter three = book.chapters[1];
  book.chapters.erase(book.chapters.begin() + 1);
  EXPECT_EQ(save(*store, "/b/novel.zqb", book), 0);
  const auto deleted = store->deleted_chapters("/b/novel.zqb");
  ASSERT_EQ(deleted.size(), 1u);
  EXPECT_EQ(deleted[0].last.name, "three");
  EXPECT_EQ(deleted[0].position, 2);
  EXPECT_EQ(store->version(deleted[0].last.id)->content, three.content);
  book.chapters.push_back(three);
  EXPECT_EQ(save(*store, "/b/novel.zqb", book), 0);
  EXPECT_TRUE(store->deleted_chapters("/b/novel.zqb").empty());
  // A chapter brought back by undo is recorded like any other change.
  book.chapters[0] = chapter("two", "second");
  EXPECT_EQ(save(*store, "/b/novel.zqb", book), 1);
  EXPECT_EQ(store->versions_of("/b/novel.zqb", book.chapters[0], 1).size(), 3u);
}

// A book just read from its file gives the store its stored blocks as they
// are; what comes back is the chapter, byte for byte.
TEST_F(WritingStoreTest, ABookReadFromItsFileIsRecordedFromItsStoredBlocks) {
  Book written = test::sample_book(3);
  written.chapters[1].content += std::string(5000, 'y');
  const std::filesystem::path file = dir_ / "book.zqb";
  ASSERT_EQ(write_book(file, written), 0);
  Book book;
  ASSERT_EQ(read_book(file, "", book), ReadStatus::ok);
  auto store = open();
  EXPECT_EQ(save(*store, "/book.zqb", book), 3);
  const std::string image = test::read_bytes(file);
  int64_t blocks = 0;
  for (int p = 1; p <= 3; ++p) {
    const Chapter& chapter = book.chapters[static_cast<size_t>(p - 1)];
    const auto versions = store->versions_of("/book.zqb", chapter, p);
    ASSERT_EQ(versions.size(), 1u);
    EXPECT_EQ(store->version(versions[0].id)->content,
              written.chapters[static_cast<size_t>(p - 1)].content);
    blocks += chapter.stored_content.length + static_cast<int64_t>(chapter.name.size());
  }
  EXPECT_EQ(store->stored_bytes(), blocks) << "the file's own blocks, not compressed again";
}

TEST_F(WritingStoreTest, OldVersionsThinToOneADayThenTheCapDropsTheOldest) {
  StoreSettings settings;
  auto store = open(settings);
  Book book;
  book.chapters = {chapter("c", "v")};
  // Four saves a day for 40 days, each a new version.
  for (int day = 0; day < 40; ++day) {
    for (int hour : {9, 12, 15, 23}) {
      now_ = at(10, hour) + day * int64_t{86400};
      const std::string version = std::to_string(day * 100 + hour);
      book.chapters[0].content = chapter("", version).content;
      EXPECT_EQ(save(*store, "/b.zqb", book), 1);
    }
  }
  const auto versions = store->versions_of("/b.zqb", book.chapters[0], 1);
  // The last 30 days keep all four, the 10 before one each: the day's last.
  ASSERT_EQ(versions.size(), 30u * 4 + 10);
  const ChapterVersion& oldest = versions.back();
  EXPECT_EQ(oldest.time, at(10, 23));
  EXPECT_EQ(store->version(oldest.id)->content, chapter("", "23").content);

  // Under a cap the oldest go first; the chapter's latest always stays.
  const int64_t one = store->stored_bytes() / static_cast<int64_t>(versions.size());
  settings.cap_bytes = one * 50;
  store = open(settings);
  book.chapters[0].content = chapter("", "last").content;
  EXPECT_EQ(save(*store, "/b.zqb", book), 1);
  const auto capped = store->versions_of("/b.zqb", book.chapters[0], 1);
  EXPECT_LE(store->stored_bytes(), settings.cap_bytes);
  EXPECT_GE(capped.size(), 45u);
  EXPECT_EQ(store->version(capped.front().id)->content, book.chapters[0].content);
  EXPECT_GT(capped.back().time, oldest.time);
  settings.cap_bytes = 1;
  store = open(settings);
  book.chapters[0].content = chapter("", "final").content;
  save(*store, "/b.zqb", book);
  ASSERT_EQ(store->versions_of("/b.zqb", book.chapters[0], 1).size(), 1u);
}

TEST_F(WritingStoreTest, HistoryFollowsABookSavedOrRenamedUnderAnotherName) {
  auto store = open();
  Book book;
  const std::string long_text(400, 'x');
  book.chapters = {chapter("a", long_text + "1"), chapter("b", long_text + "2"),
                   chapter("c", long_text + "3")};
  save(*store, "/old.zqb", book);
  // 另存为: the editor says where from.
  book.chapters[0].content = chapter("", long_text + "1!").content;
  EXPECT_EQ(save(*store, "/new.zqb", book, "/old.zqb"), 1);
  EXPECT_EQ(store->versions_of("/new.zqb", book.chapters[0], 1).size(), 2u);
  // Renamed outside: two of its three chapters are as recorded.
  book.chapters[1].content = chapter("", long_text + "2!").content;
  EXPECT_EQ(save(*store, "/renamed.zqb", book), 1);
  EXPECT_EQ(store->versions_of("/renamed.zqb", book.chapters[1], 2).size(), 2u);
  // Another book with one chapter in common is not the same book.
  Book other;
  other.chapters = {book.chapters[2], chapter("d", long_text + "4"), chapter("e", long_text + "5")};
  EXPECT_EQ(save(*store, "/other.zqb", other), 3);
  EXPECT_EQ(store->versions_of("/other.zqb", other.chapters[0], 1).size(), 1u);
}

TEST_F(WritingStoreTest, ADamagedStoreIsSetAsideAndALockedOneWaitsThenSaysBusy) {
  const std::string garbage(8192, '\x5a');
  { std::ofstream(db(), std::ios::binary) << garbage; }
  WritingStore::Opened opened = WritingStore::open(db(), {}, clock_);
  ASSERT_EQ(opened.status, StoreStatus::ok);
  ASSERT_TRUE(opened.store);
  EXPECT_EQ(test::read_bytes(opened.set_aside_to), garbage);
  Book book;
  book.chapters = {chapter("a", "text")};
  EXPECT_EQ(save(*opened.store, "/a.zqb", book), 1);

  // Another program holds the write lock for longer than the store waits.
  StoreSettings quick;
  quick.busy_timeout_ms = 200;
  auto store = open(quick);
  SqliteDb other;
  ASSERT_EQ(other.open(db(), 0), 0);
  ASSERT_EQ(other.exec("BEGIN EXCLUSIVE"), 0);
  book.chapters[0].content = chapter("", "more").content;
  int versions = -1;
  const SavedBook saved{"/a.zqb", &book, {}, 0, 1, {}};
  EXPECT_EQ(store->record_save(saved, &versions), StoreStatus::busy);
  EXPECT_EQ(versions, 0);
  other.exec("ROLLBACK");
  EXPECT_EQ(store->record_save(saved, &versions), StoreStatus::ok);
  EXPECT_EQ(versions, 1);
}

TEST_F(WritingStoreTest, TwoWritersAtOnceLoseNoVersion) {
  open();  // the schema exists before both start
  constexpr int kSaves = 25;
  auto writer = [&](std::string path) {
    WritingStore::Opened opened = WritingStore::open(db(), {}, clock_);
    ASSERT_TRUE(opened.store);
    Book book;
    book.chapters = {chapter("c", "0")};
    for (int i = 1; i <= kSaves; ++i) {
      book.chapters[0].content = chapter("", path + std::to_string(i)).content;
      int versions = 0;
      ASSERT_EQ(opened.store->record_save({path, &book, {}, i, 1, {}}, &versions), StoreStatus::ok);
      ASSERT_EQ(versions, 1);
    }
  };
  std::thread first(writer, "/one.zqb"), second(writer, "/two.zqb");
  first.join();
  second.join();
  auto store = open();
  for (const char* path : {"/one.zqb", "/two.zqb"}) {
    EXPECT_EQ(store->versions_of(path, chapter("c", ""), 1).size(), size_t{kSaves}) << path;
  }
}

TEST_F(WritingStoreTest, TodaysWordsRunFromTheDaysStartAcrossSessions) {
  auto store = open();
  Book book;
  book.chapters = {chapter("c", "x")};
  now_ = at(9, 22);
  save(*store, "/b.zqb", book, {}, 1000);  // yesterday's last count
  now_ = at(10, 9);
  EXPECT_EQ(store->words_today("/b.zqb", 1000), 0);
  store->record_words("/b.zqb", 1000, store->begin_session());
  now_ = at(10, 10);
  save(*store, "/b.zqb", book, {}, 1600);
  EXPECT_EQ(store->words_today("/b.zqb", 1650), 650);
  now_ = at(10, 23, 50);
  save(*store, "/b.zqb", book, {}, 1800);
  // Past midnight a new day begins, unless the day starts later.
  now_ = at(11, 0, 30);
  save(*store, "/b.zqb", book, {}, 1900);
  EXPECT_EQ(store->words_today("/b.zqb", 1900), 100);
  const auto stats = store->stats(3);
  EXPECT_EQ(stats.days, (std::vector<int64_t>{0, 800, 100}));
  ASSERT_EQ(stats.books.size(), 1u);
  EXPECT_EQ(stats.books[0].words, 1900);
  EXPECT_EQ(stats.books[0].period, 900);

  StoreSettings late;
  late.day_start_hour = 4;
  store = open(late);
  EXPECT_EQ(store->words_today("/b.zqb", 1900), 900);
  EXPECT_EQ(store->stats(2).days, (std::vector<int64_t>{0, 900}));
  // Today's pace: this session wrote 600 words in its hour.
  now_ = at(11, 10);
  store = open();
  session_ = store->begin_session();
  store->record_words("/b.zqb", 1900, session_);
  now_ = at(11, 11);
  save(*store, "/b.zqb", book, {}, 2500);
  EXPECT_NEAR(store->stats(1).words_per_hour, 600, 1e-9);
  EXPECT_EQ(store->words_today("/b.zqb", 2500), 700);
}

TEST(WritingStreak, CountsDaysThatMetTheGoalUpToToday) {
  EXPECT_EQ(writing_streak({3000, 0, 2000, 2500, 100}, 2000), 2);   // today not yet
  EXPECT_EQ(writing_streak({3000, 0, 2000, 2500, 2000}, 2000), 3);  // today met
  EXPECT_EQ(writing_streak({3000, 2000, 1999}, 2000), 2);
  EXPECT_EQ(writing_streak({3000, 0, 0}, 2000), 0);
  EXPECT_EQ(writing_streak({3000}, 0), 0);  // no goal, no streak
}

}  // namespace
}  // namespace folivra
