#pragma once

#include <string>
#include <vector>

#include "book/book.h"
#include "book/book_file.h"

namespace folivra {

// What the document commands need of the window that shows the book.
class DocumentView {
 public:
  virtual ~DocumentView() = default;
  // The current book, holding everything the user has typed.
  virtual Book& current_book() = 0;
  // Installs a copy of `book` as the current book and shows it.
  virtual void show_book(const Book& book) = 0;
  virtual bool is_modified() const = 0;
  virtual void set_modified(bool modified) = 0;
  // Adds tree items for the chapters from position `first` (1-based) to the end.
  virtual void add_chapter_items(int first) = 0;
  virtual const std::vector<std::string>& recent_files() const = 0;
  virtual void add_recent_file(const std::string& path) = 0;
  // The folder of the running program, without a trailing backslash (GBK).
  virtual std::string program_directory() const = 0;
  // How saves write the book (whether the previous version stays as .bak).
  virtual WriteOptions write_options() const { return {}; }
  // A save or save-as wrote the book.
  virtual void book_saved() {}
  // The book is gone from the window (after the question about its changes).
  virtual void close_book() {}
};

}  // namespace folivra
