#pragma once

#include <filesystem>
#include <string>

#include "app/document_view.h"
#include "book/disk_stamp.h"
#include "app/prompts.h"
#include "book/book_file.h"

namespace folivra {

// Opening, saving, inserting and protecting books, and the guard that never
// lets unsaved changes go without asking.
class DocumentCommands {
 public:
  DocumentCommands(DocumentView& view, Prompts& prompts) : view_(view), prompts_(prompts) {}

  // True: go on (nothing to save, not saved by choice, or saved).
  bool confirm_discard();
  void new_book_command();
  void open_book_command();
  void open_recent_file(int slot);
  void open_book(const std::string& path);
  bool save_book();
  bool save_book_as();
  void close_book_command();  // "关闭书籍": asks about changes, then leaves an empty window
  void insert_book();
  void set_password_command();
  void convert_to_text();
  void export_plain_text();  // "导出纯文本…": readable text, UTF-8 with a BOM
  void export_epub();        // "导出 EPUB…"
  void set_cover_command();  // "设置封面…": a JPEG, PNG, BMP or GIF file
  void import_text();        // "导入文本…": a TXT novel into a new book or the open one
  // Opens a recovery copy as the modified book that was being edited at
  // `original_path` (GBK, empty for a book never saved). False: not opened.
  bool restore_copy(const std::filesystem::path& copy, const std::string& original_path);
  // The folder a chooser starts in: the open book's, else the last one used.
  std::string chooser_folder();
  // The window became active again: when another program changed the book's
  // file meanwhile, says so once and offers to read it again.
  void check_disk();
  // Tells what reading a book found damaged (`unshowable`: the chapters
  // that cannot be shown, when known).
  void tell_damage(const Book& book, const ReadReport& report,
                   const std::vector<char>* unshowable = nullptr);

 private:
  // Reads a book file into `book`, asking for its password if it has one.
  // Empty optional: the user gave up at the password prompt.
  std::optional<ReadStatus> read_with_password(const std::filesystem::path& file,
                                               const std::string& name, Book& book,
                                               ReadReport& report,
                                               PendingContents* pending = nullptr);
  void show_read_failure(ReadStatus status);
  // Reads a book, showing why when it cannot; false also when the user gave
  // up, or when the file is cut short and the user would not take what was read.
  bool read_or_report(const std::filesystem::path& file, const std::string& path, Book& book,
                      ReadReport& report, bool inserting = false,
                      PendingContents* pending = nullptr);
  std::wstring save_failure_text(const Book& book);
  // Remembers the file as `book` was read from or written to it.
  void note_disk(const Book& book);
  // Whether the book's file is still what it was read or saved as.
  bool disk_unchanged(const Book& book) const;
  // Before a save over a file another program changed: true to write it.
  bool may_overwrite_changed_file(bool& save_elsewhere);
  std::string choose_book_to_open();
  std::string choose_book_path(const std::string& proposed_name);

  DocumentView& view_;
  Prompts& prompts_;
  std::string disk_path_;  // the file `disk_` describes; empty: none
  DiskStamp disk_;
  DiskStamp told_;  // the changed file last told of, not to be told again
};

// A book file name typed without an extension gets ".zqb".
std::string with_book_extension(const std::string& path);

}  // namespace folivra
