// Chapter operations on the document and their undo and redo, checked one by
// one and as random sequences against a list of snapshots.
#include "document/document.h"

#include "document/chapter_counts.h"

#include <gtest/gtest.h>

#include <atomic>
#include <random>

#include "book/book_encoding.h"
#include "book/book_file.h"
#include "book/gbk.h"

namespace folivra {
namespace {

// Joined with append: GCC 12 warns falsely about "literal" + std::string.
std::string cat(std::string a, const std::string& b) { return a.append(b); }

Book book_of(int chapters) {
  Book book;
  for (int p = 1; p <= chapters; ++p) {
    Chapter chapter;
    chapter.name = cat("c", std::to_string(p));
    chapter.content = cat(cat("{\\rtf1 text ", std::to_string(p)), "}");
    book.chapters.push_back(chapter);
  }
  book.chapter_count = chapters;
  return book;
}

// Names and contents in order, with the numbers checked on the way.
std::vector<std::string> shape(const Document& doc) {
  std::vector<std::string> out;
  for (int p = 1; p <= doc.count(); ++p) {
    EXPECT_EQ(doc.chapter(p).number, p);
    out.push_back(doc.chapter(p).name + "|" + doc.chapter(p).content);
  }
  EXPECT_EQ(doc.book().chapter_count, doc.count());
  return out;
}

TEST(Document, EachOperationUndoesAndRedoes) {
  Document doc;
  doc.replace(book_of(3));
  const auto start = shape(doc);
  EXPECT_FALSE(doc.modified());
  EXPECT_EQ(doc.undo_name(), "");

  const ChapterChanges inserted = doc.insert(2, "new");
  ASSERT_EQ(inserted.size(), 1u);
  EXPECT_EQ(inserted[0].kind, ChapterChange::Kind::inserted);
  EXPECT_EQ(inserted[0].position, 2);
  EXPECT_TRUE(doc.modified());
  EXPECT_EQ(doc.chapter(2).name, "new");
  EXPECT_EQ(doc.chapter(3).name, "c2");
  EXPECT_EQ(doc.undo_name(), gbk_of("插入章节 new"));

  doc.set_modified(false);
  const ChapterChanges undone = doc.undo();
  ASSERT_EQ(undone.size(), 1u);
  EXPECT_EQ(undone[0].kind, ChapterChange::Kind::removed);
  EXPECT_TRUE(doc.modified()) << "an undo is a change like any other";
  EXPECT_EQ(shape(doc), start);
  EXPECT_EQ(doc.redo_name(), gbk_of("插入章节 new"));
  doc.redo();
  EXPECT_EQ(doc.chapter(2).name, "new");
  doc.undo();

  const ChapterChanges moved = doc.move(1, 3);
  ASSERT_EQ(moved.size(), 1u);
  EXPECT_EQ(moved[0].kind, ChapterChange::Kind::moved);
  EXPECT_EQ(moved[0].position, 1);
  EXPECT_EQ(moved[0].to, 3);
  EXPECT_EQ(doc.chapter(3).name, "c1");
  EXPECT_EQ(doc.chapter(1).name, "c2");
  const ChapterChanges back = doc.undo();
  EXPECT_EQ(back[0].position, 3);
  EXPECT_EQ(back[0].to, 1);
  EXPECT_EQ(shape(doc), start);

  doc.rename(2, "renamed");
  EXPECT_EQ(doc.undo_name(), gbk_of("重命名章节 c2"));
  doc.undo();
  EXPECT_EQ(shape(doc), start);

  doc.remove(2);
  EXPECT_EQ(doc.undo_name(), gbk_of("删除章节 c2"));
  EXPECT_EQ(doc.count(), 2);
  doc.undo();
  EXPECT_EQ(shape(doc), start) << "a deleted chapter comes back whole, in its place";

  const ChapterChanges split = doc.split(1, "{\\rtf1 te}", "{\\rtf1 xt 1}", "c1b");
  ASSERT_EQ(split.size(), 2u);
  EXPECT_EQ(split[0].kind, ChapterChange::Kind::content);
  EXPECT_EQ(split[1].kind, ChapterChange::Kind::inserted);
  EXPECT_EQ(split[1].position, 2);
  EXPECT_EQ(doc.chapter(2).content, "{\\rtf1 xt 1}");
  doc.undo();
  EXPECT_EQ(shape(doc), start);

  const ChapterChanges merged = doc.merge(2, "{\\rtf1 both}");
  ASSERT_EQ(merged.size(), 2u);
  EXPECT_EQ(merged[1].kind, ChapterChange::Kind::removed);
  EXPECT_EQ(merged[1].position, 3);
  EXPECT_EQ(doc.count(), 2);
  EXPECT_EQ(doc.chapter(2).content, "{\\rtf1 both}");
  doc.undo();
  EXPECT_EQ(shape(doc), start);
  doc.redo();
  EXPECT_EQ(doc.count(), 2);
}

TEST(Document, ARestoredVersionAndABroughtBackChapterAreEachOneStep) {
  Document doc;
  doc.replace(book_of(3));
  const auto start = shape(doc);
  EXPECT_EQ(doc.restore_version(2, "old", "{\\rtf1 old}").size(), 2u);
  EXPECT_EQ(doc.undo_name(), gbk_of("恢复版本 c2"));
  EXPECT_EQ(shape(doc)[1], "old|{\\rtf1 old}");
  EXPECT_TRUE(doc.restore_version(2, "old", "{\\rtf1 old}").empty()) << "already that version";
  doc.undo();
  EXPECT_EQ(shape(doc), start);

  Chapter gone;
  gone.name = "gone";
  gone.content = "{\\rtf1 back}";
  gone.stored_content.offset = 99;  // from a file long rewritten
  EXPECT_EQ(doc.bring_back(2, gone).size(), 1u);
  EXPECT_EQ(doc.undo_name(), gbk_of("恢复章节 gone"));
  EXPECT_EQ(shape(doc)[1], "gone|{\\rtf1 back}");
  EXPECT_EQ(doc.chapter(2).stored_content.offset, 0u);
  EXPECT_TRUE(doc.bring_back(9, gone).empty());
  doc.undo();
  EXPECT_EQ(shape(doc), start);
}

TEST(Document, WhatCannotApplyChangesNothing) {
  Document doc;
  doc.replace(book_of(2));
  EXPECT_TRUE(doc.remove(0).empty());
  EXPECT_TRUE(doc.remove(3).empty());
  EXPECT_TRUE(doc.insert(4, "x").empty());
  EXPECT_TRUE(doc.move(1, 1).empty());
  EXPECT_TRUE(doc.move(2, 3).empty());
  EXPECT_TRUE(doc.merge(2, "").empty()) << "the last chapter has no next";
  EXPECT_TRUE(doc.rename(1, "c1").empty());
  EXPECT_TRUE(doc.undo().empty());
  EXPECT_FALSE(doc.modified());

  // A damaged chapter and another kind keep their stored bytes.
  doc.book().chapters[0].kept_content = "stored";
  EXPECT_TRUE(doc.split(1, "a", "b", "n").empty());
  EXPECT_TRUE(doc.merge(1, "ab").empty());
  doc.book().chapters[0].kept_content.clear();
  doc.book().chapters[1].kind = 2;
  EXPECT_TRUE(doc.merge(1, "ab").empty());
  EXPECT_FALSE(doc.modified());
}

TEST(Document, ADeletedDamagedChapterComesBackWithItsStoredBytes) {
  Document doc;
  Book book = book_of(2);
  book.chapters[1].content.clear();
  book.chapters[1].kept_content = std::string("\x78\x9c\x00broken", 9);
  doc.replace(book);
  doc.remove(2);
  doc.add("other");
  doc.undo();
  doc.undo();
  EXPECT_EQ(doc.chapter(2).kept_content, std::string("\x78\x9c\x00broken", 9));
}

TEST(Document, NewOperationsForgetWhatWasUndone) {
  Document doc;
  doc.replace(book_of(2));
  doc.remove(1);
  doc.undo();
  EXPECT_NE(doc.redo_name(), "");
  doc.add("x");
  EXPECT_EQ(doc.redo_name(), "");
  EXPECT_TRUE(doc.redo().empty());
  doc.replace(book_of(1));
  EXPECT_EQ(doc.undo_name(), "") << "another book starts a new history";
}

TEST(Document, RandomSequencesMatchSnapshots) {
  std::mt19937 random(7);
  for (int round = 0; round < 40; ++round) {
    Document doc;
    doc.replace(book_of(static_cast<int>(random() % 5)));
    ChapterCounts counts;  // follows every change as the window's status bar does
    counts.count_all(doc.book());
    std::vector<std::vector<std::string>> done{shape(doc)}, undone;
    for (int step = 0; step < 60; ++step) {
      const int n = doc.count();
      const auto pick = [&](int m) { return m > 0 ? 1 + static_cast<int>(random() % m) : 0; };
      const std::string name = cat("n", std::to_string(step));
      ChapterChanges changes;
      const unsigned which = random() % 10;
      const bool history = which == 7 || which == 8;  // undo, redo
      switch (which) {
        case 0:
          changes = doc.add(name);
          break;
        case 1:
          changes = doc.insert(pick(n + 1), name);
          break;
        case 2:
          changes = doc.remove(pick(n));
          break;
        case 3:
          changes = doc.rename(pick(n), name);
          break;
        case 4:
          changes = doc.move(pick(n), pick(n));
          break;
        case 5:
          changes = doc.split(pick(n), cat("a", name), cat("b", name), name);
          break;
        case 6:
          changes = doc.merge(pick(n - 1), cat("m", name));
          break;
        case 9:
          changes = doc.edit_chapters(
              {{pick(n), cat("e ", name), std::nullopt}, {pick(n), std::nullopt, cat("r", name)}});
          break;
        case 7:
          if (done.size() > 1) {
            changes = doc.undo();
            ASSERT_FALSE(changes.empty());
            undone.push_back(done.back());
            done.pop_back();
            ASSERT_EQ(shape(doc), done.back()) << "round " << round << " step " << step;
          }
          break;
        case 8:
          if (!undone.empty()) {
            changes = doc.redo();
            ASSERT_FALSE(changes.empty());
            done.push_back(undone.back());
            undone.pop_back();
            ASSERT_EQ(shape(doc), done.back()) << "round " << round << " step " << step;
          }
          break;
      }
      counts.follow(changes, doc);
      ChapterCounts fresh;
      fresh.count_all(doc.book());
      ASSERT_EQ(counts.size(), fresh.size());
      for (int p = 1; p <= fresh.size(); ++p) {
        ASSERT_EQ(counts.chapter(p).characters, fresh.chapter(p).characters) << p;
      }
      ASSERT_EQ(counts.total().words, fresh.total().words);
      if (history) continue;
      if (!changes.empty()) {
        done.push_back(shape(doc));
        undone.clear();
      } else {
        ASSERT_EQ(shape(doc), done.back());
      }
    }
    while (done.size() > 1) {
      doc.undo();
      done.pop_back();
      ASSERT_EQ(shape(doc), done.back());
    }
  }
}

}  // namespace
}  // namespace folivra

