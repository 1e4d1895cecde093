#pragma once

#include <windows.h>

#include <condition_variable>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "app/settings.h"
#include "store/writing_store.h"

namespace folivra {

// The editor's side of the writing store. Recording reads the book file
// back on a worker of its own, so neither an open nor a save waits for it;
// the window's questions (versions, today's words) go through a connection
// of its own. Without a store (it could not be opened) nothing is recorded
// and the questions have no answers; editing goes on.
class WritingLog {
 public:
  // Sent to the window after each recording (wparam: a StoreStatus).
  static constexpr UINT kRecorded = WM_APP + 22;

  WritingLog() = default;
  ~WritingLog();
  WritingLog(const WritingLog&) = delete;
  WritingLog& operator=(const WritingLog&) = delete;

  // %LOCALAPPDATA%\Folivra\folivra.db unless the settings name another.
  static std::filesystem::path default_path();
  static StoreSettings store_settings(const Settings& settings);
  // Opens the store; a message when it could not be, or was damaged and set aside.
  std::optional<std::wstring> start(HWND window, const Settings& settings);
  WritingStore* store() { return store_.get(); }
  int64_t session() const { return session_; }

  // How the store names a book file.
  static std::string key_of(const std::filesystem::path& file);
  // The book in `file` as it is on disk now, with the book's 字数 (negative:
  // counted from the file);
  // `previous` is the file it was saved from under another name.
  void record_file(const std::filesystem::path& file, std::string password, int64_t book_words,
                   const std::filesystem::path& previous = {});
  // Where the author stopped in the book in `file`, kept by the worker so
  // that closing never waits for another writer of the store.
  void remember_place(const std::filesystem::path& file, const BookPlace& place);
  // Waits until everything asked so far is recorded.
  void flush();
  // The settings changed (the hour a day starts, the cap).
  void apply(const Settings& settings);

 private:
  struct Job {
    std::filesystem::path file, previous;
    std::string password;
    int64_t book_words = 0;
    std::optional<BookPlace> place;  // a place to keep, not a file to record
  };
  void work();
  void record(const Job& job, WritingStore& store);

  HWND window_ = nullptr;
  std::unique_ptr<WritingStore> store_;
  std::filesystem::path path_;
  StoreSettings settings_;
  int64_t session_ = 0;
  std::thread worker_;
  std::mutex mutex_;
  std::condition_variable wake_, idle_;
  std::deque<Job> jobs_;
  bool busy_ = false, stopping_ = false, settings_changed_ = false;
};

}  // namespace folivra
