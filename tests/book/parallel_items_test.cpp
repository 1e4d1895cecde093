// Items decoded and encoded on several threads, and saves that write the
// items nobody changed back as they were stored.
#include <gtest/gtest.h>
#include <zlib.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "book/book_encoding.h"
#include "book/book_file.h"
#include "book/le_bytes.h"
#include "book/task_pool.h"
#include "book/test_books.h"

namespace folivra {
namespace {

using test::layout_of;
using test::stored_item;

// Pins the number of item threads for one scope.
struct Workers {
  explicit Workers(size_t n) { set_item_workers(n); }
  ~Workers() { set_item_workers(0); }
};

void expect_same_report(const ReadReport& a, const ReadReport& b) {
  ASSERT_EQ(a.damaged.size(), b.damaged.size());
  for (size_t i = 0; i < a.damaged.size(); ++i) {
    EXPECT_EQ(a.damaged[i].field, b.damaged[i].field);
    EXPECT_EQ(a.damaged[i].chapter, b.damaged[i].chapter);
    EXPECT_EQ(a.damaged[i].over_budget, b.damaged[i].over_budget);
  }
  EXPECT_EQ(a.truncated, b.truncated);
  EXPECT_EQ(a.chapters_read, b.chapters_read);
}

// A book's image, the same with two items spoiled, and the same cut short
// inside its 251st chapter record.
std::vector<std::string> whole_damaged_and_cut(Book& book) {
  const std::string image = write_book_image(book);
  const test::Layout layout = layout_of(image);
  std::string damaged = image;
  test::spoil(damaged, layout.items[layout.items.size() - 101]);
  test::spoil(damaged, layout.items[40]);
  return {image, damaged, image.substr(0, layout.chapter_ends[250] + 9)};
}

// The item at `offset` stored again as zlib level 0: the same plain bytes in
// a block no default save would write.
std::string with_level0_item(const std::string& image, size_t offset) {
  const std::string item = stored_item(image, offset);
  const uint32_t plain_size = load_le32(item.data() + 8);
  std::string plain(plain_size, '\0');
  uLongf got = plain_size;
  uncompress(reinterpret_cast<Bytef*>(plain.data()), &got,
             reinterpret_cast<const Bytef*>(item.data() + 12),
             static_cast<uLong>(item.size() - 12));
  std::string block = item.substr(4, 8);
  uLongf capacity = compressBound(plain_size);
  std::string stream(capacity, '\0');
  compress2(reinterpret_cast<Bytef*>(stream.data()), &capacity,
            reinterpret_cast<const Bytef*>(plain.data()), plain_size, 0);
  block += stream.substr(0, capacity);
  std::string length(4, '\0');
  store_le32(length.data(), static_cast<uint32_t>(block.size()));
  return image.substr(0, offset) + length + block + image.substr(offset + item.size());
}

Book parse(const std::string& image, std::string_view password, ReadReport* report = nullptr) {
  Book book;
  EXPECT_EQ(parse_book(image, password, book, nullptr, report), ReadStatus::ok);
  return book;
}

TEST(ParallelItems, EveryThreadCountReadsAndWritesTheSameBook) {
  Book book = test::sample_book(300);
  // Two big chapters: the second goes past the file's decoding budget.
  book.chapters[99].content = std::string(30u << 20, 'a');
  book.chapters[199].content = std::string(30u << 20, 'b');
  const std::vector<std::string> files = whole_damaged_and_cut(book);
  for (const std::string* bytes : {&files[0], &files[1], &files[2]}) {
    Book alone, shared;
    ReadReport alone_report, shared_report;
    size_t alone_end = 0, shared_end = 0;
    {
      Workers one(1);
      ASSERT_EQ(parse_book(*bytes, "", alone, &alone_end, &alone_report), ReadStatus::ok);
    }
    for (size_t n : {2u, 5u}) {
      Workers many(n);
      ASSERT_EQ(parse_book(*bytes, "", shared, &shared_end, &shared_report), ReadStatus::ok);
      test::expect_same_content(alone, shared);
      expect_same_report(alone_report, shared_report);
      EXPECT_EQ(alone_end, shared_end);
      shared = {};
    }
    EXPECT_FALSE(alone_report.damaged.empty()) << "the budget and the spoiled items show";
  }
  Book fresh = book;
  std::string alone_image;
  {
    Workers one(1);
    alone_image = encode_book(fresh, 45000.0);
  }
  Workers many(3);
  EXPECT_EQ(encode_book(fresh, 45000.0), alone_image);
}

// The pool's threads are shared by every caller: each job runs exactly once
// whoever calls, calls nest without waiting on each other, and a failing job
// reaches its caller after every helper stopped.
TEST(TaskPool, EveryJobOnceForEveryCallerNestedOrFailing) {
  std::vector<std::thread> callers;
  std::atomic<bool> wrong{false};
  for (int c = 0; c < 4; ++c) {
    callers.emplace_back([&, c] {
      for (int round = 0; round < 50; ++round) {
        const size_t n = 1 + static_cast<size_t>((c * 37 + round * 11) % 300);
        std::vector<std::atomic<int>> runs(n);
        run_parallel(n, 3, [&](size_t i) {
          runs[i]++;
          if (i % 97 == 0) {  // a call inside a job
            std::atomic<int> inner{0};
            run_parallel(20, 2, [&](size_t) { inner++; });
            if (inner != 20) wrong = true;
          }
        });
        for (const auto& r : runs) {
          if (r != 1) wrong = true;
        }
      }
    });
  }
  for (std::thread& t : callers) t.join();
  EXPECT_FALSE(wrong);

  std::atomic<int> ran{0};
  EXPECT_THROW(run_parallel(1000, 4,
                            [&](size_t i) {
                              ran++;
                              if (i == 10) throw std::runtime_error("job");
                            }),
               std::runtime_error);
  const int after = ran;
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(ran, after) << "nothing runs after the caller has its failure";
}

// A book shown from its names first: the read leaves the large contents to
// decode_pending, which ends with the very book and findings a whole read
// gives, stored items included (so a save writes the same bytes), damaged,
// cut and past-the-budget files as well.
TEST(DeferredContents, DecodedLaterAreWhatAWholeReadGives) {
  Book book = test::sample_book(300);
  for (int i = 0; i < 300; i += 3)
    book.chapters[static_cast<size_t>(i)].content += std::string(5000, 'x');
  book.chapters[99].content = std::string(5u << 20, 'a');
  book.chapters[199].content = std::string(5u << 20, 'b');
  book.chapters[7].content = "{\\rtf1 }";
  book.password = "pw";
  const std::vector<std::string> files = whole_damaged_and_cut(book);
  for (const std::string* bytes : {&files[0], &files[1], &files[2]}) {
    Book whole, shown;
    ReadReport whole_report, shown_report;
    // A budget of 8 MB: the second chapter of 5 MB goes past it.
    ReadOptions at_once;
    at_once.budget = 8u << 20;
    ASSERT_EQ(parse_book(*bytes, "pw", whole, nullptr, &whole_report, at_once), ReadStatus::ok);
    EXPECT_FALSE(whole_report.damaged.empty());
    PendingContents pending;
    ASSERT_EQ(parse_book_deferring(*bytes, "pw", shown, shown_report, pending, at_once),
              ReadStatus::ok);
    ASSERT_EQ(shown.chapters.size(), whole.chapters.size());
    ASSERT_EQ(pending.items.size(), 2 * whole.chapters.size());
    // Before: every name up to the chapter past the budget, the small
    // contents, and nothing of a large one.
    for (size_t i = 0; i < 99; ++i) {
      EXPECT_EQ(shown.chapters[i].name, whole.chapters[i].name) << i;
      const bool large = whole.chapters[i].content.size() > kSmallContent;
      EXPECT_EQ(shown.chapters[i].content, large ? "" : whole.chapters[i].content) << i;
    }
    EXPECT_EQ(shown.chapters[7].content, "{\\rtf1 }");
    for (const DamagedItem& item : shown_report.damaged) EXPECT_EQ(item.chapter, 0) << "told later";
    EXPECT_TRUE(shown.chapters[3].content_pending);
    EXPECT_FALSE(shown.chapters[7].content_pending);
    EXPECT_EQ(encode_book(shown, 45000.0), "") << "a book not all read is never written";
    // One chapter decoded alone for showing it first; none that a read in
    // file order could not give.
    for (size_t i : {size_t{0}, size_t{3}, size_t{99}}) {
      const std::optional<std::string> alone = decode_pending_content(pending, i);
      if (whole.chapters[i].kept_content.empty()) {
        ASSERT_TRUE(alone.has_value()) << i;
        EXPECT_EQ(*alone, whole.chapters[i].content) << i;
      } else {
        EXPECT_FALSE(alone.has_value()) << i;
      }
    }
    EXPECT_FALSE(decode_pending_content(pending, 199).has_value()) << "past the budget";
    EXPECT_FALSE(decode_pending_content(pending, 5000).has_value());

    for (size_t workers : {1u, 3u}) {
      ReadReport report = shown_report;
      Book later = shown;
      install_contents(later, decode_pending(pending, report, workers));
      test::expect_same_content(whole, later);
      expect_same_report(whole_report, report);
      for (size_t i = 0; i < whole.chapters.size(); ++i) {
        EXPECT_EQ(later.chapters[i].kept_content, whole.chapters[i].kept_content) << i;
        EXPECT_EQ(later.chapters[i].stored_content.length, whole.chapters[i].stored_content.length)
            << i;
        EXPECT_EQ(later.chapters[i].stored_content.offset, whole.chapters[i].stored_content.offset)
            << i;
      }
      if (workers == 1 && bytes == &files[1]) {
        EXPECT_EQ(encode_book(later, 45000.0), encode_book(whole, 45000.0));
      }
    }
  }
  // A book without a large content is read whole at once.
  Book three = test::sample_book(3);
  const std::string small = write_book_image(three);
  Book whole, shown;
  ReadReport report;
  PendingContents pending;
  ASSERT_EQ(parse_book(small, "", whole), ReadStatus::ok);
  ASSERT_EQ(parse_book_deferring(small, "", shown, report, pending), ReadStatus::ok);
  EXPECT_TRUE(pending.empty());
  test::expect_same_content(whole, shown);
}
// A save after reading writes unchanged items as they were stored, and the
// file means exactly what a save that encodes everything would write.
TEST(ReusingSaves, WriteUnchangedItemsAsStoredAndMeanWhatAFullSaveMeans) {
  test::TempDir dir;
  Book original = test::sample_book(60);
  original.password = "pw";
  std::string image = write_book_image(original);
  // After the hint and five book items come each chapter's name and content.
  const auto content_of = [](const std::string& bytes, size_t chapter) {
    return stored_item(bytes, layout_of(bytes).items[6 + 2 * (chapter - 1) + 1]);
  };
  const size_t first_content = layout_of(image).items[7];
  image = with_level0_item(image, first_content);
  const std::string level0 = stored_item(image, first_content);
  const std::string path = dir.path("book.zqb").string();
  test::write_bytes(path, image);

  Book book;
  ASSERT_EQ(read_book(path, "pw", book), ReadStatus::ok);
  const Chapter before_save = book.chapters[30];
  book.chapters[4].content = "{\\rtf1 edited}";
  book.chapters[6].name = "renamed";
  std::swap(book.chapters[10], book.chapters[40]);
  book.chapters.insert(book.chapters.begin() + 12,
                       Chapter{0, 1, "new", "{\\rtf1 new}", {}, {}, {}, {}});
  book.chapters.erase(book.chapters.begin() + 20);
  // The full save the incremental one must mean.
  Book full = book;
  full.stored_image.reset();
  const Book expected = parse(write_book_image(full), "pw");

  ASSERT_EQ(write_book(path, book), 0);
  std::string saved = test::read_bytes(path);
  test::expect_same_content(expected, parse(saved, "pw"));
  EXPECT_EQ(content_of(saved, 1), level0) << "chapter 1 as stored";
  EXPECT_NE(content_of(saved, 5), content_of(image, 5));

  // An undo after the save brings back a chapter whose stored item was in
  // the old file: it is encoded again, not taken from the new file's bytes.
  book.chapters[30] = before_save;
  book.chapters[31] = before_save;
  book.chapters[31].content += "x";
  full = book;
  full.stored_image.reset();
  ASSERT_EQ(write_book(path, book), 0);
  saved = test::read_bytes(path);
  test::expect_same_content(parse(write_book_image(full), "pw"), parse(saved, "pw"));
  // The second save reuses the first one's items too.
  EXPECT_EQ(content_of(saved, 1), level0);

  // Another password: every item is encrypted and encoded anew.
  book.password = "new";
  ASSERT_EQ(write_book(path, book), 0);
  saved = test::read_bytes(path);
  EXPECT_NE(content_of(saved, 1), level0);
  Book renewed = parse(saved, "new");
  EXPECT_EQ(renewed.chapters[0].content, original.chapters[0].content);
  EXPECT_EQ(renewed.chapters[4].content, "{\\rtf1 edited}");
}

TEST(ReusingSaves, DamagedItemsGoBackAsStored) {
  Book original = test::sample_book(40);
  std::string image = write_book_image(original);
  const size_t spoiled = layout_of(image).items[5 + 2 * 7 + 1];
  test::spoil(image, spoiled);
  ReadReport report;
  Book book = parse(image, "", &report);
  ASSERT_EQ(report.damaged.size(), 1u);
  book.chapters[0].content = "{\\rtf1 edited}";
  const std::string saved = write_book_image(book);
  EXPECT_EQ(stored_item(saved, layout_of(saved).items[5 + 2 * 7 + 1]), stored_item(image, spoiled));
  EXPECT_EQ(parse(saved, "").chapters[0].content, "{\\rtf1 edited}");
}

}  // namespace
}  // namespace folivra