namespace folivra {
namespace {

// An opened book shown from its names while its contents are read on a
// worker: nothing that reads or changes a chapter ever sees a stand-in.
TEST(DocumentLoad, WhatReadsOrChangesChaptersWaitsForTheWholeBook) {
  Book book = book_of(40);
  for (Chapter& c : book.chapters) c.content = cat(cat("{\\rtf1 ", std::string(6000, 'w')), "}");
  book.chapters[4].content = "{\\rtf1 small}";
  book.chapters[30].content =
      cat(cat("{\\rtf1 \\", std::string(5000, 'x')), "}");  // cannot be shown
  const std::string image = encode_book(book, 45000.0);

  for (int changed = 0; changed < 2; ++changed) {
    Book shown;
    ReadReport report;
    PendingContents pending;
    ASSERT_EQ(parse_book_deferring(image, "", shown, report, pending), ReadStatus::ok);
    std::atomic<bool> done{false};
    Document doc;
    doc.replace(std::move(shown),
                std::make_unique<ContentLoad>(std::move(pending), report, [&] { done = true; }));
    EXPECT_TRUE(doc.loading());
    EXPECT_EQ(doc.listing().chapters[4].content, "{\\rtf1 small}") << "small ones at once";
    EXPECT_EQ(doc.chapter_to_show(12).content, book.chapters[11].content) << "decoded here";
    if (changed) {
      doc.remove(3);  // waits, then takes the whole chapter into its undo
      EXPECT_FALSE(doc.loading());
      doc.undo();
    }
    EXPECT_EQ(doc.book().chapters.size(), book.chapters.size());
    EXPECT_TRUE(done);
    EXPECT_FALSE(doc.loading());
    for (size_t i = 0; i < book.chapters.size(); ++i) {
      EXPECT_EQ(doc.book().chapters[i].content, book.chapters[i].content) << i;
      EXPECT_FALSE(doc.book().chapters[i].content_pending);
    }
    EXPECT_FALSE(encode_book(doc.book(), 45000.0).empty());
    const std::vector<WordCount> counts = doc.take_loaded_counts();
    ASSERT_EQ(counts.size(), book.chapters.size());
    EXPECT_EQ(counts[7].words, count_words(book.chapters[7].content).words);
    const std::optional<LoadedContents> found = doc.take_loaded_findings();
    ASSERT_TRUE(found.has_value());
    EXPECT_TRUE(found->unshowable[30]);
    EXPECT_FALSE(found->unshowable[29]);
    EXPECT_FALSE(doc.take_loaded_findings().has_value()) << "once";
  }

  // Another book while one is loading: the load is stopped and dropped.
  Book shown;
  ReadReport report;
  PendingContents pending;
  ASSERT_EQ(parse_book_deferring(image, "", shown, report, pending), ReadStatus::ok);
  Document doc;
  doc.replace(std::move(shown), std::make_unique<ContentLoad>(std::move(pending), report, [] {}));
  doc.replace(book_of(2));
  EXPECT_FALSE(doc.loading());
  EXPECT_EQ(doc.book().chapters.size(), 2u);
  EXPECT_EQ(doc.book().chapters[1].content, book_of(2).chapters[1].content);
  EXPECT_FALSE(doc.take_loaded_findings().has_value());
}

}  // namespace
}  // namespace folivra
