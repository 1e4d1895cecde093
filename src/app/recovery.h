#pragma once

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "book/book.h"

namespace folivra {

// Recovery copies of books with unsaved changes, one per running editor, in
// a folder of the user's. Each editor holds the small info file beside its
// copy open without sharing, so a copy whose info file can be opened belongs
// to an editor that is gone: that is the one to offer back.
class Recovery {
 public:
  explicit Recovery(std::filesystem::path folder);
  ~Recovery();
  Recovery(const Recovery&) = delete;
  Recovery& operator=(const Recovery&) = delete;

  // The folder the user's copies live in when none is configured.
  static std::filesystem::path default_folder();
  const std::filesystem::path& folder() const { return folder_; }

  // Writes the book as this editor's copy with the safe writer, on a worker
  // thread unless `wait`. While a copy is still being written a new one
  // without `wait` is skipped (the next tick writes it).
  void write(Book book, bool wait = false);
  // Whether the last copy could not be written (the folder cannot be made
  // or written, the disk is full); the next write tries again.
  bool failed() const { return failed_; }
  // Removes this editor's copy: after a save, or when its changes are given up.
  void remove();
  bool has_copy() const { return info_ != INVALID_HANDLE_VALUE; }
  std::filesystem::path copy_path() const { return base_.wstring() + L".zqb"; }

  struct Orphan {
    std::filesystem::path copy;  // the book file
    std::filesystem::path info;
    std::wstring original_path;  // where the book was being edited from, or empty
    FILETIME written{};
  };
  // The copies left by editors that are no longer running, newest first.
  std::vector<Orphan> orphans() const;
  static void discard(const Orphan& orphan);

 private:
  void join();

  std::filesystem::path folder_;
  std::filesystem::path base_;  // folder / this editor's name, without extension
  HANDLE info_ = INVALID_HANDLE_VALUE;
  std::thread writer_;
  std::atomic<bool> busy_{false};
  std::atomic<bool> failed_{false};
};

}  // namespace folivra
