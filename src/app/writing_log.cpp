#include "app/writing_log.h"

#include "book/book_file.h"
#include "book/gbk.h"
#include "book/gbk_wide.h"
#include "text/word_count.h"

namespace folivra {

WritingLog::~WritingLog() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  if (worker_.joinable()) worker_.join();  // the last save is recorded before the window goes
}

std::filesystem::path WritingLog::default_path() {
  wchar_t folder[MAX_PATH] = {};
  const DWORD n = GetEnvironmentVariableW(L"LOCALAPPDATA", folder, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return {};
  return std::filesystem::path(folder) / L"Folivra" / L"folivra.db";
}

StoreSettings WritingLog::store_settings(const Settings& settings) {
  StoreSettings s;
  s.cap_bytes = int64_t{std::max(settings.read_int("Store", "cap_mb", 1024), 16)} << 20;
  s.day_start_hour = std::clamp(settings.read_int("Store", "day_start_hour", 0), 0, 23);
  return s;
}

std::optional<std::wstring> WritingLog::start(HWND window, const Settings& settings) {
  window_ = window;
  const std::string named = settings.read_text("Store", "path", "");
  path_ = named.empty() ? default_path() : path_from_gbk(named);
  if (path_.empty())
    return L"找不到保存写作记录的文件夹（%LOCALAPPDATA%），本次不记录历史版本和今日字数。";
  settings_ = store_settings(settings);
  WritingStore::Opened opened = WritingStore::open(path_, settings_);
  if (!opened.store) {
    return L"无法打开写作记录 " + path_.wstring() +
           L"，本次不记录历史版本和今日字数。\r\n书籍的编辑和保存不受影响。";
  }
  store_ = std::move(opened.store);
  session_ = store_->begin_session();
  worker_ = std::thread([this] { work(); });
  if (!opened.set_aside_to.empty()) {
    return L"写作记录已损坏，已改名为 " + opened.set_aside_to.filename().wstring() +
           L" 并新建了一个。\r\n书籍本身不受影响。";
  }
  return std::nullopt;
}

std::string WritingLog::key_of(const std::filesystem::path& file) {
  std::error_code error;
  const std::u8string text = std::filesystem::absolute(file, error).lexically_normal().u8string();
  return std::string(text.begin(), text.end());
}

void WritingLog::record_file(const std::filesystem::path& file, std::string password,
                             int64_t book_words, const std::filesystem::path& previous) {
  if (!store_ || file.empty()) return;
  {
    std::lock_guard lock(mutex_);
    jobs_.push_back({file, previous, std::move(password), book_words, std::nullopt});
  }
  wake_.notify_all();
}

void WritingLog::remember_place(const std::filesystem::path& file, const BookPlace& place) {
  if (!store_ || file.empty()) return;
  {
    std::lock_guard lock(mutex_);
    jobs_.push_back({file, {}, {}, 0, place});
  }
  wake_.notify_all();
}

void WritingLog::flush() {
  std::unique_lock lock(mutex_);
  idle_.wait(lock, [this] { return jobs_.empty() && !busy_; });
}

void WritingLog::apply(const Settings& settings) {
  std::lock_guard lock(mutex_);
  settings_ = store_settings(settings);
  settings_changed_ = true;
  if (store_) store_->set_settings(settings_);
}

void WritingLog::work() {
  WritingStore::Opened opened = WritingStore::open(path_, settings_);
  std::unique_lock lock(mutex_);
  while (true) {
    wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
    if (jobs_.empty()) break;  // stopping, with everything recorded
    const Job job = std::move(jobs_.front());
    jobs_.pop_front();
    busy_ = true;
    if (settings_changed_ && opened.store) opened.store->set_settings(settings_);
    settings_changed_ = false;
    lock.unlock();
    if (opened.store && job.place) {
      opened.store->remember_place(key_of(job.file), *job.place);
    } else if (opened.store) {
      record(job, *opened.store);
    }
    lock.lock();
    busy_ = false;
    idle_.notify_all();
  }
}

void WritingLog::record(const Job& job, WritingStore& store) {
  Book book;
  StoreStatus status = StoreStatus::failed;
  if (read_book(job.file, job.password, book) == ReadStatus::ok) {
    const std::string key = key_of(job.file);
    const std::string previous = job.previous.empty() ? std::string() : key_of(job.previous);
    int64_t book_words = job.book_words;
    if (book_words < 0) {  // not counted by the window yet: counted here
      book_words = 0;
      for (const Chapter& c : book.chapters) book_words += count_words(c.content).words;
    }
    const SavedBook saved{key,
                          &book,
                          [](const Chapter& c) { return int64_t(count_words(c.content).words); },
                          book_words,
                          session_,
                          previous,
                          (book.flags & kFlagProtected) == 0};
    status = store.record_save(saved);
  }
  if (window_) PostMessageW(window_, kRecorded, static_cast<WPARAM>(status), 0);
}

}  // namespace folivra
