#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "book/book.h"
#include "book/book_file.h"
#include "text/text_rtf.h"

namespace folivra {

// What the document commands need of the window that shows the book.
class DocumentView {
 public:
  virtual ~DocumentView() = default;
  // The current book, holding everything the user has typed.
  virtual Book& current_book() = 0;
  // Installs a copy of `book` as the current book and shows it.
  virtual void show_book(Book book) = 0;
  // An opened book shown before its large contents are read (`pending`,
  // found so far: `report`): true when the view takes it (moving both out)
  // and tells what the whole read found once the rest is in; false when it
  // shows only whole books.
  virtual bool show_book_reading(Book& /*book*/, PendingContents& /*pending*/,
                                 const ReadReport& /*report*/) {
    return false;
  }
  // The book as far as it is read, never waiting for the rest: its own items
  // and file, the chapters' names.
  virtual const Book& shown_book() { return current_book(); }
  virtual bool is_modified() const = 0;
  virtual void set_modified(bool modified) = 0;
  // Adds tree items for the chapters from position `first` (1-based) to the end.
  virtual void add_chapter_items(int first) = 0;
  virtual const std::vector<std::string>& recent_files() const = 0;
  virtual void add_recent_file(const std::string& path) = 0;
  // Where a chooser starts when the book has no folder of its own: the last
  // folder one was used in, else the user's documents (GBK, no trailing backslash).
  virtual std::string last_folder() const = 0;
  // A chooser was used in `folder`.
  virtual void remember_folder(const std::string& /*folder*/) {}
  // Writes the book to `path` as a save does; false when it could not.
  virtual bool write_book_to(const std::filesystem::path& path, Book& book) {
    return write_book(path, book) == 0;
  }
  // When another window of the editor holds the book at `path` (GBK), it
  // comes forward with it: true, and nothing more is to be done here.
  virtual bool bring_forward_holder(const std::string& /*path*/) { return false; }
  // A save or save-as wrote the book.
  virtual void book_saved() {}
  // The book is gone from the window (after the question about its changes).
  virtual void close_book() {}
  // The face and size new chapter text is written in.
  virtual RtfFont editor_font_for_text() const { return {}; }
  // The cover becomes `bytes` (a picture the user chose; empty: none).
  virtual void set_cover(std::string bytes) { current_book().cover = std::move(bytes); }
  // Chapters taken in at the end of the open book, as one undoable step.
  virtual void append_chapters(std::vector<Chapter> chapters) {
    Book& book = current_book();
    for (Chapter& c : chapters) book.chapters.push_back(std::move(c));
    book.chapter_count = static_cast<int32_t>(book.chapters.size());
  }
};

}  // namespace folivra
